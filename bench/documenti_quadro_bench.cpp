// Making the documents of a framework of 200 items: the administration's
// print as a .docx package and as a PDF/A file, and the spreadsheet.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "quadro/documentiquadro.h"
#include "quadro/quadro.h"
#include "reports/docx.h"
#include "reports/foglioquadro.h"
#include "reports/pdf.h"
#include "reports/stampaamministrazione.h"

namespace {

using namespace varimo;

// Twenty sections of nine amounts and a percentage of the section each.
QuadroEsportato quadroDi200Voci() {
    quadro::QuadroCalcolato c;
    c.file.intestazione.ente = QStringLiteral("Comune di Borgo San Lorenzo");
    c.file.intestazione.titolo = QStringLiteral("Riqualificazione della scuola primaria");
    for (int s = 0; s < 20; ++s) {
        quadro::Voce sezione;
        sezione.codice = QStringLiteral("S%1").arg(s);
        sezione.etichetta = QStringLiteral("Sezione %1 del quadro economico").arg(s);
        sezione.tipo = quadro::Tipo::Sezione;
        for (int i = 0; i < 9; ++i) {
            quadro::Voce v;
            v.codice = sezione.codice + QStringLiteral(".%1").arg(i);
            v.etichetta = QStringLiteral("Voce %1 con un'etichetta di media lunghezza").arg(i);
            v.importo = 1234567 * (i + 1) + s;
            sezione.voci << v;
        }
        quadro::Voce p;
        p.codice = sezione.codice + QStringLiteral(".p");
        p.etichetta = QStringLiteral("IVA");
        p.tipo = quadro::Tipo::Percentuale;
        p.percentuale = 22000;
        p.di = {sezione.voci.first().codice, sezione.voci.last().codice};
        sezione.voci << p;
        c.file.quadro.voci << sezione;
    }
    auto v = quadro::ricalcola(c.file.quadro);
    c.valutazione = std::get<quadro::Valutazione>(v);
    return quadro::perDocumenti(c);
}

void BM_StampaDocx(benchmark::State& state) {
    const QuadroEsportato q = quadroDi200Voci();
    for (auto _ : state) benchmark::DoNotOptimize(pacchettoDocx(*documentoAmministrazione(q)));
}
BENCHMARK(BM_StampaDocx)->Unit(benchmark::kMillisecond);

void BM_StampaPdfA(benchmark::State& state) {
    const QuadroEsportato q = quadroDi200Voci();
    for (auto _ : state) benchmark::DoNotOptimize(pdfDocumento(*documentoAmministrazione(q)));
}
BENCHMARK(BM_StampaPdfA)->Unit(benchmark::kMillisecond);

void BM_FoglioXlsx(benchmark::State& state) {
    const QuadroEsportato q = quadroDi200Voci();
    for (auto _ : state) benchmark::DoNotOptimize(foglioQuadro(q));
}
BENCHMARK(BM_FoglioXlsx)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The PDF writer takes its fonts from a graphical application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
