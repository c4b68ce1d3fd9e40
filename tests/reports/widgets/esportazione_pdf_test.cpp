// "Esporta in PDF": the reports written as PDF/A files by the program itself,
// read back with poppler, and the command's dialog, questions and failures.
// The PDF writer needs the application's fonts, hence the offscreen
// graphical application of these tests.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include "reports/ambiente_stampe.h"
#include "reports/esportazione.h"
#include "reports/lettore_pdf.h"
#include "reports/pdf.h"
#include "reports/stampaguida.h"
#include "reports/stampe.h"
#include "reports/stampe_attese.h"
#include "support/sistema.h"

namespace varimo {
namespace {

class EsportazionePdf : public test::AmbienteStampe {
  protected:
    void SetUp() override {
        test::AmbienteStampe::SetUp();
        ASSERT_TRUE(QDir(cartella.path()).mkpath(QStringLiteral("uscita")));
        uscita = cartella.filePath(QStringLiteral("uscita"));
    }
    QString inUscita(const QString& nome) const { return QDir(uscita).filePath(nome); }
    QStringList fileInUscita() const {
        return QDir(uscita).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }
    static QByteArray contenuto(const QString& percorso) {
        QFile f(percorso);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString uscita;
};

// The exported files identify themselves as PDF/A-1b, are A4 with every font
// embedded, and hold the same page as the printed report: every value whole
// on its line, the amounts in order, the footer, nothing outside the margins.
TEST_F(EsportazionePdf, LeStampeSonoPdfA1bA4ConCaratteriIncorporatiELaStampaIntera) {
    const QString mancano =
        test::strumentiMancanti({"pdfinfo", "pdffonts", "pdftotext", "pdftoppm"});
    if (!mancano.isEmpty()) GTEST_SKIP() << "not installed: " << mancano.toStdString();

    const QString quadro = inUscita(QStringLiteral("quadro.pdf"));
    const QString calcolo = inUscita(QStringLiteral("calcolo.pdf"));
    utente.scegliFile(quadro);
    utente.scegliFile(calcolo);
    ASSERT_EQ(esportaQuadro(test::quadroLargo(QStringLiteral("euro"))), EsitoStampa::Fatto);
    ASSERT_EQ(esportaCalcolo(test::calcoloLargo()), EsitoStampa::Fatto);
    EXPECT_TRUE(utente.messaggi.isEmpty());
    EXPECT_TRUE(aperti.isEmpty()) << "nothing goes to the word processor";

    for (const QString& pdf : {quadro, calcolo}) {
        SCOPED_TRACE(pdf.toStdString());
        const QString xmp =
            QString::fromUtf8(test::esegui("pdfinfo", {QStringLiteral("-meta"), pdf}).value_or(""));
        EXPECT_TRUE(xmp.contains(QRegularExpression(QStringLiteral("pdfaid:part(=\"|>)1"))))
            << xmp.toStdString();
        EXPECT_TRUE(xmp.contains(QRegularExpression(QStringLiteral("pdfaid:conformance(=\"|>)B"))))
            << xmp.toStdString();
        EXPECT_TRUE(test::campoPdf(pdf, QStringLiteral("Page size")).endsWith("(A4)"));
        EXPECT_EQ(test::campoPdf(pdf, QStringLiteral("Pages")), "1");
        EXPECT_EQ(test::campoPdf(pdf, QStringLiteral("Creator")), "Varimo 2.04.05");

        // pdffonts: two heading lines, then one line per font whose
        // "emb" column says yes.
        const QStringList caratteri =
            QString::fromUtf8(test::esegui("pdffonts", {pdf}).value_or(""))
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                .mid(2);
        EXPECT_FALSE(caratteri.isEmpty());
        for (const QString& c : caratteri)
            EXPECT_TRUE(c.contains(QRegularExpression(
                QStringLiteral("\\s(yes)\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+\\s*$"))))
                << c.toStdString();
    }
    EXPECT_EQ(test::campoPdf(quadro, QStringLiteral("Title")),
              "Varimo - QUADRO ECONOMICO - Scuola");
    test::controllaQuadroStampato(quadro);
    test::controllaCalcoloStampato(calcolo);

    // Every amount of the framework, in the order of its rows.
    const QString testo = test::testoPdf(quadro, false);
    qsizetype dove = testo.indexOf(QStringLiteral("QUADRO ECONOMICO - valori in euro"));
    ASSERT_GE(dove, 0);
    for (const QString& importo : test::kImportiLarghi + QStringList{"999.999.999,99"}) {
        const qsizetype qui = testo.indexOf(importo, dove);
        EXPECT_GT(qui, dove) << importo.toStdString();
        if (qui > dove) dove = qui + importo.size();
    }
}

// A document of many pages: each page carries "pag. n di m", and a page
// break in the text starts a new page.
TEST_F(EsportazionePdf, OgniPaginaDellaGuidaCompletaENumerata) {
    const QString mancano = test::strumentiMancanti({"pdfinfo", "pdftotext"});
    if (!mancano.isEmpty()) GTEST_SKIP() << "not installed: " << mancano.toStdString();

    std::array<GuidaDaStampare, 4> guide;
    for (std::size_t i = 0; i < guide.size(); ++i) {
        guide[i].titolo = QStringLiteral("Capitolo %1").arg(i + 1);
        guide[i].testo = QStringLiteral("Una frase della guida, ripetuta per riempire le pagine. ")
                             .repeated(static_cast<qsizetype>(60 * (i + 1)));
    }
    const EsitoGuidaCompleta esito = stampaguidacompleta(guide, cartella.path());
    ASSERT_TRUE(esito.mostrata);
    ASSERT_NE(esito.documento, nullptr);
    const QString pdf = inUscita(QStringLiteral("guida.pdf"));
    QString errore;
    ASSERT_TRUE(esportaPdf(*esito.documento, pdf, &errore)) << errore.toStdString();
    test::controllaPagineNumerate(pdf, guide);
}

// The tallest table rows run on over the page: a cell of thousands of words
// is split between pages, the heading row repeats, nothing is lost.
TEST_F(EsportazionePdf, UnaRigaPiuAltaDiUnaPaginaProsegueConLIntestazioneRipetuta) {
    const QString mancano = test::strumentiMancanti({"pdfinfo", "pdftotext"});
    if (!mancano.isEmpty()) GTEST_SKIP() << "not installed: " << mancano.toStdString();

    DatiStampaQuadro d = test::quadroLargo(QStringLiteral("euro"));
    QStringList parole;
    for (int i = 1; i <= 3000; ++i) parole << QStringLiteral("parola%1").arg(i);
    d.tipo[2] = parole.join(QLatin1Char(' '));
    const QString pdf = inUscita(QStringLiteral("lungo.pdf"));
    utente.scegliFile(pdf);
    ASSERT_EQ(esportaQuadro(d), EsitoStampa::Fatto);

    const int pagine = test::campoPdf(pdf, QStringLiteral("Pages")).toInt();
    ASSERT_GE(pagine, 2);
    const QString tutto = test::testoPdf(pdf, false);
    qsizetype dove = 0;
    for (const QString& p : parole) {
        const qsizetype qui = tutto.indexOf(
            QRegularExpression(QStringLiteral("\\b") + p + QStringLiteral("\\b")), dove);
        ASSERT_GE(qui, dove) << p.toStdString();
        dove = qui;
    }
    for (int p = 1; p <= pagine; ++p) {
        const QStringList righe = test::testoPdf(pdf, true, p).split(QLatin1Char('\n'));
        EXPECT_TRUE(test::intestazioneStampata(righe, {"numero", "voce", "costo"})) << p;
        EXPECT_TRUE(test::piePaginaPresente(righe, p, pagine)) << p;
    }
}

// An amount in words with its cents after a slash is one word: wherever the
// line ends, it is never broken at the slash ("...nove/" | "38)").
TEST_F(EsportazionePdf, UnImportoInLettereNonSiSpezzaMaiAllaSuaBarra) {
    const QString mancano = test::strumentiMancanti({"pdftotext"});
    if (!mancano.isEmpty()) GTEST_SKIP() << "not installed: " << mancano.toStdString();
    const QString parola = QStringLiteral("duecentosettantaseimilatrecentotrentanove/38)");
    Documento d;
    for (int k = 0; k < 60; ++k) {
        d.scriviTesto(QStringLiteral("Importo contrattuale:") + QString(k, QLatin1Char('x')) +
                      QStringLiteral(" euro 276.339,38 (euro ") + parola + QChar(13));
    }
    const QString pdf = inUscita(QStringLiteral("parole.pdf"));
    QString errore;
    ASSERT_TRUE(esportaPdf(d, pdf, &errore)) << errore.toStdString();
    const QString testo = test::testoPdf(pdf, false);
    EXPECT_EQ(testo.count(parola), 60) << testo.toStdString();
}

TEST_F(EsportazionePdf, SenzaNomeDelProgettoOValutaNonSiChiedeNulla) {
    DatiStampaCalcolo senzaValuta = test::calcoloLargo();
    senzaValuta.intestazione.valuta.clear();
    EXPECT_EQ(esportaCalcolo(senzaValuta), EsitoStampa::MostraQuadro);
    EXPECT_EQ(esportaQuadro(test::quadroLargo("euro", QString())), EsitoStampa::MostraQuadro);
    EXPECT_EQ(utente.testi(),
              QStringList({"Immettere il tipo di valuta.", "Digitare il nome del progetto."}));
    EXPECT_TRUE(utente.richiesteFile.isEmpty());
    EXPECT_TRUE(fileInUscita().isEmpty());
}

TEST_F(EsportazionePdf, IlDialogoProponeIlNomeDelProgettoEAnnullareNonScriveNulla) {
    const QString ponte = QStringLiteral("Ponte: lotto 2/3");
    utente.scegliFile(std::nullopt);
    EXPECT_EQ(esportaQuadro(test::quadroLargo("euro", ponte)), EsitoStampa::Annullato);
    utente.scegliFile(std::nullopt);
    EXPECT_EQ(esportaCalcolo(test::calcoloLargo(ponte)), EsitoStampa::Annullato);
    ASSERT_EQ(utente.richiesteFile.size(), 2);
    for (const RichiestaFile& r : utente.richiesteFile) {
        EXPECT_TRUE(r.salvataggio);
        EXPECT_TRUE(QFileInfo(QFileInfo(r.nomeFile).path()).isDir()) << r.nomeFile.toStdString();
        ASSERT_EQ(r.filtri.size(), 1);
        EXPECT_EQ(r.filtri[0].modello, "*.pdf");
    }
    // A name the file system refuses is made usable.
    EXPECT_EQ(QFileInfo(utente.richiesteFile[0].nomeFile).fileName(),
              "Ponte_ lotto 2_3 - quadro economico.pdf");
    EXPECT_EQ(QFileInfo(utente.richiesteFile[1].nomeFile).fileName(),
              "Ponte_ lotto 2_3 - calcolo.pdf");
    EXPECT_TRUE(utente.messaggi.isEmpty());
    EXPECT_TRUE(fileInUscita().isEmpty());
}

TEST_F(EsportazionePdf, UnFileEsistenteSiSostituisceSoloSeLUtenteAcconsente) {
    const QString pdf = inUscita(QStringLiteral("quadro.pdf"));
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("vecchio");
    f.close();

    utente.scegliFile(pdf);
    utente.rispondi(Risposta::No);
    EXPECT_EQ(esportaQuadro(test::quadroLargo("euro")), EsitoStampa::Annullato);
    EXPECT_EQ(contenuto(pdf), "vecchio");
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_EQ(utente.messaggi[0].pulsanti, Pulsanti::SiNo);
    EXPECT_EQ(utente.messaggi[0].predefinita, Risposta::No);
    EXPECT_TRUE(utente.messaggi[0].testo.contains(QDir::toNativeSeparators(pdf)));

    // Typed without the extension, the name still reaches the same file.
    utente.scegliFile(inUscita(QStringLiteral("quadro")));
    utente.rispondi(Risposta::Si);
    EXPECT_EQ(esportaQuadro(test::quadroLargo("euro")), EsitoStampa::Fatto);
    EXPECT_TRUE(contenuto(pdf).startsWith("%PDF-"));
    EXPECT_EQ(fileInUscita(), QStringList{"quadro.pdf"}) << "no temporary file is left";
}

TEST_F(EsportazionePdf, UnFileCheNonSiPuoScrivereVieneNominatoConLaCausaENonRestaNulla) {
    const QString senzaCartella = inUscita(QStringLiteral("manca/quadro.pdf"));
    // A folder in the place of the file: it stays a folder, untouched.
    const QString cartellaAlPosto = inUscita(QStringLiteral("occupato.pdf"));
    ASSERT_TRUE(QDir().mkpath(cartellaAlPosto));
    for (const QString& percorso : {senzaCartella, cartellaAlPosto}) {
        SCOPED_TRACE(percorso.toStdString());
        utente.messaggi.clear();
        utente.scegliFile(percorso);
        EXPECT_EQ(esportaQuadro(test::quadroLargo("euro")), EsitoStampa::NonRiuscito);
        ASSERT_EQ(utente.messaggi.size(), 1);
        const QStringList righe = utente.messaggi[0].testo.split(QChar(13));
        ASSERT_EQ(righe.size(), 3);
        EXPECT_EQ(righe[1], QDir::toNativeSeparators(percorso));
        EXPECT_FALSE(righe[2].trimmed().isEmpty()) << "the reason is given";
        EXPECT_EQ(utente.messaggi[0].icona, Icona::Esclamazione);
    }
    EXPECT_EQ(fileInUscita(), QStringList{"occupato.pdf"});
    EXPECT_TRUE(QFileInfo(cartellaAlPosto).isDir());
    EXPECT_TRUE(QDir(cartellaAlPosto).isEmpty());
}

// A hostile project name (noncharacters, a direction control, a thousand
// non-ASCII letters) still exports: the proposed file name fits the file
// system without the direction control, and the PDF's XMP metadata stay
// well-formed XML that poppler reads, with the title in them.
TEST_F(EsportazionePdf, UnNomeDelProgettoOstileDaUnFileUtilizzabileEMetadatiBenFormati) {
    const QString mancano = test::strumentiMancanti({"pdfinfo"});
    if (!mancano.isEmpty()) GTEST_SKIP() << "not installed: " << mancano.toStdString();
    const QString ostile = QStringLiteral("Scuola") + QChar(0xFFFE) + QChar(0xFFFF) +
                           QChar(0x202E) + QStringLiteral("fdp.exe") + QString(1000, QChar(0xE0));
    const QString proposto = percorsoPropostoPdf(ostile);
    const QString nome = QFileInfo(proposto).fileName();
    EXPECT_LE(nome.toUtf8().size(), 255);
    EXPECT_FALSE(nome.contains(QChar(0x202E)));
    EXPECT_TRUE(nome.endsWith(QStringLiteral(".pdf")));

    const QString pdf = inUscita(nome);
    utente.scegliFile(pdf);
    ASSERT_EQ(esportaQuadro(test::quadroLargo("euro", ostile)), EsitoStampa::Fatto)
        << utente.testi().join(u'\n').toStdString();
    const auto meta = test::esegui("pdfinfo", {QStringLiteral("-meta"), pdf});
    ASSERT_TRUE(meta.has_value());
    const qsizetype inizio = meta->indexOf("<x:xmpmeta");
    const qsizetype fine = meta->indexOf("</x:xmpmeta>");
    ASSERT_TRUE(inizio >= 0 && fine > inizio) << meta->toStdString();
    QXmlStreamReader xml(meta->mid(inizio, fine + 12 - inizio));
    QString testi;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters()) testi += xml.text();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(testi.contains(QStringLiteral("Scuola"))) << meta->toStdString();
}

// A link planted by another user where the PDF is to go is refused before
// any question, and the file it points to stays as it was.
TEST_F(EsportazionePdf, UnCollegamentoPiantatoDaUnAltroUtenteSiRifiutaPrimaDiOgniDomanda) {
    const QString bersaglio = inUscita(QStringLiteral("bersaglio"));
    QFile f(bersaglio);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("originale");
    f.close();
    const QString pdf = inUscita(QStringLiteral("quadro.pdf"));
    if (!test::creaCollegamento(bersaglio, pdf, true))
        GTEST_SKIP() << "giving a link to another user needs the administrator";
    utente.scegliFile(pdf);
    utente.rispondi(Risposta::Si);
    EXPECT_EQ(esportaQuadro(test::quadroLargo("euro")), EsitoStampa::NonRiuscito);
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_EQ(utente.messaggi[0].pulsanti, Pulsanti::Ok);
    EXPECT_TRUE(utente.messaggi[0].testo.contains(QDir::toNativeSeparators(pdf)));
    EXPECT_EQ(contenuto(bersaglio), "originale");
}

}  // namespace
}  // namespace varimo
