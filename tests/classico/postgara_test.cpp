// The framework after the tender, computed from a real calculation state:
// the worked examples checked by hand, the limits of the discount, the marks,
// and properties over random projects and discounts.

#include "classico/postgara.h"

#include <gtest/gtest.h>

#include <random>

#include "common/importi.h"
#include "common/numeri.h"
#include "common/testiprogramma.h"
#include "support/interazione_finta.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

using namespace varimo;

namespace {

constexpr int A = 1, B = 2, C = 3, D = 4, G = 7, M = 11, S = 17, T = 18;
using Esito = LetturaRibasso::Esito;

class DopoGara : public ::testing::Test {
  protected:
    void SetUp() override { calcolo.preparaFinestra(); }
    void percentuale(int riga, int rif, int p) {
        calcolo.scegliRiferimento(riga, rif - 1);
        calcolo.scriviScorrimento(riga, p);
    }
    // A 335.498,23, C 19.535,61, S = 10 % of D.
    void esempio() {
        calcolo.scriviCosto(A, QStringLiteral("335498,23"));
        calcolo.scriviCosto(C, QStringLiteral("19535,61"));
        percentuale(S, D, 10);
        ASSERT_EQ(calcolo.costo(D), "355033,84");
        ASSERT_EQ(calcolo.costo(S), "35503,38");
        ASSERT_EQ(calcolo.progetto(), "390537,22");
    }
    QuadroDopoGara calcola(const QString& ribasso) {
        stato.caricaProgetto(progettoDa(calcolo));
        stato.scriviRibasso(ribasso);
        EXPECT_TRUE(stato.quadro().has_value()) << stato.avviso().toStdString();
        return stato.quadro().value_or(QuadroDopoGara{});
    }

