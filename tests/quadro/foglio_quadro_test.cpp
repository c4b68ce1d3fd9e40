// The framework's spreadsheet as the RUP's office reads it: LibreOffice Calc
// opens the .xlsx, recalculates every formula and must find, in every cell,
// the amount the framework computed, to the cent.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>

#include "common/importi.h"
#include "common/testiprogramma.h"
#include "quadro/documentiquadro.h"
#include "quadro/esempi_documenti.h"
#include "quadro/formatoquadro.h"
#include "reports/caratteri.h"
#include "reports/foglioquadro.h"
#include "reports/lettore_docx.h"
#include "reports/lettore_foglio.h"

namespace varimo::test {
namespace {

constexpr int kColonnaImporto = 4;

Centesimi centesimi(const CellaFoglio& c) {
    return c.valore ? static_cast<Centesimi>(std::llround(*c.valore * 100)) : Q_INT64_C(-1);
}

// Every item's row, the total and the fixed total as LibreOffice computed
// them, against the record the sheet was written from.
void controllaFoglio(const FoglioLetto& f, const QuadroEsportato& q, const std::string& nome) {
    ASSERT_TRUE(f.errore.isEmpty()) << nome << ": " << f.errore.toStdString();
    const int prima = kRigaIntestazioneColonne + 1;
    for (int i = 0; i < q.voci.size(); ++i) {
        const VoceEsportata& v = q.voci.at(i);
        const CellaFoglio importo = f.cella(prima + i, kColonnaImporto);
        EXPECT_EQ(f.cella(prima + i, 1).testo, v.codice) << nome;
        EXPECT_EQ(f.cella(prima + i, 2).testo, testoPerDocumenti(v.etichetta)) << nome;
        EXPECT_EQ(centesimi(importo), v.centesimi) << nome << " " << v.codice.toStdString();
        // Sections and percentages are live formulas; the absorbing item is a
        // formula of the fixed total, or the value computed for it with a
        // comment saying so.
        const bool assorbe = v.compensa && q.totaleFisso;
        if (v.tipo == VoceEsportata::Tipo::Sezione && !v.figli.isEmpty()) {
            EXPECT_TRUE(importo.formula.contains(QLatin1String("SUM("))) << nome;
        } else if (v.tipo == VoceEsportata::Tipo::Percentuale && !assorbe) {
            EXPECT_TRUE(importo.formula.contains(QLatin1String("ROUND("))) << nome;
        } else if (!assorbe) {
            EXPECT_TRUE(importo.formula.isEmpty()) << nome << " " << v.codice.toStdString();
        }
        if (!assorbe) {
            EXPECT_TRUE(importo.nota.isEmpty()) << nome << " " << v.codice.toStdString();
        }
    }
    const int totale = prima + static_cast<int>(q.voci.size());
    EXPECT_TRUE(f.cella(totale, 2).testo.startsWith(QLatin1String("TOTALE PROGETTO"))) << nome;
    EXPECT_EQ(centesimi(f.cella(totale, kColonnaImporto)), q.totale) << nome;
    EXPECT_FALSE(f.cella(totale, kColonnaImporto).formula.isEmpty()) << nome;
    if (q.totaleFisso) {
        EXPECT_EQ(centesimi(f.cella(totale + 1, kColonnaImporto)), *q.totaleFisso) << nome;
        EXPECT_EQ(centesimi(f.cella(totale + 2, kColonnaImporto)), *q.totaleFisso - q.totale)
            << nome;
    }
}

// Random frameworks (sub-sections, percentages of lists with decimals, a
// fixed total absorbed by a random item), the school renovation and a
// framework of hostile texts, written without the computed results, so that
// every figure LibreOffice shows comes from the formulas; and the school
// renovation as the program writes it, shown with Italian separators.
TEST(FoglioQuadro, LibreOfficeRicalcolaGliStessiImportiAlCentesimo) {
    const QString mancano = strumentiMancanti({"soffice"});
    if (!mancano.isEmpty()) GTEST_SKIP() << "manca " << mancano.toStdString();
    QTemporaryDir cartella;
    ASSERT_TRUE(cartella.isValid());

    QList<QuadroEsportato> quadri;
    QStringList nomi;
    QRandomGenerator g(2026);
    for (int i = 0; i < 12; ++i) {
        FileQuadro f = casuale(g, 5 + static_cast<int>(g.bounded(60)), i % 3 != 0);
        quadri << quadro::perDocumenti(calcolato(f));
    }
    for (int i = 0; i < 3; ++i) quadri << quadro::perDocumenti(calcolato(mezziCentesimi(g)));
    const int primoEsempio = static_cast<int>(quadri.size());
    quadri << quadro::perDocumenti(calcolato(scuola()));
    quadri << quadro::perDocumenti(calcolato(scuolaOstile()));
    for (int i = 0; i < quadri.size(); ++i) {
        QString errore;
        const auto dati = foglioQuadro(quadri.at(i), &errore, OpzioniFoglio{false});
        ASSERT_TRUE(dati) << errore.toStdString();
        nomi << cartella.filePath(QStringLiteral("q%1.xlsx").arg(i));
        QFile file(nomi.last());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(*dati);
    }
    // The school renovation with its results, as the program saves it.
    const QuadroEsportato scuolaEsportata = quadri.at(primoEsempio);
    nomi << cartella.filePath(QStringLiteral("scuola.xlsx"));
    QString errore;
    ASSERT_TRUE(scriviFoglioQuadro(scuolaEsportata, nomi.last(), &errore)) << errore.toStdString();

    const QList<FoglioLetto> letti = ricalcolaConLibreOffice(nomi, cartella.path());
    ASSERT_EQ(letti.size(), nomi.size());
    for (int i = 0; i < quadri.size(); ++i)
        controllaFoglio(letti.at(i), quadri.at(i), nomi.at(i).toStdString());
    controllaFoglio(letti.last(), scuolaEsportata, "scuola.xlsx");

    // The school renovation: the funding reached, the contingencies absorbing
    // the difference; figures shown the Italian way; the header on top.
    EXPECT_EQ(scuolaEsportata.totale, 125000000);
    const FoglioLetto& s = letti.last();
    const int totale = kRigaIntestazioneColonne + 1 + static_cast<int>(scuolaEsportata.voci.size());
    EXPECT_EQ(s.cella(totale, kColonnaImporto).testo, QStringLiteral("1.250.000,00"));
    EXPECT_EQ(s.cella(kRigaIntestazioneColonne + 1, kColonnaImporto).testo,
              QStringLiteral("836.716,04"));
    QStringList intestazione;
    for (int r = 1; r < kRigaIntestazioneColonne; ++r) intestazione << s.cella(r, 2).testo;
    for (const QString& campo : {scuola().intestazione.ente, scuola().intestazione.cup,
                                 scuola().intestazione.cig, scuola().intestazione.rup})
        EXPECT_TRUE(intestazione.contains(campo)) << campo.toStdString();
    // Printed on A4 fitted to the page width; the label column wider than
    // the code column; the column heading frozen in the file.
    EXPECT_TRUE(s.xml.contains("style:scale-to-X=\"1\""));
    EXPECT_TRUE(s.xml.contains("fo:page-height=\"29.7cm\""));
    QList<double> larghezze;
    const QRegularExpression larghezza(QStringLiteral("style:column-width=\"([0-9.]+)cm\""));
    for (auto m = larghezza.globalMatch(QString::fromUtf8(s.xml)); m.hasNext();)
        larghezze << m.next().captured(1).toDouble();
    ASSERT_GE(larghezze.size(), 4);
    EXPECT_GT(larghezze.at(1), 2 * larghezze.at(0));
    const auto foglio = parteDocx(nomi.last(), "xl/worksheets/sheet1.xml");
    ASSERT_TRUE(foglio);
    EXPECT_TRUE(foglio->contains("ySplit=\"11\"") && foglio->contains("state=\"frozen\""));

    // The hostile texts come back as they were written.
    const QuadroEsportato& o = quadri.at(primoEsempio + 1);
    const FoglioLetto& lo = letti.at(primoEsempio + 1);
    QStringList intestazioneOstile;
    for (int r = 1; r < kRigaIntestazioneColonne; ++r) intestazioneOstile << lo.cella(r, 2).testo;
    const IntestazioneEsportata& h = o.intestazione;
    for (const QString* campo : {&h.ente, &h.titolo, &h.cup, &h.cig, &h.fase})
        EXPECT_TRUE(intestazioneOstile.contains(testoPerDocumenti(*campo))) << campo->toStdString();
    EXPECT_EQ(lo.cella(8, 2).testo, testoPerDocumenti(h.progettista));
}

// The program without a window: a classic data file and a .varimo file
// become a PDF, a .docx and an .xlsx whose recalculated figures are the
// framework's; a damaged input or an unwritable output leaves the old file
// as it was, with a message and a non-zero status.
TEST(FoglioQuadro, RigaDiComandoScriveIDocumentiDiOgniQuadro) {
    const QString mancano = strumentiMancanti({"soffice", "pdftotext"});
    if (!mancano.isEmpty()) GTEST_SKIP() << "manca " << mancano.toStdString();
    QTemporaryDir cartella;
    ASSERT_TRUE(cartella.isValid());
    auto varimo = [&](const QStringList& argomenti, QString* errori = nullptr) {
        QProcess p;
        p.start(QStringLiteral(VARIMO_BIN_DIR "/varimo"), argomenti);
        EXPECT_TRUE(p.waitForFinished(120000));
        if (errori) *errori = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    auto leggi = [](const QString& percorso) {
        QFile f(percorso);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    const QString varimoFile = cartella.filePath(QStringLiteral("scuola.varimo"));
    ASSERT_FALSE(quadro::salvaFileQuadro(varimoFile, scuola()));
    const QStringList entrate = {
        QStringLiteral(VARIMO_SOURCE_DIR "/tests/datafile/fixtures/Varimo-dati-scuola"),
        varimoFile};
    QStringList fogli;
    QList<QuadroEsportato> attesi;
    for (int i = 0; i < entrate.size(); ++i) {
        const auto calcolo = quadro::leggiEcalcola(entrate.at(i));
        ASSERT_TRUE(std::holds_alternative<quadro::QuadroCalcolato>(calcolo));
        attesi << quadro::perDocumenti(std::get<quadro::QuadroCalcolato>(calcolo));
        const QString base = cartella.filePath(QStringLiteral("uscita%1").arg(i));
        for (const char* estensione : {".pdf", ".docx", ".xlsx"}) {
            QString errori;
            EXPECT_EQ(varimo({QStringLiteral("--esporta"), entrate.at(i),
                              base + QLatin1String(estensione)},
                             &errori),
                      0)
                << errori.toStdString();
        }
        fogli << base + QStringLiteral(".xlsx");
        const QString testo = testoPdf(base + QStringLiteral(".pdf"), true);
        EXPECT_TRUE(
            suUnaRiga(testo.split(QLatin1Char('\n')), formatoCentesimi(attesi.last().totale)));
        const CorpoLetto corpo = leggiDocx(base + QStringLiteral(".docx"));
        EXPECT_TRUE(corpo.errore.isEmpty());
        EXPECT_EQ(corpo.tabelle().size(), 2);  // the framework, the signatures
    }
    const QList<FoglioLetto> letti = ricalcolaConLibreOffice(fogli, cartella.path());
    ASSERT_EQ(letti.size(), fogli.size());
    for (int i = 0; i < fogli.size(); ++i)
        controllaFoglio(letti.at(i), attesi.at(i), fogli.at(i).toStdString());

    // Failures: a damaged framework, a folder that does not exist.
    const QByteArray vecchio = leggi(fogli.first());
    const QString guasto = cartella.filePath(QStringLiteral("guasto.varimo"));
    QFile g(guasto);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write("{\"formato\": \"varimo-quadro\", \"versione\": 1, \"voci\": [");
    g.close();
    for (const QStringList& c :
         {QStringList{QStringLiteral("--esporta"), guasto, fogli.first()},
          QStringList{QStringLiteral("--esporta"), varimoFile,
                      cartella.filePath(QStringLiteral("manca/uscita.pdf"))}}) {
        QString errori;
        EXPECT_NE(varimo(c, &errori), 0);
        EXPECT_FALSE(errori.trimmed().isEmpty());
    }
    EXPECT_EQ(leggi(fogli.first()), vecchio);
    EXPECT_FALSE(QFile::exists(cartella.filePath(QStringLiteral("manca/uscita.pdf"))));
}

}  // namespace
}  // namespace varimo::test
