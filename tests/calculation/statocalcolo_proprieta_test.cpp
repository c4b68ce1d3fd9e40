#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>

#include "calculation/statocalcolo.h"
#include "common/numeri.h"
#include "common/testiprogramma.h"
#include "support/generatore_calcolo.h"
#include "support/interazione_finta.h"

using namespace varimo;

namespace {

using test::Generatore;

// Random edit sequences, as a user might make them: amounts (boxes emptied by
// hand among them), references, scroll bars, constrained totals, row deletes,
// label edits, the clear and the constraint switch. After every edit no pass
// is left running, the bounds hold, at most one bound message was shown, the
// sums agree with what the boxes show, every row keeps the reference the user
// chose (label edits included) and, until a bound stops an edit, every
// percentage row holds its percentage of its reference, to the cent.
double cent(const StatoCalcolo& s, int i) {
    const QString t = s.costo(i);
    if (t.isEmpty()) return 0;
    const auto c = letturaCentesimi(t);
    EXPECT_TRUE(c.has_value()) << "row " << i << " holds " << t.toStdString();
    return c.value_or(0);
}

TEST(CalcoloProprieta, SequenzeCasualiDiModifiche) {
    constexpr int kSequenze = 2000;
    constexpr int kPassi = 25;
    test::InterazioneFinta finta;
    long interrotte = 0;
    for (int n = 0; n < kSequenze; ++n) {
        StatoCalcolo s;
        s.preparaFinestra();
        Generatore g(static_cast<unsigned>(n) * 7919u + 1u);
        QStringList storia{QStringLiteral("seme %1").arg(n)};
        std::array<int, kVoci + 1> scelta;  // the reference the user chose, -1 none
        scelta.fill(-1);
        for (int k = 0; k < kPassi; ++k) {
            finta.messaggi.clear();
            const int r = g.rigaLibera();
            const int rp = g.rigaPercentuale();
            switch (g.tra(0, 11)) {
                case 0:
                case 1:
                case 2:
                    s.scriviCosto(r, g.importo());
                    storia << QStringLiteral("costo %1").arg(r);
                    break;
                case 3:
                case 4:
                    scelta[rp] = g.tra(0, 17);
                    s.scegliRiferimento(rp, scelta[rp]);
                    storia << QStringLiteral("combo %1").arg(rp);
                    break;
                case 5:
                case 6:
                    if (g.tra(0, 60) == 0) {
                        // A row made the whole of T, which sums it: a cycle
                        // that grows without end unless T holds nothing else.
                        scelta[rp] = kVoci - 1;
                        s.scegliRiferimento(rp, scelta[rp]);
                        s.scriviScorrimento(rp, 100);
                        storia << QStringLiteral("ciclo %1").arg(rp);
                        break;
                    }
                    s.scriviScorrimento(rp, g.tra(0, 3) == 0 ? g.tra(0, 100) : g.tra(0, 30));
                    storia << QStringLiteral("scroll %1").arg(rp);
                    break;
                case 7:
                    s.scriviCostoprogetto(QString::number(g.tra(1, 3000000)));
                    storia << QStringLiteral("vincolo");
                    break;
                case 8:
                    s.cancellaRiga(r);
                    scelta[r] = -1;
                    storia << QStringLiteral("delriga %1").arg(r);
                    break;
                case 9:
                    if (g.tra(0, 1) == 0) {
                        s.scriviTipo(r, QString(g.tra(1, 60), QLatin1Char('a' + g.tra(0, 25))));
                    } else {
                        s.scriviTestoRiferimento(rp, QStringLiteral("x"));
                        scelta[rp] = -1;
                    }
                    storia << QStringLiteral("etichetta %1").arg(r);
                    break;
                case 10:
                    if (g.tra(0, 3) == 0) {
                        s.cancellaTutto();
                        scelta.fill(-1);
                        storia << QStringLiteral("cancella");
                    } else {
                        s.spegniVincolo();
                        storia << QStringLiteral("annulla");
                    }
                    break;
                default:
                    s.scriviCostoprogetto(s.progetto());  // the hand-off
                    storia << QStringLiteral("visualizza");
                    break;
            }
            SCOPED_TRACE(storia.join(QStringLiteral(", ")).toStdString());
            ASSERT_EQ(s.profondita(), 0);
            ASSERT_LE(s.profonditaMassima(), kProfonditaMassima);
            int avvisi = 0;
            for (const auto& m : finta.messaggi) avvisi += m.icona == Icona::Esclamazione ? 1 : 0;
            ASSERT_LE(avvisi, 1);
            const double d = cent(s, 1) + cent(s, 2) + cent(s, 3);
            double t = 0;
            for (int i = 5; i <= 17; ++i) t += cent(s, i);
            QString stato;
            for (int i = 1; i <= kVoci; ++i) {
                stato += QStringLiteral("%1=%2/%3[%4] ")
                             .arg(letteraVoce(i))
                             .arg(s.costo(i))
                             .arg(s.centesimi[i])
                             .arg(s.riferimento(i).posizione);
            }
            SCOPED_TRACE(stato.toStdString());
            // Sums are exact to the cent up to 1E15 cents; beyond (percentage
            // cycles grow amounts without bound) they are written with fifteen
            // significant digits.
            const auto somma = [](double c, double atteso) {
                return std::fabs(atteso) < 1e15
                           ? c == atteso
                           : std::fabs(c - atteso) <= 1e-14 * std::fabs(atteso);
            };
            ASSERT_PRED2(somma, cent(s, 4), d);
            ASSERT_PRED2(somma, cent(s, 18), t);
            if (!s.progetto().isEmpty()) {
                ASSERT_PRED2(somma, letturaCentesimi(s.progetto()).value_or(-1), d + t)
                    << s.costo(4).toStdString() << " " << s.costo(18).toStdString() << " "
                    << s.progetto().toStdString() << " " << s.costoprogetto().toStdString();
            }
            for (int i = 1; i <= kVoci; ++i) {
                ASSERT_EQ(s.riferimento(i).posizione, scelta[i]) << "row " << i;
                if (scelta[i] < 0) continue;
                const int rif = scelta[i] + 1;
                ASSERT_EQ(s.riferimento(i).testo, s.tipo(rif)) << "row " << i;
                // A bound leaves the texts as they stood when it stopped.
                if (s.interruzioni() > 0) continue;
                const QString x = s.costo(rif);
                const auto v = letturaRigorosa(x);
                const double p = s.percentuale(i).toDouble();
                const QString atteso =
                    !v || *v == 0
                        ? QStringLiteral("0")
                        : scritturaNumerica(std::floor(p / 100 * *letturaCentesimi(x) + 0.5) / 100);
                ASSERT_EQ(s.costo(i), atteso) << "row " << i << " = " << p << " % of row " << rif;
            }
        }
        interrotte += s.interruzioni();
    }
    // The sequences do reach the bounds now and then (percentage cycles).
    EXPECT_GT(interrotte, 0);
    std::printf("operations stopped at a bound: %ld\n", interrotte);
}

}  // namespace
