// The background colour command of the two main windows.

#include <gtest/gtest.h>

#include "reports/colore.h"
#include "support/interazione_finta.h"

namespace varimo {
namespace {

constexpr quint32 kBianco = 0xFFFFFF;
constexpr quint32 kRosso = 0xFF0000;

struct CasoColore {
    const char* nome;
    quint32 attuale;
    std::optional<Risposta> risposta;               // nothing: the question must not come
    std::optional<std::optional<quint32>> dialogo;  // nothing: the dialog must not open
    std::optional<quint32> questa;
    std::optional<quint32> altra;
};

void PrintTo(const CasoColore& c, std::ostream* os) {
    *os << c.nome;
}

class Colore : public ::testing::TestWithParam<CasoColore> {};

TEST_P(Colore, DecideIColoriDiEntrambeLeFinestre) {
    const CasoColore& c = GetParam();
    test::InterazioneFinta utente;
    if (c.risposta) utente.rispondi(*c.risposta);
    if (c.dialogo) utente.scegliColore(*c.dialogo);

    const ColoriSfondo esito = colorare(c.attuale);

    if (c.risposta) {
        ASSERT_EQ(utente.messaggi.size(), 1);
        const Messaggio& m = utente.messaggi[0];
        EXPECT_EQ(m.testo, "Desideri un colore riposante (grigio)?");
        EXPECT_EQ(m.titolo, "Varimo: colore di sfondo");
        EXPECT_EQ(m.icona, Icona::Nessuna);
        EXPECT_EQ(m.pulsanti, Pulsanti::SiNo);
    } else {
        EXPECT_TRUE(utente.messaggi.isEmpty());
    }
    if (c.dialogo) {
        // The dialog opens on the window's own colour.
        EXPECT_EQ(utente.richiesteColore, QList<quint32>{c.attuale});
    } else {
        EXPECT_TRUE(utente.richiesteColore.isEmpty());
    }
    EXPECT_EQ(esito.questa, c.questa);
    EXPECT_EQ(esito.altra, c.altra);
}

INSTANTIATE_TEST_SUITE_P(
    Percorsi, Colore,
    ::testing::Values(CasoColore{"SiGrigioPerEntrambe", kBianco, Risposta::Si, std::nullopt,
                                 kGrigioRiposante, kGrigioRiposante},
                      CasoColore{"NoEColoreSoloQuesta", kBianco, Risposta::No,
                                 std::optional<quint32>(kRosso), kRosso, std::nullopt},
                      CasoColore{"NoEAnnullaNienteCambia", kBianco, Risposta::No,
                                 std::optional<quint32>(std::nullopt), std::nullopt, std::nullopt},
                      CasoColore{"GiaGrigioDirettoAlDialogo", kGrigioRiposante, std::nullopt,
                                 std::optional<quint32>(kRosso), kRosso, std::nullopt},
                      CasoColore{"GiaGrigioAnnulla", kGrigioRiposante, std::nullopt,
                                 std::optional<quint32>(std::nullopt), std::nullopt, std::nullopt},
                      CasoColore{"RossoChiedeDiNuovo", kRosso, Risposta::Si, std::nullopt,
                                 kGrigioRiposante, kGrigioRiposante}),
    [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
}  // namespace varimo