    test::InterazioneFinta utente;
    StatoCalcolo calcolo;
    StatoPostGara stato;
};

// Worked by hand: A' = 335.498,23 x 0,76544 = 256.803,7685... -> 256.803,77;
// D' = 256.803,77 + 19.535,61 = 276.339,38 (contract amount); the discount on
// the works is 335.498,23 - 256.803,77 = 78.694,46; VAT after the tender
// 10 % of 276.339,38 = 27.633,938 -> 27.633,94; economies 390.537,22 -
// 276.339,38 - 27.633,94 = 86.563,90 (= 78.694,46 + the VAT saved 7.869,44).
TEST_F(DopoGara, EsempioSvoltoAlCentesimo) {
    esempio();
    const QuadroDopoGara q = calcola(QStringLiteral("23,456"));
    EXPECT_EQ(q.dopo[A], 25680377);
    EXPECT_EQ(q.dopo[C], 1953561);
    EXPECT_EQ(q.contratto, 27633938);
    EXPECT_EQ(q.dopo[D], 27633938);
    EXPECT_EQ(q.ribassoLavori, 7869446);
    EXPECT_EQ(q.dopo[S], 2763394);
    EXPECT_EQ(q.economie, 8656390);
    EXPECT_EQ(q.dopo[T], 2763394 + 8656390);
    EXPECT_EQ(q.totalePrima, 39053722);
    EXPECT_EQ(q.totaleDopo, 39053722);
    EXPECT_EQ(q.differenza(S), -786944);
    EXPECT_TRUE(stato.segue(S)) << "VAT on D follows the discount by default";

    const QList<Dichiarazione> d = dichiarazioni(q);
    ASSERT_EQ(d.size(), 3);
    EXPECT_EQ(d[0].testo(QStringLiteral("euro")),
              "Importo contrattuale: euro 276.339,38 "
              "(euro duecentosettantaseimilatrecentotrentanove/38)");
    EXPECT_EQ(d[1].testo(QStringLiteral("euro")),
              "Ribasso d'asta sui lavori: euro 78.694,46 "
              "(euro settantottomilaseicentonovantaquattro/46)");
    EXPECT_EQ(d[2].testo(QStringLiteral("euro")),
              "Economie da ribasso d'asta: euro 86.563,90 "
              "(euro ottantaseimilacinquecentosessantatré/90)");
    EXPECT_EQ(rigaRibasso(stato.lettura().millesimi), "Ribasso d'asta: 23,456 %");

    // Reading the project never changed it.
    EXPECT_EQ(calcolo.costo(A), "335498,23");
    EXPECT_EQ(calcolo.costo(S), "35503,38");
    EXPECT_EQ(calcolo.progetto(), "390537,22");
}

// 0 % gives back the project; 100 % leaves only the safety charges and their
// VAT: D' = 19.535,61, S' = 1.953,561 -> 1.953,56, economies 390.537,22 -
// 19.535,61 - 1.953,56 = 369.048,05.
TEST_F(DopoGara, SenzaRibassoTornaIlProgettoIlRibassoPienoLasciaLaSicurezzaELaSuaIva) {
    esempio();
    QuadroDopoGara q = calcola(QStringLiteral("0"));
    for (int i = 1; i <= 18; ++i) EXPECT_EQ(q.dopo[i], q.prima[i]) << i;
    EXPECT_EQ(q.economie, 0);
    EXPECT_EQ(q.ribassoLavori, 0);

    q = calcola(QStringLiteral("100"));
    EXPECT_EQ(q.dopo[A], 0);
    EXPECT_EQ(q.contratto, 1953561);
    EXPECT_EQ(q.dopo[S], 195356);
    EXPECT_EQ(q.economie, 36904805);
    EXPECT_EQ(q.ribassoLavori, 33549823);
}

TEST_F(DopoGara, LeSpunteDecidonoQualiRigheAPercentualeSeguonoIlRibasso) {
    esempio();
    calcolo.scriviCosto(B, QStringLiteral("10000"));
    percentuale(G, A, 5);  // contingencies on A: the designer decides
    percentuale(M, D, 8);  // technical fees on D: follow by default
    stato.caricaProgetto(progettoDa(calcolo));
    EXPECT_FALSE(stato.segue(G));
    EXPECT_TRUE(stato.segue(M));
    EXPECT_FALSE(stato.puoSeguire(5)) << "a row that is no percentage cannot follow";
    stato.scriviSegue(5, true);
    EXPECT_FALSE(stato.segue(5));

    stato.scriviRibasso(QStringLiteral("10"));
    ASSERT_TRUE(stato.quadro());
    QuadroDopoGara q = *stato.quadro();
    const qint64 a = 30194841;  // 335.498,23 x 0,9 = 301.948,407 -> 301.948,41
    EXPECT_EQ(q.dopo[A], a);
    EXPECT_EQ(q.dopo[B], 900000);
    EXPECT_EQ(q.dopo[G], q.prima[G]) << "unmarked: keeps its project amount";
    const qint64 d = a + 900000 + 1953561;
    EXPECT_EQ(q.dopo[M], (d * 8 + 50) / 100);
    EXPECT_EQ(q.totaleDopo, q.totalePrima);

    stato.scriviSegue(G, true);
    q = *stato.quadro();
    EXPECT_EQ(q.dopo[G], (a * 5 + 50) / 100);
    stato.scriviSegue(M, false);
    q = *stato.quadro();
    EXPECT_EQ(q.dopo[M], q.prima[M]);

    // The user's marks survive a new reading of an unchanged project; a row
    // whose reference changes starts again from its default.
    stato.caricaProgetto(progettoDa(calcolo));
    EXPECT_TRUE(stato.segue(G));
    EXPECT_FALSE(stato.segue(M));
    percentuale(G, D, 5);
    stato.caricaProgetto(progettoDa(calcolo));
    EXPECT_TRUE(stato.segue(G));
    percentuale(M, A, 8);
    stato.caricaProgetto(progettoDa(calcolo));
    EXPECT_FALSE(stato.segue(M));
}

// O = 4 % of M follows the discount when M does, and with it when the user
// changes M's mark; the incentives for technical functions, computed on the
// tender base amount, do not follow by default although their reference is D.
TEST_F(DopoGara, ICollegamentiSeguonoEGliIncentiviRestanoFermi) {
    constexpr int N = 12, O = 13;
    esempio();
    percentuale(M, D, 9);
    percentuale(O, M, 4);
    calcolo.scriviTipo(N, QStringLiteral("Incentivi per funzioni tecniche (art. 45)"));
    percentuale(N, D, 2);
    stato.caricaProgetto(progettoDa(calcolo));
    EXPECT_TRUE(stato.segue(M));
    EXPECT_TRUE(stato.segue(O));
    EXPECT_FALSE(stato.segue(N));
    stato.scriviRibasso(QStringLiteral("10"));
    ASSERT_TRUE(stato.quadro());
    const QuadroDopoGara q = *stato.quadro();
    EXPECT_EQ(q.dopo[O], (q.dopo[M] * 4 + 50) / 100);
    EXPECT_EQ(q.dopo[N], q.prima[N]);
    EXPECT_EQ(q.totaleDopo, q.totalePrima);

    stato.scriviSegue(M, false);
    EXPECT_FALSE(stato.segue(O));
    EXPECT_EQ(stato.quadro()->dopo[O], stato.quadro()->prima[O]);
    // A mark the user sets himself stays his.
    stato.scriviSegue(O, true);
    stato.scriviSegue(M, true);
    stato.scriviSegue(M, false);
    EXPECT_TRUE(stato.segue(O));
}

TEST_F(DopoGara, UnRibassoFuoriIntervalloOIlleggibileNonCalcolaNulla) {
    esempio();
    stato.caricaProgetto(progettoDa(calcolo));
    EXPECT_FALSE(stato.quadro());
    EXPECT_FALSE(stato.ribassoSegnalato()) << "an empty box is not an error";
    for (const char* t : {"100,001", "-1", "150", "abc", "23,4567", "1e2", ",", "%", "23,4.5"}) {
        stato.scriviRibasso(QString::fromLatin1(t));
        EXPECT_FALSE(stato.quadro()) << t;
        EXPECT_TRUE(stato.ribassoSegnalato()) << t;
        EXPECT_FALSE(stato.avviso().isEmpty()) << t;
    }
    stato.scriviRibasso(QStringLiteral("23,456"));
    EXPECT_TRUE(stato.quadro());
    EXPECT_FALSE(stato.ribassoSegnalato());
}

TEST(LetturaRibasso, FormeAccettateERifiutate) {
    const struct {
        const char* testo;
        Esito esito;
        qint64 millesimi;
    } casi[] = {
        {"23,456", Esito::Valido, 23456},
        {"23.456", Esito::Valido, 23456},
        {" 12,5 % ", Esito::Valido, 12500},
        {"0", Esito::Valido, 0},
        {"100", Esito::Valido, 100000},
        {"100,000", Esito::Valido, 100000},
        {",5", Esito::Valido, 500},
        {"7,", Esito::Valido, 7000},
        {"23,4560", Esito::Valido, 23456},
        {"-0", Esito::Valido, 0},
        {"", Esito::Vuoto, 0},
        {"   ", Esito::Vuoto, 0},
        {"100,001", Esito::FuoriIntervallo, 0},
        {"-0,001", Esito::FuoriIntervallo, 0},
        {"99999999999999999999", Esito::FuoriIntervallo, 0},
        {"23,4567", Esito::NonLeggibile, 0},
        {"1.000", Esito::Valido, 1000},
        {"2 3", Esito::NonLeggibile, 0},
        {"23%5", Esito::NonLeggibile, 0},
    };
    for (const auto& c : casi) {
        const LetturaRibasso l = leggiRibasso(QString::fromLatin1(c.testo));
        EXPECT_EQ(l.esito, c.esito) << c.testo;
        EXPECT_EQ(l.millesimi, c.millesimi) << c.testo;
    }
    // Every discount the box can hold reads back from the way it is written.
    for (qint64 m = 0; m <= 100000; ++m) {
        const LetturaRibasso l = leggiRibasso(scriviRibasso(m));
        ASSERT_EQ(l.esito, Esito::Valido) << m;
        ASSERT_EQ(l.millesimi, m);
    }
}

// Exact half cents round up, also where binary floating point would not.
TEST(RibassoLavori, IMezziCentesimiSiArrotondanoEsattamenteAllInsu) {
    ProgettoGara p;
    std::array<bool, 19> nessuno{};
    const struct {
        const char* a;
        qint64 ribasso;
        qint64 atteso;
    } casi[] = {
        {"0,01", 50000, 1},
        {"0,03", 50000, 2},
        {"0,05", 10000, 5},
        {"0,15", 10000, 14},                         // 13,5 -> 14
        {"999999999999,99", 50000, 50000000000000},  // 49.999.999.999.999,5
        {"-0,03", 50000, -1},                        // -1,5 -> -1 (half up)
        {"1,1", 1, 110},                             // 109,9989 -> 110
    };
    for (const auto& c : casi) {
        p.voci[A].costo = QString::fromLatin1(c.a);
        p.progetto = p.voci[A].costo;
        const auto e = calcolaDopoGara(p, c.ribasso, nessuno);
        ASSERT_TRUE(std::holds_alternative<QuadroDopoGara>(e)) << c.a;
        EXPECT_EQ(std::get<QuadroDopoGara>(e).dopo[A], c.atteso) << c.a;
    }
    p.voci[C].costo = QStringLiteral("12x");
    const auto e = calcolaDopoGara(p, 0, nessuno);
    ASSERT_TRUE(std::holds_alternative<ErroreDopoGara>(e));
    EXPECT_EQ(std::get<ErroreDopoGara>(e).voce, C);
}

// Random projects built through the calculation window, random marks and
// discounts: the funding never changes, the contract amount is the works net
// of the discount plus the safety charges, the works follow the discount to
// the half cent, nothing grows, and no discount gives back the project.
TEST_F(DopoGara, ProprietaSuProgettiCasuali) {
    std::mt19937 rng(19);
    auto tra = [&rng](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };
    for (int prova = 0; prova < 60; ++prova) {
        SCOPED_TRACE(prova);
        calcolo.cancellaTutto();
        bool suT = false;  // one row at most on T, which holds the row itself
        for (int i : {A, B, C, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}) {
            if (tra(0, 2) == 0) continue;
            if (i != A && tra(0, 2) == 0) {
                // a percentage of an earlier row, of D, or once of T
                if (i > D && !suT && tra(0, 4) == 0) {
                    suT = true;
                    percentuale(i, T, tra(0, 10));
                    continue;
                }
                const int rif = tra(0, 2) == 0 ? D : tra(1, i - 1);
                percentuale(i, rif, tra(0, 30));
            } else {
                calcolo.scriviCosto(i, QString::number(tra(0, 5000000)) + QLatin1Char(',') +
                                           QString::number(tra(10, 99)));
            }
        }
        ASSERT_EQ(calcolo.interruzioni(), 0);
        stato.caricaProgetto(progettoDa(calcolo));
        for (int i = 5; i <= 17; ++i) stato.scriviSegue(i, tra(0, 1) == 1);

        stato.scriviRibasso(QStringLiteral("0"));
        ASSERT_TRUE(stato.quadro()) << stato.avviso().toStdString();
        const QuadroDopoGara zero = *stato.quadro();
        for (int i = 1; i <= 18; ++i) EXPECT_EQ(zero.dopo[i], zero.prima[i]) << i;
        EXPECT_EQ(zero.economie, 0);

        const qint64 r = tra(0, 100000);
        stato.scriviRibasso(scriviRibasso(r));
        ASSERT_TRUE(stato.quadro());
        const QuadroDopoGara q = *stato.quadro();
        EXPECT_EQ(q.totaleDopo, q.totalePrima);
        EXPECT_EQ(q.contratto, q.dopo[A] + q.dopo[B] + q.dopo[C]);
        EXPECT_EQ(q.dopo[C], q.prima[C]);
        EXPECT_EQ(q.ribassoLavori, q.prima[A] + q.prima[B] - q.dopo[A] - q.dopo[B]);
        for (int i : {A, B}) {
            // |A' - A (1 - r)| <= 1/2 cent, in exact integers (x 2 x 100000)
            const qint64 esatto = q.prima[i] * (100000 - r);
            EXPECT_LE(std::llabs(2 * (q.dopo[i] * 100000 - esatto)), 100000) << i;
        }
        qint64 somme = 0;
        for (int i = 5; i <= 17; ++i) {
            EXPECT_LE(q.dopo[i], q.prima[i]) << i;
            if (!stato.segue(i)) {
                EXPECT_EQ(q.dopo[i], q.prima[i]) << i;
            }
            somme += q.dopo[i];
        }
        EXPECT_EQ(q.dopo[T], somme + q.economie);
        EXPECT_GE(q.economie, 0);
        EXPECT_EQ(q.economie, q.totalePrima - q.contratto - somme);
    }
}

TEST(InLettere, INumeriInParoleItaliane) {
    const struct {
        qint64 n;
        const char* parole;
    } casi[] = {
        {0, "zero"},
        {1, "uno"},
        {3, "tre"},
        {11, "undici"},
        {17, "diciassette"},
        {21, "ventuno"},
        {23, "ventitré"},
        {28, "ventotto"},
        {88, "ottantotto"},
        {100, "cento"},
        {101, "centouno"},
        {108, "centotto"},
        {180, "centottanta"},
        {203, "duecentotré"},
        {999, "novecentonovantanove"},
        {1000, "mille"},
        {1003, "milletré"},
        {2000, "duemila"},
        {21000, "ventunmila"},
        {23000, "ventitremila"},
        {100000, "centomila"},
        {1000000, "unmilione"},
        {2500000, "duemilionicinquecentomila"},
        {1000000000, "unmiliardo"},
        {3000000001LL, "tremiliardiuno"},
        {-45, "meno quarantacinque"},
    };
    for (const auto& c : casi) EXPECT_EQ(numeroInLettere(c.n), QString::fromUtf8(c.parole)) << c.n;
    EXPECT_EQ(importoInLettere(8656390), "ottantaseimilacinquecentosessantatré/90");
    EXPECT_EQ(importoInLettere(5), "zero/05");
    EXPECT_EQ(importoInLettere(-150), "meno uno/50");
}

// Cents in figures agree with the display format of amount texts.
TEST(InCifre, ConcordaConIlFormatoDegliImporti) {
    std::mt19937_64 rng(7);
    for (int k = 0; k < 20000; ++k) {
        const qint64 c = static_cast<qint64>(rng() % 200000000000000ULL) - 100000000000000LL;
        const QString testo = scritturaNumerica(static_cast<double>(c) / 100);
        ASSERT_EQ(formatoCentesimi(c), formatoImporto(testo)) << c;
    }
    EXPECT_EQ(formatoCentesimi(0), "0,00");
    EXPECT_EQ(formatoCentesimi(-5), "-0,05");
}

}  // namespace
