// Recomputing a framework of any shape of 200 items, as every edit in the
// window quadro does: the evaluation alone, and with a fixed total that the
// contingencies item absorbs (the bisection over its amount).
#include <benchmark/benchmark.h>

#include "quadro/quadro.h"

namespace {

using namespace varimo::quadro;

// Ten sections of twenty items: amounts, percentages of the works section,
// of neighbours and of whole sections, as a large real framework has.
Quadro quadro200(bool vincolo) {
    Quadro q;
    for (int s = 0; s < 10; ++s) {
        Voce sezione;
        sezione.codice = QStringLiteral("S%1").arg(s);
        sezione.tipo = Tipo::Sezione;
        for (int i = 0; i < 19; ++i) {
            Voce v;
            v.codice = QStringLiteral("S%1.%2").arg(s).arg(i);
            v.etichetta = QStringLiteral("Voce %1").arg(i);
            if (s > 0 && i % 3 == 1) {
                v.tipo = Tipo::Percentuale;
                v.percentuale = 1000 + 137 * i;
                v.di = {QStringLiteral("S0"), QStringLiteral("S%1.%2").arg(s).arg(i - 1)};
            } else {
                v.importo = 1234567 + 1000 * i + s;
            }
            sezione.voci.append(v);
        }
        q.voci.append(sezione);
    }
    Voce imprevisti;
    imprevisti.codice = QStringLiteral("S9.99");
    imprevisti.etichetta = QStringLiteral("Imprevisti");
    q.voci[9].voci.append(imprevisti);
    Voce iva;
    iva.codice = QStringLiteral("S9.100");
    iva.tipo = Tipo::Percentuale;
    iva.percentuale = 22000;
    iva.di = {QStringLiteral("S9.99"), QStringLiteral("S8")};
    q.voci[9].voci.append(iva);
    if (vincolo) q.vincolo.totale = 99999999999LL;
    return q;
}

void BM_Quadro200Valuta(benchmark::State& stato) {
    const Quadro q = quadro200(false);
    for (auto _ : stato) benchmark::DoNotOptimize(valuta(q));
}
BENCHMARK(BM_Quadro200Valuta)->Unit(benchmark::kMicrosecond);

void BM_Quadro200RicalcolaConTotaleVincolato(benchmark::State& stato) {
    Quadro q = quadro200(true);
    for (auto _ : stato) {
        auto r = ricalcola(q);
        benchmark::DoNotOptimize(r);
    }
    stato.counters["voci"] = double(vociInOrdine(q).size());
}
BENCHMARK(BM_Quadro200RicalcolaConTotaleVincolato)->Unit(benchmark::kMicrosecond);

}  // namespace
