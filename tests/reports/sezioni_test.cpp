// The sectioned framework and the framework after the tender, read back from
// the .docx files handed to the word processor (and, where LibreOffice is
// installed, from the PDF it makes of them).

#include "reports/sezioni.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "calculation/statocalcolo.h"
#include "common/numeri.h"
#include "classico/persezioni.h"
#include "classico/postgara.h"
#include "classico/statoeconomico.h"
#include "reports/ambiente_stampe.h"
#include "reports/lettore_docx.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace varimo {
namespace {

using test::CorpoLetto;
using test::ParagrafoLetto;
using test::TabellaLetta;

constexpr int A = 1, C = 3, D = 4, F = 6, G = 7, M = 11, S = 17;

class Sezioni : public test::AmbienteStampe {
  protected:
    void SetUp() override {
        AmbienteStampe::SetUp();
        calcolo.preparaFinestra();
        calcolo.scriviCosto(A, QStringLiteral("335498,23"));
        calcolo.scriviCosto(C, QStringLiteral("19535,61"));
        calcolo.scriviCosto(F, QStringLiteral("1200"));
        percentuale(G, A, 5);
        percentuale(M, D, 8);
        percentuale(S, D, 10);
        quadro.preparaFinestra();
        quadro.mostra(calcolo);
    }
    // The framework in its sections, for the project named in `progetto`.
    QuadroSezioni sezioni() const {
        QuadroSezioni q = sezioniDelQuadro(quadro);
        q.intestazione = progetto;
        return q;
    }
    void percentuale(int riga, int rif, int p) {
        calcolo.scegliRiferimento(riga, rif - 1);
        calcolo.scriviScorrimento(riga, p);
    }
    CorpoLetto unicoDocumento() {
        EXPECT_EQ(aperti.size(), 1);
        if (aperti.isEmpty()) return {};
        CorpoLetto c = test::leggiDocx(aperti.last());
        EXPECT_TRUE(c.errore.isEmpty()) << c.errore.toStdString();
        return c;
    }
    // Every row of a table: its cells' texts, and whether the row is bold.
    static QList<QStringList> righe(const TabellaLetta& t) {
        QList<QStringList> r;
        for (int i = 1; i <= t.righe.size(); ++i) {
            QStringList celle;
            for (int c = 1; c <= t.colonne(); ++c) celle << t.cella(i, c).testo();
            r << celle;
        }
        return r;
    }
    static bool grassetto(const TabellaLetta& t, int riga) {
        for (int c = 1; c <= t.colonne(); ++c)
            for (const ParagrafoLetto& p : t.cella(riga, c).paragrafi)
                for (bool b : p.grassetti)
                    if (!b) return false;
        return true;
    }
    static double importo(const QString& t) { return letturaRigorosa(t).value_or(-1e300); }

