// The dated tables of the law: the amounts at the band edges of the shipped
// tables, which table a framework's date picks and when it warns, and the
// user's own file (taken over the shipped tables, or refused whole with a
// message that names the file and the key).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "quadro/tabelle.h"

namespace varimo::quadro {
namespace {

const QString kAnac = QStringLiteral("contributo-anac-stazione-appaltante");
const QString kArte = QStringLiteral("quota-arte-legge-717-1949");

// The shipped tables alone, read now.
CatalogoTabelle installato() {
    return caricaCatalogo(QString());
}

Centesimi euro(qint64 e, int cent = 0) {
    return e * 100 + cent;
}

void scrivi(const QString& percorso, const QByteArray& dati) {
    QFile f(percorso);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(dati), dati.size());
}

// A tables file holding the given table entries.
QByteArray fileTabelle(const QByteArray& tabelle, const QByteArray& resto = {}) {
    return R"({"formato": "varimo-tabelle", "versione": 1, "tabelle": [)" + tabelle + "]" + resto +
           "}";
}

// VARIMO_TABELLE for the length of a test.
class FileUtente {
  public:
    explicit FileUtente(const QString& percorso) { qputenv("VARIMO_TABELLE", percorso.toUtf8()); }
    ~FileUtente() { qunsetenv("VARIMO_TABELLE"); }
    FileUtente(const FileUtente&) = delete;
    FileUtente& operator=(const FileUtente&) = delete;
};

TEST(Tabelle, GliImportiAiMarginiDegliScaglioni) {
    const CatalogoTabelle c = installato();
    EXPECT_TRUE(c.avvisi.isEmpty()) << c.avvisi.join(u'\n').toStdString();
    EXPECT_EQ(c.nomi(), QStringList({kAnac, kArte}));

    const TabellaScelta anac = scegliTabella(c, kAnac, QStringLiteral("2025-06-01"));
    ASSERT_NE(anac.tabella, nullptr);
    EXPECT_TRUE(anac.tabella->origine.isEmpty());
    const QList<std::pair<Centesimi, Centesimi>> margini{
        {-1, 0},
        {0, 0},
        {euro(39999, 99), 0},
        {euro(40000), euro(35)},
        {euro(149999, 99), euro(35)},
        {euro(150000), euro(250)},
        {euro(499999, 99), euro(250)},
        {euro(500000), euro(410)},
        {euro(999999, 99), euro(410)},
        {euro(1000000), euro(660)},
        {euro(4999999, 99), euro(660)},
        {euro(5000000), euro(880)},
        {999999999999999999LL, euro(880)},
    };
    for (const auto& [base, atteso] : margini)
        EXPECT_EQ(importoScaglioni(*anac.tabella, base), atteso) << base;

    // A percentage of the whole base, half up to the cent; no band below the
    // first one, and no overflow on the largest base a framework may hold.
    const TabellaScelta arte = scegliTabella(c, kArte, QStringLiteral("2025-06-01"));
    ASSERT_NE(arte.tabella, nullptr);
    EXPECT_TRUE(arte.avviso.isEmpty());
    const QList<std::pair<Centesimi, Centesimi>> quote{
        {euro(1000000), 0},
        {euro(1000000, 1), euro(20000)},
        {euro(4999999), euro(99999, 98)},
        {euro(5000000), euro(50000)},
        {euro(19999999, 99), euro(200000)},  // 199.999,9999 rounds up
        {euro(20000000), euro(100000)},
        {999999999999999999LL, 5000000000000000LL},  // 4.999.999.999.999.999,995 cents
    };
    for (const auto& [base, atteso] : quote)
        EXPECT_EQ(importoScaglioni(*arte.tabella, base), atteso) << base;
    TabellaScaglioni soloDaMille = *arte.tabella;
    soloDaMille.scaglioni.removeFirst();
    EXPECT_EQ(importoScaglioni(soloDaMille, euro(1000000)), 0);
}

TEST(Tabelle, LaDataDelQuadroSceglieLaTabellaEFuoriDaiTerminiAvvisa) {
    const CatalogoTabelle c = installato();
    struct Caso {
        const char* data;
        int anno;     // year of the table chosen
        bool avviso;  // a warning is due
    };
    const Caso casi[] = {
        {"2025-06-01", 2025, false}, {"15/06/2025", 2025, false}, {"1/1/2025", 2025, false},
        {"2024-12-31", 2024, false}, {"2022-01-01", 2022, false}, {"2026-03-01", 2025, true},
        {"2023-05-01", 2022, true},  {"2021-12-31", 2022, true},  {"", 2025, true},
        {"31/02/2025", 2025, true},  {"domani", 2025, true},
    };
    for (const Caso& k : casi) {
        const TabellaScelta s = scegliTabella(c, kAnac, QString::fromLatin1(k.data));
        ASSERT_NE(s.tabella, nullptr) << k.data;
        EXPECT_EQ(s.tabella->dal.year(), k.anno) << k.data;
        EXPECT_EQ(!s.avviso.isEmpty(), k.avviso) << k.data << s.avviso.toStdString();
        if (k.avviso) {
            // The warning names the table, its year and its source.
            EXPECT_TRUE(s.avviso.contains(s.tabella->titolo)) << k.data;
            EXPECT_TRUE(s.avviso.contains(QString::number(k.anno))) << k.data;
            EXPECT_TRUE(s.avviso.contains(s.tabella->fonte)) << k.data;
        }
    }
    EXPECT_EQ(nomeConAnno(*scegliTabella(c, kAnac, QStringLiteral("2025-06-01")).tabella),
              scegliTabella(c, kAnac, {}).tabella->titolo + QStringLiteral(" 2025"));
    // The art quota is open from the day the law changed.
    EXPECT_TRUE(scegliTabella(c, kArte, QStringLiteral("2040-01-01")).avviso.isEmpty());
    EXPECT_FALSE(scegliTabella(c, kArte, QStringLiteral("2012-01-23")).avviso.isEmpty());
    EXPECT_EQ(scegliTabella(c, QStringLiteral("nessuna"), QStringLiteral("2025-06-01")).tabella,
              nullptr);

    const QString incentivi = QStringLiteral("incentivi-funzioni-tecniche");
    for (const char* data : {"2024-01-01", "2020-01-01", ""}) {
        const Limite* l = scegliLimite(c, incentivi, QString::fromLatin1(data));
        ASSERT_NE(l, nullptr) << data;
        EXPECT_EQ(l->percentuale, 2000) << data;
    }
    EXPECT_EQ(scegliLimite(c, QStringLiteral("nessuno"), {}), nullptr);
    const Aliquote* iva = trovaAliquote(c, QStringLiteral("iva-lavori"));
    ASSERT_NE(iva, nullptr);
    ASSERT_EQ(iva->scelte.size(), 2);
    EXPECT_EQ(iva->scelte[0].percentuale, 10000);
    EXPECT_EQ(iva->scelte[1].percentuale, 22000);
    EXPECT_NE(trovaAliquote(c, QStringLiteral("contributo-previdenziale")), nullptr);
    EXPECT_NE(trovaAliquote(c, QStringLiteral("iva-spese-tecniche")), nullptr);
}

TEST(Tabelle, IlFileDellUtenteSiAggiungeESostituisceLaTabellaDelloStessoPeriodo) {
    QTemporaryDir cartella;
    ASSERT_TRUE(cartella.isValid());
    const QString percorso = cartella.filePath(QStringLiteral("mie tabelle.json"));
    // The 2025 ANAC table with other amounts, a 2026 one without an end, a
    // table of the user's own whose first band starts above 0, a rate list
    // that replaces the shipped one, and keys this program does not know.
    scrivi(percorso, fileTabelle(R"(
        {"nome": "contributo-anac-stazione-appaltante", "titolo": "ANAC", "base": "b",
         "dal": "2025-01-01", "al": "2025-12-31", "fonte": "mia", "nota": "ignorata",
         "scaglioni": [{"da": "40000.00", "importo": "36.00"}]},
        {"nome": "contributo-anac-stazione-appaltante", "titolo": "ANAC", "base": "b",
         "dal": "2026-01-01", "fonte": "nuova",
         "scaglioni": [{"da": "0", "importo": "0"}, {"da": "40000", "importo": "40"}]},
        {"nome": "diritti-di-segreteria", "titolo": "Diritti", "base": "b",
         "dal": "2020-01-01", "fonte": "regolamento comunale",
         "scaglioni": [{"da": "1000.00", "percentuale": "0.125"}]})",
                                 R"(, "aliquote": [{"nome": "iva-lavori", "titolo": "IVA",
         "scelte": [{"percentuale": "4", "titolo": "Prima casa"}]}], "altro": 1)"));
    const FileUtente variabile(percorso);
    ASSERT_EQ(percorsoTabelleUtente(), percorso);

    const CatalogoTabelle shipped = installato();
    const CatalogoTabelle c = caricaCatalogo(percorsoTabelleUtente(), true);
    EXPECT_TRUE(c.avvisi.isEmpty()) << c.avvisi.join(u'\n').toStdString();
    EXPECT_EQ(c.tabelle.size(), shipped.tabelle.size() + 2);
    EXPECT_EQ(c.nomi().last(), QStringLiteral("diritti-di-segreteria"));

    const TabellaScelta nel2025 = scegliTabella(c, kAnac, QStringLiteral("2025-06-01"));
    ASSERT_NE(nel2025.tabella, nullptr);
    EXPECT_TRUE(nel2025.avviso.isEmpty());
    EXPECT_EQ(nel2025.tabella->origine, percorso);
    EXPECT_EQ(importoScaglioni(*nel2025.tabella, euro(40000)), euro(36));
    const TabellaScelta nel2026 = scegliTabella(c, kAnac, QStringLiteral("01/03/2026"));
    ASSERT_NE(nel2026.tabella, nullptr);
    EXPECT_TRUE(nel2026.avviso.isEmpty());
    EXPECT_EQ(importoScaglioni(*nel2026.tabella, euro(40000)), euro(40));
    // The shipped 2024 table is still there and still ends with its year.
    EXPECT_EQ(scegliTabella(c, kAnac, QStringLiteral("2024-06-01")).tabella->origine, QString());

    const TabellaScelta diritti =
        scegliTabella(c, QStringLiteral("diritti-di-segreteria"), QStringLiteral("2025-06-01"));
    ASSERT_NE(diritti.tabella, nullptr);
    EXPECT_EQ(importoScaglioni(*diritti.tabella, euro(999, 99)), 0);
    EXPECT_EQ(importoScaglioni(*diritti.tabella, euro(1000)), euro(1, 25));
    EXPECT_EQ(importoScaglioni(*diritti.tabella, euro(1003)), euro(1, 25));  // 1,25375
    EXPECT_EQ(importoScaglioni(*diritti.tabella, euro(1004)), euro(1, 26));  // 1,255 half up

    const Aliquote* iva = trovaAliquote(c, QStringLiteral("iva-lavori"));
    ASSERT_NE(iva, nullptr);
    ASSERT_EQ(iva->scelte.size(), 1);
    EXPECT_EQ(iva->scelte[0].percentuale, 4000);
    EXPECT_EQ(iva->origine, percorso);

    // The catalog of the program reads the same file, once.
    const CatalogoTabelle& programma = catalogoTabelle();
    EXPECT_EQ(programma.tabelle.size(), c.tabelle.size());
    EXPECT_EQ(&catalogoTabelle(), &programma);
}

