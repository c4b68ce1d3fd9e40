#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "calculation/ricalcolo.h"
#include "common/numeri.h"
#include "support/generatore_calcolo.h"

using namespace varimo;

namespace {

// Random operations on the function alone, with readable amounts: after every
// one, the boxes written end on the result; and a framework the operation left
// settled (no message, no constraint pending) is a fixed point: recalculating
// it again writes no box, so the figures stay put however often it runs.
TEST(Ricalcolo, IlRisultatoSiRileggeEResta) {
    constexpr int kSequenze = 400;
    constexpr int kPassi = 25;
    long fermi = 0;
    for (int n = 0; n < kSequenze; ++n) {
        test::Generatore g(static_cast<unsigned>(n) * 7727u + 3u);
        // An empty framework once recalculated: D, T and the total read 0.
        DatiCalcolo d = ricalcola(DatiCalcolo{}, Modifica{}).dati;
        QStringList storia{QStringLiteral("seme %1").arg(n)};
        for (int k = 0; k < kPassi; ++k) {
            const int r = g.rigaLibera();
            const int rp = g.rigaPercentuale();
            Modifica m;
            switch (g.tra(0, 6)) {
                case 0:
                case 1:
                    m = Modifica{Modifica::Tipo::Importo, r, g.importo(), 0};
                    break;
                case 2:
                    // References to rows that do not follow: no cycle.
                    d.righe[rp].riferimento = rp < 5 || g.tra(0, 1) == 0 ? 1 : 4;
                    d.righe[rp].testoRiferimento = QStringLiteral("x");
                    m = Modifica{Modifica::Tipo::Riferimento, rp, {}, 0};
                    break;
                case 3:
                    m = Modifica{Modifica::Tipo::Percentuale, rp, {}, g.tra(0, 100)};
                    break;
                case 4:
                    m = Modifica{Modifica::Tipo::Vincolo, 0, QString::number(g.tra(1, 3000000)), 0};
                    break;
                case 5:
                    m = Modifica{Modifica::Tipo::CancellaRiga, r, {}, 0};
                    break;
                default:
                    m = Modifica{Modifica::Tipo::Vincolo, 0, d.totale, 0};
                    break;
            }
            storia << QStringLiteral("%1 %2 '%3' %4")
                          .arg(static_cast<int>(m.tipo))
                          .arg(m.riga)
                          .arg(m.testo)
                          .arg(m.valore);
            SCOPED_TRACE(storia.join(QStringLiteral(", ")).toStdString());
            const RisultatoRicalcolo esito = ricalcola(d, m);
            // The last write of each box is what the result holds.
            std::array<std::optional<QString>, kCasellaVincolo + 1> ultimo;
            for (const Scrittura& w : esito.scritture) ultimo.at(w.casella) = w.testo;
            for (int i = 1; i <= kVoci; ++i) {
                const QString atteso = ultimo[i].value_or(d.righe[i].importo);
                ASSERT_EQ(esito.dati.righe[i].importo, atteso) << "row " << i;
            }
            ASSERT_EQ(esito.dati.totale, ultimo[kCasellaTotale].value_or(d.totale));
            ASSERT_EQ(esito.dati.vincolo, ultimo[kCasellaVincolo].value_or(d.vincolo));
            ASSERT_EQ(esito.esito == EsitoRicalcolo::Ok, esito.messaggio.isEmpty());
            d = esito.dati;
            if (esito.esito != EsitoRicalcolo::Ok || d.stato == StatoVincolo::InAttesa) {
                ++fermi;
                continue;
            }
            const RisultatoRicalcolo ancora =
                ricalcola(d, Modifica{Modifica::Tipo::Ricalcola, 0, {}, 0});
            ASSERT_TRUE(ancora.scritture.empty()) << ancora.scritture.front().casella << " = "
                                                  << ancora.scritture.front().testo.toStdString();
            ASSERT_EQ(ancora.dati, d);
            ASSERT_EQ(ancora.esito, EsitoRicalcolo::Ok);
        }
    }
    // Some operations end on a total no amount of row A reaches.
    EXPECT_GT(fermi, 0);
}

}  // namespace