    StatoCalcolo calcolo;
    StatoEconomico quadro;
};

// Amounts by hand: G = 5 % of 335.498,23 = 16.774,9115 -> 16.774,91;
// M = 8 % of 355.033,84 = 28.402,7072 -> 28.402,71; S = 35.503,38;
// B = 1.200 + 16.774,91 + 28.402,71 + 35.503,38 = 81.881,00;
// total 355.033,84 + 81.881,00 = 436.914,84.
TEST_F(Sezioni, QuadroEconomicoPerSezioniComeLoMostraLaSuaFinestra) {
    ASSERT_EQ(stampaSezioni(sezioni()), EsitoStampa::Fatto);
    EXPECT_TRUE(utente.messaggi.isEmpty());
    const CorpoLetto c = unicoDocumento();
    EXPECT_EQ(QFileInfo(aperti[0]).fileName(),
              "Varimo - QUADRO ECONOMICO per sezioni - Scuola.docx");
    const QList<ParagrafoLetto> p = c.paragrafi();
    ASSERT_GE(p.size(), 6);
    EXPECT_EQ(p[3].testo, "- Progetto: Scuola");
    EXPECT_EQ(p[5].testo, "QUADRO ECONOMICO - valori in euro");

    const QList<TabellaLetta> t = c.tabelle();
    ASSERT_EQ(t.size(), 1);
    const QList<QStringList> attese = {
        {"numero", "voce", "costo"},
        {"", "A) LAVORI", ""},
        {"a.1", "Lavori a misura", "335.498,23"},
        {"a.2", "Oneri per i piani di sicurezza e coordinamento", "19.535,61"},
        {"", "Totale lavori (A)", "355.033,84"},
        {"", "B) SOMME A DISPOSIZIONE DELL'AMMINISTRAZIONE", ""},
        {"b.1", "Allacciamenti ai pubblici servizi", "1.200,00"},
        {"b.2", "Imprevisti (5 % di Lavori a misura)", "16.774,91"},
        {"b.3", "Spese tecniche (8 % di Importo a base dell'appalto)", "28.402,71"},
        {"b.4", "IVA sui lavori (10 % di Importo a base dell'appalto)", "35.503,38"},
        {"", "Totale somme a disposizione (B)", "81.881,00"},
        {"", "TOTALE PROGETTO (A + B) in euro", "436.914,84"},
    };
    EXPECT_EQ(righe(t[0]), attese);
    for (int r : {2, 5, 6, 11, 12}) EXPECT_TRUE(grassetto(t[0], r)) << r;
    for (int r : {3, 4, 7, 8, 9, 10}) EXPECT_FALSE(grassetto(t[0], r)) << r;
    for (int r = 1; r <= t[0].righe.size(); ++r)
        for (const ParagrafoLetto& par : t[0].cella(r, 3).paragrafi)
            EXPECT_EQ(par.allineamento, "right") << r;

    // The printed figures add up, read as a reader reads them.
    const QList<QStringList> stampate = righe(t[0]);
    double a = 0, b = 0;
    for (const QStringList& r : stampate) {
        if (r[0].startsWith("a.")) a += importo(r[2]);
        if (r[0].startsWith("b.")) b += importo(r[2]);
    }
    EXPECT_NEAR(a, importo(stampate[4][2]), 0.005);
    EXPECT_NEAR(b, importo(stampate[10][2]), 0.005);
    EXPECT_NEAR(importo(stampate[4][2]) + importo(stampate[10][2]), importo(stampate[11][2]),
                0.005);
}

TEST_F(Sezioni, StampaCioCheMostraLaFinestraAncheDopoRitocchiAMano) {
    // Labels and amounts touched by hand in the framework window, and the
    // currency changed there.
    quadro.scriviTipo(1, QStringLiteral("Lavori stradali"));
    quadro.scriviCosto(2, QString());  // C emptied: left out of the section
    quadro.scriviValuta(QStringLiteral("dollari"));
    progetto.valuta = QStringLiteral("dollari");
    ASSERT_EQ(stampaSezioni(sezioni()), EsitoStampa::Fatto);
    const QList<QStringList> r = righe(unicoDocumento().tabelle().value(0));
    ASSERT_EQ(r.size(), 11);
    EXPECT_EQ(r[2], (QStringList{"a.1", "Lavori stradali", "335.498,23"}));
    EXPECT_EQ(r[3], (QStringList{"", "Totale lavori (A)", "355.033,84"}));
    EXPECT_EQ(r.last(), (QStringList{"", "TOTALE PROGETTO (A + B) in dollari", "436.914,84"}));

    // Without a project name there is no document, and the caller is told to
    // bring the framework window forward.
    aperti.clear();
    progetto.nome.clear();
    EXPECT_EQ(stampaSezioni(sezioni()), EsitoStampa::MostraQuadro);
    EXPECT_TRUE(aperti.isEmpty());
    EXPECT_EQ(utente.testi(), QStringList{"Digitare il nome del progetto."});
}

class DopoGaraStampa : public Sezioni {
  protected:
    std::optional<QuadroDopoGara> calcola(const QString& ribasso) {
        stato.caricaProgetto(progettoDa(calcolo));
        stato.scriviRibasso(ribasso);
        return stato.quadro();
    }
    EsitoStampa stampa(const QuadroDopoGara& q) {
        QStringList testi;
        for (const Dichiarazione& d : dichiarazioni(q)) testi << d.testo(progetto.valuta);
        QuadroSezioni sezioni = sezioniDopoGara(stato, q);
        sezioni.intestazione = progetto;
        return stampaDopoGara(rigaRibasso(stato.lettura().millesimi), sezioni, testi);
    }
    StatoPostGara stato;
};

// The worked example: A 335.498,23, C 19.535,61, S = 10 % of D, 23,456 %.
TEST_F(DopoGaraStampa, EsempioSvoltoInCifreEInLettere) {
    calcolo.cancellaTutto();
    calcolo.scriviCosto(A, QStringLiteral("335498,23"));
    calcolo.scriviCosto(C, QStringLiteral("19535,61"));
    percentuale(S, D, 10);
    const auto q = calcola(QStringLiteral("23,456"));
    ASSERT_TRUE(q);
    ASSERT_EQ(stampa(*q), EsitoStampa::Fatto);
    const CorpoLetto c = unicoDocumento();
    const QList<ParagrafoLetto> p = c.paragrafi();
    ASSERT_GE(p.size(), 8);
    EXPECT_EQ(p[5].testo, "QUADRO ECONOMICO DOPO LA GARA - valori in euro");
    EXPECT_EQ(p[6].testo, "");
    EXPECT_EQ(p[7].testo, "Ribasso d'asta: 23,456 %");

    const QList<TabellaLetta> t = c.tabelle();
    ASSERT_EQ(t.size(), 1);
    const QList<QStringList> attese = {
        {"numero", "voce", "progetto", "dopo la gara", "differenza"},
        {"", "A) LAVORI", "", "", ""},
        {"a.1", "Lavori a misura", "335.498,23", "256.803,77", "-78.694,46"},
        {"a.2", "Oneri per i piani di sicurezza e coordinamento", "19.535,61", "19.535,61", "0,00"},
        {"", "Totale lavori (A)", "355.033,84", "276.339,38", "-78.694,46"},
        {"", "B) SOMME A DISPOSIZIONE DELL'AMMINISTRAZIONE", "", "", ""},
        {"b.1", "IVA sui lavori (10 % di Importo a base dell'appalto, segue il ribasso)",
         "35.503,38", "27.633,94", "-7.869,44"},
        {"b.2", "Economie da ribasso d'asta", "0,00", "86.563,90", "86.563,90"},
        {"", "Totale somme a disposizione (B)", "35.503,38", "114.197,84", "78.694,46"},
        {"", "TOTALE PROGETTO (A + B) in euro", "390.537,22", "390.537,22", "0,00"},
    };
    EXPECT_EQ(righe(t[0]), attese);

    QStringList dopo;
    for (qsizetype i = 0; i < c.blocchi.size(); ++i) {
        if (std::holds_alternative<TabellaLetta>(c.blocchi[i])) {
            for (qsizetype j = i + 1; j < c.blocchi.size(); ++j)
                dopo << std::get<ParagrafoLetto>(c.blocchi[j]).testo;
            break;
        }
    }
    dopo.removeAll(QString());
    EXPECT_EQ(dopo, (QStringList{
                        "Importo contrattuale: euro 276.339,38 "
                        "(euro duecentosettantaseimilatrecentotrentanove/38)",
                        "Ribasso d'asta sui lavori: euro 78.694,46 "
                        "(euro settantottomilaseicentonovantaquattro/46)",
                        "Economie da ribasso d'asta: euro 86.563,90 "
                        "(euro ottantaseimilacinquecentosessantatré/90)",
                    }));

    // LibreOffice reads the document and lays out the figures and the words.
    const QString lo = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (lo.isEmpty() || pdftotext.isEmpty())
        GTEST_SKIP() << "libreoffice or pdftotext missing: the rendering is not checked";
    QTemporaryDir profilo;
    const QString uscita = cartella.filePath(QStringLiteral("pdf"));
    QProcess conv;
    conv.start(lo, {QStringLiteral("-env:UserInstallation=") +
                        QUrl::fromLocalFile(profilo.path()).toString(),
                    QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                    QStringLiteral("pdf"), QStringLiteral("--outdir"), uscita, aperti[0]});
    ASSERT_TRUE(conv.waitForFinished(180000));
    const QString pdf = QDir(uscita).filePath(QFileInfo(aperti[0]).completeBaseName() + ".pdf");
    QProcess testo;
    testo.start(pdftotext, {pdf, QStringLiteral("-")});
    ASSERT_TRUE(testo.waitForFinished(60000));
    const QString letto = QString::fromUtf8(testo.readAllStandardOutput()).simplified();
    for (const char* atteso :
         {"QUADRO ECONOMICO DOPO LA GARA", "256.803,77", "27.633,94", "86.563,90",
          "ottantaseimilacinquecentosessantatré/90", "Economie da ribasso d'asta"})
        EXPECT_TRUE(letto.contains(QString::fromUtf8(atteso))) << atteso;
}

}  // namespace
}  // namespace varimo
