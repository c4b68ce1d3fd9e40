// The hand-off between the two main windows ("Visualizza" and "Rielabora")
// over random edit sequences: the hand-off moves no amount, and the framework
// window, both reports and the saved file carry the figures on screen.

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <variant>

#include "calculation/comandifile.h"
#include "calculation/progetto.h"
#include "calculation/statocalcolo.h"
#include "common/numeri.h"
#include "common/testiprogramma.h"
#include "datafile/formato.h"
#include "classico/statoeconomico.h"
#include "reports/stampe.h"
#include "support/interazione_finta.h"

namespace varimo {
namespace {

// Every text of a report: its paragraphs and the cells of its tables.
QString testoDocumento(const Documento& d) {
    QString t;
    for (const Paragrafo* p : d.paragrafi()) t += p->testo() + QLatin1Char('\n');
    for (int n = 1; n <= d.numeroTabelle(); ++n) {
        const Tabella* tab = d.tabella(n);
        for (int r = 1; r <= tab->righe(); ++r)
            for (int c = 1; c <= tab->colonne(); ++c)
                t += tab->cella(r, c).testo + QLatin1Char('|');
    }
    return t;
}

DatiStampaCalcolo datiCalcolo(const StatoCalcolo& s) {
    DatiStampaCalcolo d;
    for (int i = 1; i <= kVoci; ++i)
        d.righe[i] = {s.tipo(i), s.costo(i), s.percentuale(i), s.riferimento(i).testo};
    d.progetto = s.progetto();
    d.costoprogetto = s.costoprogetto();
    d.intestazione = {QStringLiteral("Scuola"), QStringLiteral("euro")};
    return d;
}

DatiStampaQuadro datiQuadro(const StatoEconomico& e) {
    DatiStampaQuadro d;
    d.numerovoci = e.numerovoci;
    for (int k = 1; k <= e.numerovoci; ++k) {
        d.tipo[k] = e.tipo(k);
        d.costo[k] = e.costo(k);
    }
    d.tipo[19] = e.tipo(19);
    d.costo[19] = e.costo(19);
    d.intestazione = {QStringLiteral("Scuola"), QStringLiteral("euro")};
    return d;
}

std::array<QString, kVoci + 2> importi(const StatoCalcolo& s) {
    std::array<QString, kVoci + 2> a;
    for (int i = 1; i <= kVoci; ++i) a[i] = s.costo(i);
    a[kVoci + 1] = s.progetto();
    return a;
}

TEST(PassaggioQuadro, VisualizzaNonSpostaNullaEOgniStampaConcorda) {
    test::InterazioneFinta finta;
    std::mt19937 rng(1812);
    const auto tra = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };
    int passaggi = 0;
    for (int n = 0; n < 60; ++n) {
        Progetto progetto;
        StatoCalcolo& s = progetto.calcolo();
        StatoEconomico e;
        progetto.avvia();
        e.preparaFinestra();
        progetto.impostaNome(QStringLiteral("Scuola"));
        for (int k = 0; k < 30; ++k) {
            SCOPED_TRACE("sequence " + std::to_string(n) + ", edit " + std::to_string(k));
            int riga = tra(1, 17);
            if (riga == 4) riga = 1;
            switch (tra(0, 7)) {
                case 0:
                case 1:
                    s.scriviCosto(riga, QString::number(tra(1, 99999999)) + QLatin1Char(',') +
                                            QString::number(tra(10, 99)));
                    break;
                case 2:
                    if (StatoCalcolo::percentualeVisibile(riga)) {
                        s.scegliRiferimento(riga, tra(0, 3) == 0 ? tra(0, 16) : tra(0, 3));
                        s.scriviScorrimento(riga, tra(0, 3) == 0 ? 100 : tra(0, 30));
                    }
                    break;
                case 3:
                    s.scriviCostoprogetto(QString::number(tra(1, 9999999)));
                    break;
                case 4:
                    // "Rielabora": the constraint is armed, nothing is handed back.
                    s.statovincolo = StatoVincolo::InAttesa;
                    s.impostaSenzaVincoloVisibile(true);
                    break;
                default: {
                    // "Visualizza": the framework is filled, then the total
                    // becomes the constrained total.
                    const auto prima = importi(s);
                    e.mostra(s);
                    s.scriviCostoprogetto(s.progetto());
                    ASSERT_EQ(importi(s), prima);
                    ++passaggi;
                    break;
                }
            }
            if (e.numerovoci == 0 || finta.messaggi.size() > 0) {
                finta.messaggi.clear();
                continue;
            }
            // Right after a hand-off, or after edits that changed nothing:
            // whatever the framework shows, the calculation shows too.
            bool fresco = e.costo(19) == formatoImporto(s.progetto());
            for (int q = 1; q <= e.numerovoci && fresco; ++q)
                fresco = e.costo(q) == formatoImporto(s.costo(e.origine(q)));
            if (!fresco) continue;

            const QString calcolo = testoDocumento(*documentoCalcolo(datiCalcolo(s)));
            const QString quadro = testoDocumento(*documentoQuadro(datiQuadro(e)));
            for (int q = 1; q <= e.numerovoci; ++q) {
                ASSERT_TRUE(calcolo.contains(e.costo(q))) << e.costo(q).toStdString();
                ASSERT_TRUE(quadro.contains(e.costo(q))) << e.costo(q).toStdString();
            }
            ASSERT_TRUE(calcolo.contains(e.costo(19)));
            ASSERT_TRUE(quadro.contains(e.costo(19)));
            // The saved file reads back with the amounts on screen.
            const EsitoScrittura w = scriviProgettoFile(progetto.comeFile());
            ASSERT_TRUE(w.riuscito());
            const auto letto = leggiProgettoFile(w.contenuto);
            ASSERT_TRUE(std::holds_alternative<ProgettoFile>(letto));
            for (int i = 1; i <= kVoci; ++i)
                ASSERT_EQ(std::get<ProgettoFile>(letto).voci[i - 1].costo, s.costo(i));
        }
    }
    EXPECT_GT(passaggi, 200);
}

}  // namespace
}  // namespace varimo
