// Speed of the project data file reader on the largest files it is given
// (1 MB): a sound project, and files without line ends that it must refuse.
// The time grows linearly with the size of the file.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <variant>

#include "datafile/formato.h"

namespace {

using namespace varimo;

QByteArray progetto() {
    QByteArray r = "\"Scuola\",\"euro\"\r\n";
    for (int i = 1; i <= numeroVoci; ++i) r += "\"Voce\",\"1000\",\"10\",\"1000\",1\r\n";
    return r;
}

// 1 MB without line ends, made of `pezzo` repeated.
QByteArray senzaCapo(const QByteArray& pezzo) {
    QByteArray r;
    r.reserve(dimensioneMassimaFile);
    while (r.size() + pezzo.size() <= dimensioneMassimaFile) r += pezzo;
    return r;
}

void leggi(benchmark::State& stato, const QByteArray& dati, bool atteso) {
    for (auto _ : stato) {
        auto letto = leggiProgettoFile(dati);
        if (std::holds_alternative<ProgettoFile>(letto) != atteso) stato.SkipWithError("esito");
        benchmark::DoNotOptimize(letto);
    }
    stato.SetBytesProcessed(stato.iterations() * dati.size());
}

void BM_ProgettoNormale(benchmark::State& s) {
    leggi(s, progetto(), true);
}
// Quoted fields one after the other, no line end: refused after the 92nd.
void BM_UnMegabyteDiCampiSenzaCapo(benchmark::State& s) {
    leggi(s, senzaCapo("\"Lavori a misura\","), false);
}
// One quote that never closes.
void BM_UnMegabyteDiVirgoletteAperte(benchmark::State& s) {
    leggi(s, '"' + senzaCapo("x"), false);
}
// One bare value of 1 MB.
void BM_UnMegabyteSenzaSeparatori(benchmark::State& s) {
    leggi(s, senzaCapo("1"), false);
}

BENCHMARK(BM_ProgettoNormale)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UnMegabyteDiCampiSenzaCapo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnMegabyteDiVirgoletteAperte)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnMegabyteSenzaSeparatori)->Unit(benchmark::kMillisecond);

}  // namespace
