#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>

#include "calculation/fotocalcolo.h"
#include "calculation/numeri.h"
#include "calculation/ricalcolo.h"
#include "calculation/statocalcolo.h"
#include "shell/modvarimo.h"
#include "support/generatore_calcolo.h"
#include "support/interazione_finta.h"

using namespace varimo;

namespace {

// The window's state as the recalculation function reads it.
DatiCalcolo datiDi(const FotoCalcolo& f) {
    DatiCalcolo q;
    for (int i = 1; i <= kVoci; ++i) {
        const FotoRiga& r = f.righe[i];
        q.righe[i] =
            RigaDati{r.costo, r.perc, r.hscroll, r.combo.posizione + 1, r.combo.testo, r.centesimi};
    }
    q.totale = f.progetto;
    q.vincolo = f.costoprogetto;
    q.stato = f.statovincolo;
    q.vincoloUtente = f.vincoloUtente;
    q.vincoloSalvato = f.centesimi20;
    return q;
}

std::string descrivi(const DatiCalcolo& q) {
    QString t;
    for (int i = 1; i <= kVoci; ++i) {
        const RigaDati& r = q.righe[i];
        t += QStringLiteral("%1=%2 (%3 %% of %4 '%5', %6c) ")
                 .arg(letteraVoce(i))
                 .arg(r.importo, r.percentuale)
                 .arg(r.riferimento)
                 .arg(r.testoRiferimento)
                 .arg(r.centesimi, 0, 'g', 17);
    }
    t += QStringLiteral("total=%1 constrained=%2 state=%3 user=%4 kept=%5")
             .arg(q.totale, q.vincolo)
             .arg(static_cast<int>(q.stato))
             .arg(q.vincoloUtente, q.vincoloSalvato);
    return t.toStdString();
}

// Amounts a user types, readable or not, and constrained totals: whole
// numbers, totals written with cents and thousands points, texts that do not
// read, the total the rows already make and totals just around it.
QString importoQualsiasi(test::Generatore& g) {
    switch (g.tra(0, 9)) {
        case 0:
            return QStringLiteral("12x");
        case 1:
            return QStringLiteral("1234.56");
        case 2:
            return QStringLiteral("-") + QString::number(g.tra(1, 5000));
        case 3:
            return QStringLiteral("1E%1").arg(g.tra(10, 20));
        default:
            return g.importo();
    }
}

QString vincoloQualsiasi(test::Generatore& g, const QString& totale) {
    const auto t = letturaRigorosa(totale);
    switch (g.tra(0, 7)) {
        case 0:
            return QStringLiteral("%1.%2,%3")
                .arg(g.tra(1, 999))
                .arg(g.tra(0, 999), 3, 10, QLatin1Char('0'))
                .arg(g.tra(0, 99), 2, 10, QLatin1Char('0'));
        case 1:
            return g.tra(0, 1) == 0 ? QStringLiteral("abc") : QString();
        case 2:
            if (t) return scritturaNumerica(std::trunc(*t) + g.tra(-2, 2));
            [[fallthrough]];
        default:
            return QString::number(g.tra(1, 3000000));
    }
}

// The recalculation function against the window's own handlers: the same
// random operations go to both, and after each one every row (amount,
// percentage, reference, cents), both totals, the state of the constraint,
// the message shown and the counters of passes must be the same.
TEST(RicalcoloConfronto, StessiRisultatiDelleFinestraSuSequenzeCasuali) {
    // VARIMO_SEQUENZE runs a longer comparison.
    const int kSequenze = qEnvironmentVariableIntValue("VARIMO_SEQUENZE") > 0
                              ? qEnvironmentVariableIntValue("VARIMO_SEQUENZE")
                              : 2000;
    constexpr int kPassi = 30;
    test::InterazioneFinta finta;
    long operazioni = 0;
    long interrotte = 0;
    long irraggiungibili = 0;
    for (int n = 0; n < kSequenze; ++n) {
        ModVarimo::azzera();
        StatoCalcolo s;
        s.formLoad();
        test::Generatore g(static_cast<unsigned>(n) * 104729u + 17u);
        std::array<QString, kVoci + 1> etichette;
        for (int i = 1; i <= kVoci; ++i) etichette[i] = s.tipo(i);
        DatiCalcolo q = datiDi(s.foto());
        QStringList storia{QStringLiteral("seed %1").arg(n)};
        for (int k = 0; k < kPassi; ++k) {
            finta.messaggi.clear();
            s.azzeraContatori();
            const DatiCalcolo prima = q;
            const int r = g.rigaLibera();
            const int rp = g.rigaPercentuale();
            Modifica m;
            bool nulla = false;  // the operation runs no recalculation
            // A reference chosen or typed: the function sees the new reference.
            const auto riferimento = [&](int riga, int voce, const QString& testo) {
                RigaDati& rq = q.righe[riga];
                if (rq.riferimento == voce && rq.testoRiferimento == testo) {
                    nulla = true;
                    return;
                }
                rq.riferimento = voce;
                rq.testoRiferimento = testo;
                m = Modifica{Modifica::Tipo::Riferimento, riga, {}, 0};
            };
            switch (g.tra(0, 16)) {
                case 0:
                case 1:
                case 2: {
                    const QString t = importoQualsiasi(g);
                    s.scriviCosto(r, t);
                    m = Modifica{Modifica::Tipo::Importo, r, t, 0};
                    storia << QStringLiteral("amount %1 '%2'").arg(r).arg(t);
                    break;
                }
                case 3:
                case 4: {
                    // Chains and cycles come from references to any row.
                    const int voce = g.tra(0, 17);
                    s.scegliCombo(rp, voce);
                    riferimento(rp, voce + 1, etichette[voce + 1]);
                    storia << QStringLiteral("reference %1 -> %2").arg(rp).arg(voce + 1);
                    break;
                }
                case 5:
                case 6: {
                    const int v = g.tra(0, 4) == 0   ? 100
                                  : g.tra(0, 3) == 0 ? g.tra(0, 120)
                                                     : g.tra(0, 30);
                    s.scriviHScroll(rp, v);
                    m = Modifica{Modifica::Tipo::Percentuale, rp, {}, v};
                    storia << QStringLiteral("percentage %1 = %2").arg(rp).arg(v);
                    break;
                }
                case 7:
                case 8: {
                    const QString t = vincoloQualsiasi(g, s.progetto());
                    s.scriviCostoprogetto(t);
                    m = Modifica{Modifica::Tipo::Vincolo, 0, t, 0};
                    storia << QStringLiteral("constrained '%1'").arg(t);
                    break;
                }
                case 9:
                    s.cancellaRiga(r);
                    m = Modifica{Modifica::Tipo::CancellaRiga, r, {}, 0};
                    storia << QStringLiteral("delete %1").arg(r);
                    break;
                case 10:
                    if (g.tra(0, 1) == 0) {
                        // A label: the reference boxes that show it follow;
                        // nothing is recalculated.
                        const QString t(g.tra(1, 60), QLatin1Char('a' + g.tra(0, 25)));
                        s.scriviTipo(r, t);
                        etichette[r] = t;
                        for (int i = 1; i <= kVoci; ++i) {
                            if (q.righe[i].riferimento == r) q.righe[i].testoRiferimento = t;
                        }
                        nulla = true;
                        storia << QStringLiteral("label %1").arg(r);
                    } else {
                        s.scriviTestoCombo(rp, QStringLiteral("x"));
                        riferimento(rp, 0, QStringLiteral("x"));
                        storia << QStringLiteral("reference text %1").arg(rp);
                    }
                    break;
                case 11:
                    if (g.tra(0, 3) == 0) {
                        s.cancellaTutto();
                        m = Modifica{Modifica::Tipo::CancellaTutto, 0, {}, 0};
                        storia << QStringLiteral("clear");
                    } else {
                        s.spegniVincolo();
                        m = Modifica{Modifica::Tipo::SpegniVincolo, 0, {}, 0};
                        storia << QStringLiteral("constraint off");
                    }
                    break;
                case 12:
                case 13: {
                    // "Visualizza" hands the project total over as the
                    // constrained total.
                    const QString t = s.progetto();
                    s.scriviCostoprogetto(t);
                    m = Modifica{Modifica::Tipo::Vincolo, 0, t, 0};
                    storia << QStringLiteral("show");
                    break;
                }
                case 14:
                    // "Rielabora" arms the constrained step again.
                    ModVarimo::statovincolo = StatoVincolo::InAttesa;
                    q.stato = StatoVincolo::InAttesa;
                    nulla = true;
                    storia << QStringLiteral("rework");
                    break;
                case 15:
                    s.assestaImportiInutilizzabili();
                    m = Modifica{Modifica::Tipo::Assesta, 0, {}, 0};
                    storia << QStringLiteral("bring in line");
                    break;
                default:
                    s.ricalcola();
                    m = Modifica{Modifica::Tipo::Ricalcola, 0, {}, 0};
                    storia << QStringLiteral("recalculate");
                    break;
            }
            SCOPED_TRACE(storia.join(QStringLiteral(", ")).toStdString());
            RisultatoRicalcolo atteso;
            atteso.dati = q;
            if (!nulla) atteso = ricalcola(q, m);
            ++operazioni;
            QString messaggio;
            int esclamazioni = 0;
            for (const auto& msg : finta.messaggi) {
                if (msg.icona != Icona::Esclamazione) continue;
                ++esclamazioni;
                messaggio = msg.testo;
            }
            const DatiCalcolo finestra = datiDi(s.foto());
            ASSERT_EQ(finestra, atteso.dati)
                << "before:     " << descrivi(prima) << "\nwindow:     " << descrivi(finestra)
                << "\nfunction:   " << descrivi(atteso.dati);
            ASSERT_LE(esclamazioni, 1);
            ASSERT_EQ(messaggio, atteso.messaggio);
            ASSERT_EQ(atteso.esito == EsitoRicalcolo::Ok, atteso.messaggio.isEmpty());
            ASSERT_EQ(s.passiAnnidati(), atteso.passi);
            ASSERT_EQ(s.profonditaMassima(), atteso.profonditaMassima);
            ASSERT_EQ(s.interruzioni(), atteso.interruzioni);
            interrotte += atteso.esito == EsitoRicalcolo::Interrotto ? 1 : 0;
            irraggiungibili += atteso.esito == EsitoRicalcolo::Irraggiungibile ? 1 : 0;
            q = atteso.dati;
        }
    }
    // Both ways of ending short are among the cases compared.
    EXPECT_GT(interrotte, 0);
    EXPECT_GT(irraggiungibili, 0);
    std::printf("sequences %d, operations %ld compared: stopped %ld, unreachable %ld\n", kSequenze,
                operazioni, interrotte, irraggiungibili);
}

}  // namespace
