// The print an administration files, as PDF/A and as .docx, read back with
// the reader's tools: LibreOffice lays out the .docx, poppler reads both
// PDFs.

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "common/importi.h"
#include "common/testiprogramma.h"
#include "quadro/documentiquadro.h"
#include "quadro/esempi_documenti.h"
#include "reports/lettore_docx.h"
#include "reports/lettore_pdf.h"

namespace varimo::test {
namespace {

struct Caso {
    QString nome;
    FileQuadro file;
};

// One printed document: the whole framework, its heading row on every page,
// the footer on every page, everything within the margins, the signatures
// with the names on the last page, and no program name anywhere on the pages.
void controllaStampa(const QString& pdf, const QuadroEsportato& q, bool ostile) {
    SCOPED_TRACE(pdf.toStdString());
    const int pagine = campoPdf(pdf, QStringLiteral("Pages")).toInt();
    ASSERT_GE(pagine, 1);
    EXPECT_TRUE(campoPdf(pdf, QStringLiteral("Page size")).endsWith(QLatin1String("(A4)")));
    const QString tutto = testoPdf(pdf, true);
    EXPECT_FALSE(tutto.contains(TestiProgramma::nomeprogramma, Qt::CaseInsensitive));

    QStringList righe = tutto.split(QLatin1Char('\n'));
    for (const VoceEsportata& v : q.voci)
        EXPECT_TRUE(suUnaRiga(righe, formatoCentesimi(v.centesimi))) << v.codice.toStdString();
    EXPECT_TRUE(suUnaRiga(righe, formatoCentesimi(q.totale)));
    EXPECT_TRUE(tutto.contains(QLatin1String("TOTALE PROGETTO")));
    if (!ostile) {
        EXPECT_TRUE(tutto.contains(q.intestazione.cup));
        EXPECT_TRUE(tutto.contains(q.intestazione.cig));
        EXPECT_TRUE(tutto.contains(q.intestazione.ente));
    }

    const QRegularExpression intestazioneTabella(
        QStringLiteral("Codice\\s+Voce\\s+Regola\\s+Importo"));
    for (int p = 1; p <= pagine; ++p) {
        const QStringList pagina = testoPdf(pdf, true, p).split(QLatin1Char('\n'));
        EXPECT_TRUE(pagina.join(QLatin1Char('\n')).contains(intestazioneTabella)) << "pag. " << p;
        EXPECT_TRUE(piePaginaPresente(pagina, p, pagine)) << "pag. " << p;
        controllaMargini(pdf, p);
    }
    // Text as a reader of the page sees it: runs of blanks are one, the
    // ligatures the PDF writer sets stand for their letters.
    const QString ultima = testoPdf(pdf, false, pagine)
                               .replace(QChar(0xFB01), QStringLiteral("fi"))
                               .replace(QChar(0xFB02), QStringLiteral("fl"))
                               .simplified();
    for (const QString& firma : {QStringLiteral("Il progettista"), q.intestazione.progettista,
                                 q.intestazione.rup, QStringLiteral("Luogo e data")})
        EXPECT_TRUE(ultima.contains(senzaControlli(firma).simplified())) << firma.toStdString();
}

// The school renovation, a framework of 150 items and the school renovation
// with hostile texts everywhere: as PDF/A-1b with every font embedded, and as
// .docx laid out by LibreOffice, the same whole print.
TEST(StampaAmministrazione, PdfADocxInLibreOfficeInteriConIntestazioneEFirme) {
    const QString mancano =
        strumentiMancanti({"soffice", "pdfinfo", "pdffonts", "pdftotext", "pdftoppm"});
    if (!mancano.isEmpty()) GTEST_SKIP() << "manca " << mancano.toStdString();
    QTemporaryDir cartella;
    ASSERT_TRUE(cartella.isValid());
    const QList<Caso> casi = {{QStringLiteral("scuola"), scuola()},
                              {QStringLiteral("lungo"), lungo(150)},
                              {QStringLiteral("ostile"), scuolaOstile()}};
    QStringList docx;
    QList<QuadroEsportato> quadri;
    for (const Caso& c : casi) {
        const quadro::QuadroCalcolato q = calcolato(c.file);
        quadri << quadro::perDocumenti(q);
        const QString pdf = cartella.filePath(c.nome + QStringLiteral(".pdf"));
        docx << cartella.filePath(c.nome + QStringLiteral(".docx"));
        const auto ep = quadro::esportaPdfQuadro(q, pdf);
        ASSERT_FALSE(ep) << ep->toStdString();
        const auto ed = quadro::esportaDocxQuadro(q, docx.last());
        ASSERT_FALSE(ed) << ed->toStdString();

        // PDF/A-1b, fonts embedded, the program in the properties only.
        const QString xmp =
            QString::fromUtf8(esegui("pdfinfo", {QStringLiteral("-meta"), pdf}).value_or(""));
        EXPECT_TRUE(xmp.contains(QRegularExpression(QStringLiteral("pdfaid:part(=\"|>)1"))));
        EXPECT_TRUE(xmp.contains(QRegularExpression(QStringLiteral("pdfaid:conformance(=\"|>)B"))));
        EXPECT_TRUE(
            campoPdf(pdf, QStringLiteral("Creator")).startsWith(TestiProgramma::nomeprogramma));
        const QStringList caratteri = QString::fromUtf8(esegui("pdffonts", {pdf}).value_or(""))
                                          .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                          .mid(2);
        EXPECT_FALSE(caratteri.isEmpty());
        for (const QString& f : caratteri)
            EXPECT_TRUE(f.contains(QRegularExpression(
                QStringLiteral("\\s(yes)\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+\\s*$"))))
                << f.toStdString();
        controllaStampa(pdf, quadri.last(), c.nome == QLatin1String("ostile"));
    }
    EXPECT_GT(
        campoPdf(cartella.filePath(QStringLiteral("lungo.pdf")), QStringLiteral("Pages")).toInt(),
        2);

    const QString lo = cartella.filePath(QStringLiteral("lo"));
    ASSERT_TRUE(QDir().mkpath(lo));
    const QStringList convertiti = convertiConLibreOffice(docx, lo);
    ASSERT_EQ(convertiti.size(), casi.size());
    for (int i = 0; i < casi.size(); ++i)
        controllaStampa(convertiti.at(i), quadri.at(i), casi.at(i).nome == QLatin1String("ostile"));

    // The hostile texts stand in the .docx exactly as typed.
    const QuadroEsportato& o = quadri.at(2);
    const CorpoLetto corpo = leggiDocx(docx.at(2));
    ASSERT_TRUE(corpo.errore.isEmpty()) << corpo.errore.toStdString();
    QStringList paragrafi;
    for (const ParagrafoLetto& p : corpo.paragrafi()) paragrafi << p.testo;
    for (const QString& campo :
         {o.intestazione.ente, o.intestazione.titolo, QStringLiteral("CUP: ") + o.intestazione.cup,
          QStringLiteral("CIG: ") + o.intestazione.cig})
        EXPECT_TRUE(paragrafi.contains(senzaControlli(campo))) << campo.toStdString();
    const TabellaLetta tabella = corpo.tabelle().first();
    QStringList etichette;
    for (int r = 1; r <= tabella.righe.size(); ++r) etichette << tabella.cella(r, 2).testo();
    for (const VoceEsportata& v : o.voci)
        EXPECT_TRUE(etichette.contains(senzaControlli(v.etichetta))) << v.codice.toStdString();
}

}  // namespace
}  // namespace varimo::test
