// Time and nested passes of the recalculation for typical edits of the
// calculation window, headless.
#include <benchmark/benchmark.h>

#include "calculation/statocalcolo.h"
#include "common/interazione.h"
#include "common/testiprogramma.h"

#include "quadro_tipico.h"

using namespace varimo;

namespace {

using banco::quadroTipico;

// Typing a seven-digit amount into row A, one keystroke at a time.
void DigitazioneRigaA(benchmark::State& stato) {
    StatoCalcolo s;
    s.preparaFinestra();
    quadroTipico(s);
    const QString cifre = QStringLiteral("1234567");
    long tasti = 0;
    s.azzeraContatori();
    for (auto _ : stato) {
        s.scriviCosto(1, QString());
        for (int k = 1; k <= cifre.size(); ++k) s.scriviCosto(1, cifre.left(k));
        tasti += cifre.size() + 1;
    }
    stato.counters["passi_per_tasto"] =
        benchmark::Counter(static_cast<double>(s.passiAnnidati()) / static_cast<double>(tasti));
    // Time of one keystroke (seconds, shown with an SI prefix: "u" = µs).
    stato.counters["tempo_per_tasto"] = benchmark::Counter(
        static_cast<double>(tasti), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(DigitazioneRigaA);

// Entering a constrained total as one change: the whole descent of row A.
void DiscesaVincolata(benchmark::State& stato) {
    StatoCalcolo s;
    s.preparaFinestra();
    quadroTipico(s);
    long discese = 0;
    s.azzeraContatori();
    for (auto _ : stato) {
        stato.PauseTiming();
        s.spegniVincolo();  // back to no constraint, A cleared
        s.statovincolo = StatoVincolo::Nessuno;
        s.scriviCosto(1, QString());
        const long prima = s.passiAnnidati();
        stato.ResumeTiming();
        s.scriviCostoprogetto(QStringLiteral("123456789012"));
        stato.PauseTiming();
        stato.counters["passi_per_discesa"] = static_cast<double>(s.passiAnnidati() - prima);
        ++discese;
        stato.ResumeTiming();
    }
    stato.counters["profondita_massima"] = s.profonditaMassima();
    stato.counters["interruzioni"] = s.interruzioni();
}
BENCHMARK(DiscesaVincolata)->Unit(benchmark::kMicrosecond);

// A chain of 15 rows, each 50 % of the one before, typing into row A.
void CatenaDiPercentuali(benchmark::State& stato) {
    StatoCalcolo s;
    s.preparaFinestra();
    int precedente = 1;
    int catena = 0;
    for (int i = 2; i <= 17 && catena < 15; ++i) {
        if (i == 4) continue;
        s.scegliRiferimento(i, precedente - 1);
        s.scriviScorrimento(i, 50);
        precedente = i;
        ++catena;
    }
    const QString cifre = QStringLiteral("1234567");
    long tasti = 0;
    s.azzeraContatori();
    for (auto _ : stato) {
        s.scriviCosto(1, QString());
        for (int k = 1; k <= cifre.size(); ++k) s.scriviCosto(1, cifre.left(k));
        tasti += cifre.size() + 1;
    }
    stato.counters["passi_per_tasto"] =
        benchmark::Counter(static_cast<double>(s.passiAnnidati()) / static_cast<double>(tasti));
    stato.counters["tempo_per_tasto"] = benchmark::Counter(
        static_cast<double>(tasti), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    stato.counters["profondita_massima"] = s.profonditaMassima();
}
BENCHMARK(CatenaDiPercentuali);

// Reaching the nesting bound: row B made 100 % of D (= A + B + C), a cycle
// that grows for ever, stopped after kProfonditaMassima nested passes.
void RaggiungimentoDelLimite(benchmark::State& stato) {
    StatoCalcolo s;
    s.preparaFinestra();
    s.scriviCosto(1, QStringLiteral("1000"));
    s.azzeraContatori();
    long passi = 0;
    bool fermato = true;
    for (auto _ : stato) {
        stato.PauseTiming();
        s.cancellaRiga(2);
        s.scegliRiferimento(2, 3);  // B refers to D, at 0 %
        const long prima = s.passiAnnidati();
        const int interruzioni = s.interruzioni();
        stato.ResumeTiming();
        s.scriviScorrimento(2, 100);
        stato.PauseTiming();
        passi = s.passiAnnidati() - prima;
        fermato = fermato && s.interruzioni() == interruzioni + 1;
        stato.ResumeTiming();
    }
    if (!fermato) stato.SkipWithError("the cycle was not stopped at the bound");
    stato.counters["passi"] = static_cast<double>(passi);
    stato.counters["profondita_massima"] = s.profonditaMassima();
}
BENCHMARK(RaggiungimentoDelLimite)->Unit(benchmark::kMillisecond);

}  // namespace
