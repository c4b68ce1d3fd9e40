// Large amounts in the calculation window: every amount up to the largest
// exact one is carried to the cent, and the sums of large amounts never
// collapse, however large.

#include <gtest/gtest.h>

#include "calculation/comandifile.h"
#include "calculation/progetto.h"
#include "calculation/statocalcolo.h"
#include "common/numeri.h"
#include "common/testiprogramma.h"
#include "support/interazione_finta.h"

#include <QFileInfo>
#include <QTemporaryDir>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace varimo {
namespace {

constexpr int A = 1, B = 2, C = 3, D = 4, E = 5, S = 17, T = 18;

class ImportiGrandi : public ::testing::Test {
  protected:
    void SetUp() override { progetto.avvia(); }

    test::InterazioneFinta finta;
    Progetto progetto;
    StatoCalcolo& s = progetto.calcolo();
};

TEST_F(ImportiGrandi, GliImportiPiuGrandiSiSommanoAlCentesimo) {
    const QString massimo = QStringLiteral("999999999999,99");
    for (int i : {A, B, C}) s.scriviCosto(i, massimo);
    s.scegliRiferimento(S, D - 1);
    s.scriviScorrimento(S, 22);
    EXPECT_EQ(s.costo(D), QStringLiteral("2999999999999,97"));
    // 22 % of 299999999999997 cents, rounded half up.
    EXPECT_EQ(s.costo(S), QStringLiteral("659999999999,99"));
    EXPECT_EQ(s.costo(T), QStringLiteral("659999999999,99"));
    EXPECT_EQ(s.progetto(), QStringLiteral("3659999999999,96"));
}

TEST_F(ImportiGrandi, SommeOltreQuindiciCifreConservanoLaLoroGrandezza) {
    // Thirteen rows at the largest amount: T has sixteen digits and is written
    // with fifteen, and the project total follows it instead of collapsing
    // to the first digit of an exponent form.
    for (int i = E; i < T; ++i) s.scriviCosto(i, QStringLiteral("999999999999,99"));
    EXPECT_EQ(s.costo(T), QStringLiteral("12999999999999,9"));
    EXPECT_EQ(s.progetto(), QStringLiteral("12999999999999,9"));

    // Row B at 1E13 and VAT at 22 % of it: neither is lost.
    StatoCalcolo n;
    n.preparaFinestra();
    n.scriviCosto(A, QStringLiteral("1"));
    n.scriviCosto(B, QStringLiteral("10000000000000"));
    n.scegliRiferimento(S, B - 1);
    n.scriviScorrimento(S, 22);
    EXPECT_EQ(n.costo(S), QStringLiteral("2200000000000"));
    EXPECT_EQ(n.costo(D), QStringLiteral("10000000000001"));
    EXPECT_EQ(n.progetto(), QStringLiteral("12200000000001"));
}

TEST_F(ImportiGrandi, UnImportoOltreLIntervalloEsattoHaUnAvvisoENonSiSalva) {
    progetto.impostaNome(QStringLiteral("Diga"));
    s.scriviCosto(A, QStringLiteral("999999999999,99"));
    s.scegliRiferimento(S, A - 1);
    s.scriviScorrimento(S, 22);
    s.controllaDati();
    ASSERT_EQ(finta.messaggi.size(), 1);
    EXPECT_EQ(finta.messaggi[0].testo, QStringLiteral("I dati sono stati immessi correttamente."));

    s.scriviCosto(B, QStringLiteral("10000000000000"));
    finta.messaggi.clear();
    s.controllaDati();
    ASSERT_EQ(finta.messaggi.size(), 1);
    EXPECT_TRUE(finta.messaggi[0].testo.startsWith(
        QStringLiteral("L'importo della voce B supera 999.999.999.999,99")))
        << finta.messaggi[0].testo.toStdString();
    EXPECT_EQ(finta.messaggi[0].icona, Icona::Esclamazione);

    // Save runs the same check: nothing is written.
    QTemporaryDir dir;
    ComandiFile comandi(progetto);
    finta.messaggi.clear();
    finta.scegliFile(dir.filePath(QStringLiteral("Varimo-dati-diga")));
    comandi.salvaConNome();
    EXPECT_EQ(finta.messaggi.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("Varimo-dati-diga"))));
}

}  // namespace
}  // namespace varimo