TEST(Tabelle, UnFileDellUtenteGuastoLasciaLeTabelleInstallateENominaFileEChiave) {
    QTemporaryDir cartella;
    ASSERT_TRUE(cartella.isValid());
    const QString percorso = cartella.filePath(QStringLiteral("tabelle.json"));
    const CatalogoTabelle shipped = installato();

    // A table entry around one band; `nome` and the key named in the message.
    const auto tabella = [](const char* nome, const QByteArray& campi, const QByteArray& bande) {
        return QByteArray(R"({"nome": ")") + nome +
               R"(", "titolo": "T", "base": "b", "fonte": "f", )" + campi + R"(, "scaglioni": [)" +
               bande + "]}";
    };
    const QByteArray banda = R"({"da": "0.00", "importo": "1.00"})";
    struct Guasto {
        QByteArray dati;
        QString nome;    // the table named in the message, if any
        QString chiave;  // the key named in the message, if any
    };
    const QList<Guasto> guasti{
        {R"({"formato": "varimo-tabelle", "versione": 1, "tabelle": [)", {}, {}},
        {R"({"formato": "altro", "versione": 1})", {}, {}},
        {R"({"formato": "varimo-tabelle", "versione": 2})", {}, {}},
        {R"({"formato": "varimo-tabelle", "versione": 1, "tabelle": {}})", {}, "tabelle"},
        {fileTabelle(tabella("a", R"("dal": "2025-13-01")", banda)), "a", "dal"},
        {fileTabelle(tabella("b", R"("dal": "2025-06-01", "al": "2025-05-31")", banda)), "b", "al"},
        {fileTabelle(tabella("c", R"("dal": "2025-01-01")", {})), "c", "scaglioni"},
        {fileTabelle(tabella("d", R"("dal": "2025-01-01")",
                             R"({"da": "0", "importo": "1", "percentuale": "1"})")),
         "d", "importo"},
        {fileTabelle(
             tabella("e", R"("dal": "2025-01-01")", R"({"da": "0", "percentuale": "150"})")),
         "e", "percentuale"},
        {fileTabelle(tabella("f", R"("dal": "2025-01-01")", R"({"da": "-1.00", "importo": "1"})")),
         "f", "da"},
        {fileTabelle(
             tabella("g", R"("dal": "2025-01-01")", banda + R"(, {"da": "0.00", "importo": "2"})")),
         "g", "da"},
        {fileTabelle(R"({"nome": "h", "titolo": "T", "base": "b", "dal": "2025-01-01",
                         "scaglioni": [{"da": "0", "importo": "1"}]})"),
         "h", "fonte"},
        {fileTabelle(tabella("i", R"("dal": "2025-01-01", "al": "2025-12-31")", banda) + "," +
                     tabella("i", R"("dal": "2025-12-31")", banda)),
         "i",
         {}},
        {fileTabelle({}, R"(, "aliquote": [{"nome": "l", "titolo": "T",
                              "scelte": [{"percentuale": "abc", "titolo": "x"}]}])"),
         "l", "percentuale"},
    };
    for (const Guasto& g : guasti) {
        scrivi(percorso, g.dati);
        const CatalogoTabelle c = caricaCatalogo(percorso);
        const QString dove = QString::fromUtf8(g.dati);
        EXPECT_EQ(c.tabelle.size(), shipped.tabelle.size()) << dove.toStdString();
        EXPECT_EQ(c.aliquote.size(), shipped.aliquote.size()) << dove.toStdString();
        for (const TabellaScaglioni& t : c.tabelle) EXPECT_TRUE(t.origine.isEmpty());
        ASSERT_EQ(c.avvisi.size(), 1) << dove.toStdString();
        const QString& avviso = c.avvisi.first();
        EXPECT_TRUE(avviso.contains(percorso)) << avviso.toStdString();
        if (!g.nome.isEmpty()) {
            EXPECT_TRUE(avviso.contains(u'«' + g.nome + u'»')) << avviso.toStdString();
        }
        if (!g.chiave.isEmpty()) {
            EXPECT_TRUE(avviso.contains(u'«' + g.chiave + u'»')) << avviso.toStdString();
        }
    }

    // A folder in place of the file, and a file that is not there: the
    // latter is a fault only when the user named it.
    EXPECT_EQ(caricaCatalogo(cartella.path()).avvisi.size(), 1);
    const QString assente = cartella.filePath(QStringLiteral("assente.json"));
    EXPECT_TRUE(caricaCatalogo(assente).avvisi.isEmpty());
    EXPECT_EQ(caricaCatalogo(assente, true).avvisi.size(), 1);
}

}  // namespace
}  // namespace varimo::quadro
