// Time and nested passes of the recalculation with the calculation window's
// widgets bound to its state, on the offscreen platform: every text the
// passes write is also set into its widget.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "calculation/widgets/calcolo.h"
#include "common/testiprogramma.h"
#include "common/widgets/stile.h"

#include "quadro_tipico.h"

using namespace varimo;

namespace {

using banco::quadroTipico;

// A shown calculation window with the typical framework.
Calcolo* finestraTipica() {
    auto* w = new Calcolo;
    w->show();
    quadroTipico(w->stato());
    QCoreApplication::processEvents();
    return w;
}

// Typing a seven-digit amount into row A, one key event at a time, the
// window painted after every keystroke.
void DigitazioneRigaAFinestra(benchmark::State& stato) {
    Calcolo* w = finestraTipica();
    QLineEdit* a = w->costo(1);
    a->setFocus();
    const QString cifre = QStringLiteral("1234567");
    long tasti = 0;
    w->stato().azzeraContatori();
    for (auto _ : stato) {
        a->selectAll();
        QTest::keyClick(a, Qt::Key_Delete);
        QCoreApplication::processEvents();
        for (QChar c : cifre) {
            QTest::keyClick(a, c.toLatin1());
            QCoreApplication::processEvents();
        }
        tasti += cifre.size() + 1;
    }
    if (w->stato().costo(1) != cifre) stato.SkipWithError("row A does not hold the typed amount");
    stato.counters["passi_per_tasto"] = benchmark::Counter(
        static_cast<double>(w->stato().passiAnnidati()) / static_cast<double>(tasti));
    // Time of one keystroke (seconds, shown with an SI prefix: "u" = µs).
    stato.counters["tempo_per_tasto"] = benchmark::Counter(
        static_cast<double>(tasti), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    delete w;
}
BENCHMARK(DigitazioneRigaAFinestra)->Unit(benchmark::kMicrosecond);

// Entering a constrained total as one change (a paste into the box): the
// whole descent of row A with every widget following; `dipinta` also paints
// the window afterwards, as the next frame would.
void DiscesaVincolataFinestra(benchmark::State& stato, bool dipinta) {
    Calcolo* w = finestraTipica();
    StatoCalcolo& s = w->stato();
    QLineEdit* vincolo = w->costoprogetto();
    const QString totale = QStringLiteral("123456789012");
    s.azzeraContatori();
    for (auto _ : stato) {
        stato.PauseTiming();
        s.spegniVincolo();  // back to no constraint, A cleared
        s.statovincolo = StatoVincolo::Nessuno;
        s.scriviCosto(1, QString());
        QCoreApplication::processEvents();
        const long prima = s.passiAnnidati();
        stato.ResumeTiming();
        vincolo->setText(totale);
        emit vincolo->textEdited(totale);
        if (dipinta) QCoreApplication::processEvents();
        stato.PauseTiming();
        stato.counters["passi_per_discesa"] = static_cast<double>(s.passiAnnidati() - prima);
        stato.ResumeTiming();
    }
    if (s.statovincolo != StatoVincolo::Nessuno || s.interruzioni() != 0)
        stato.SkipWithError("the descent did not meet the constrained total");
    stato.counters["profondita_massima"] = s.profonditaMassima();
    delete w;
}
BENCHMARK_CAPTURE(DiscesaVincolataFinestra, senza_disegno, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(DiscesaVincolataFinestra, con_disegno, true)->Unit(benchmark::kMicrosecond);

// The chain of 15 rows, each 50 % of the one before, typing into row A.
void CatenaDiPercentualiFinestra(benchmark::State& stato) {
    auto* w = new Calcolo;
    w->show();
    StatoCalcolo& s = w->stato();
    int precedente = 1;
    int catena = 0;
    for (int i = 2; i <= 17 && catena < 15; ++i) {
        if (i == 4) continue;
        s.scegliRiferimento(i, precedente - 1);
        s.scriviScorrimento(i, 50);
        precedente = i;
        ++catena;
    }
    QCoreApplication::processEvents();
    QLineEdit* a = w->costo(1);
    a->setFocus();
    const QString cifre = QStringLiteral("1234567");
    long tasti = 0;
    s.azzeraContatori();
    for (auto _ : stato) {
        a->selectAll();
        QTest::keyClick(a, Qt::Key_Delete);
        QCoreApplication::processEvents();
        for (QChar c : cifre) {
            QTest::keyClick(a, c.toLatin1());
            QCoreApplication::processEvents();
        }
        tasti += cifre.size() + 1;
    }
    stato.counters["passi_per_tasto"] =
        benchmark::Counter(static_cast<double>(s.passiAnnidati()) / static_cast<double>(tasti));
    stato.counters["tempo_per_tasto"] = benchmark::Counter(
        static_cast<double>(tasti), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    stato.counters["profondita_massima"] = s.profonditaMassima();
    delete w;
}
BENCHMARK(CatenaDiPercentualiFinestra)->Unit(benchmark::kMicrosecond);

// The offscreen platform cannot raise windows; that notice is not a result.
QtMessageHandler predefinito = nullptr;
void filtra(QtMsgType t, const QMessageLogContext& c, const QString& m) {
    if (m.startsWith(QStringLiteral("This plugin does not support"))) return;
    predefinito(t, c, m);
}

}  // namespace

int main(int argc, char** argv) {
    predefinito = qInstallMessageHandler(filtra);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installaStile();  // as the program does
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
