// Start-up: the real program against a bare Qt window with one label, both
// started to their first painted window (VARIMO_MISURA_AVVIO) and ended
// there. The two are started in turn, the order swapped at every round, so
// that a machine growing busier weighs on both alike. Reports the medians of
// the time to the first painted window and of the peak memory at that
// moment, and their ratios (program / bare window).
//
// The platform is the environment's: run it under an X server (for instance
// `xvfb-run -a`) for a real display; without one it uses the offscreen
// platform. `--volte=N` sets the number of rounds (default 15).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

int volte = 15;

struct Misura {
    double ms = 0;
    double mib = 0;
};

long long adesso() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

std::filesystem::path cartellaProgrammi() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

std::vector<std::string> ambiente() {
    std::vector<std::string> v;
    for (char** e = environ; *e; ++e) v.emplace_back(*e);
    v.emplace_back("VARIMO_MISURA_AVVIO=1");
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
        !std::getenv("WAYLAND_DISPLAY"))
        v.emplace_back("QT_QPA_PLATFORM=offscreen");
    return v;
}

// Starts one program and reads its "avvio <ns> <kib>" line; the time counts
// from just before the process is created.
std::optional<Misura> avvia(const std::filesystem::path& programma) {
    int tubo[2];
    if (pipe(tubo) != 0) return std::nullopt;
    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    posix_spawn_file_actions_adddup2(&azioni, tubo[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&azioni, tubo[0]);
    posix_spawn_file_actions_addopen(&azioni, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    static const std::vector<std::string> amb = ambiente();
    std::vector<char*> envp;
    for (const auto& s : amb) envp.push_back(const_cast<char*>(s.c_str()));
    envp.push_back(nullptr);
    std::string percorso = programma.string();
    char* argv[] = {percorso.data(), nullptr};

    pid_t pid = 0;
    const long long inizio = adesso();
    const int esito = posix_spawn(&pid, percorso.c_str(), &azioni, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&azioni);
    close(tubo[1]);
    if (esito != 0) {
        close(tubo[0]);
        return std::nullopt;
    }
    std::string uscita;
    char buf[256];
    for (ssize_t n; (n = read(tubo[0], buf, sizeof buf)) > 0;) uscita.append(buf, buf + n);
    close(tubo[0]);
    int stato = 0;
    waitpid(pid, &stato, 0);

    long long ns = 0;
    long kib = 0;
    const auto pos = uscita.find("avvio ");
    if (pos == std::string::npos ||
        std::sscanf(uscita.c_str() + pos, "avvio %lld %ld", &ns, &kib) != 2 || kib <= 0)
        return std::nullopt;
    return Misura{static_cast<double>(ns - inizio) / 1e6, static_cast<double>(kib) / 1024.0};
}

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void AvvioFinoAllaPrimaFinestra(benchmark::State& stato) {
    const auto cartella = cartellaProgrammi();
    const auto varimo = cartella / "varimo";
    const auto nuda = cartella / "varimo_finestra_nuda";
    std::vector<double> tv, tn, mv, mn;
    int giro = 0;
    for (auto _ : stato) {
        std::optional<Misura> a, b;
        if (giro++ % 2 == 0) {
            a = avvia(varimo);
            b = avvia(nuda);
        } else {
            b = avvia(nuda);
            a = avvia(varimo);
        }
        if (!a || !b) {
            stato.SkipWithError(!a ? "varimo did not report its first painted window"
                                   : "the bare window did not report its first painting");
            return;
        }
        stato.SetIterationTime(a->ms / 1000.0);
        tv.push_back(a->ms);
        tn.push_back(b->ms);
        mv.push_back(a->mib);
        mn.push_back(b->mib);
    }
    const double tempoV = mediana(tv), tempoN = mediana(tn);
    const double memV = mediana(mv), memN = mediana(mn);
    stato.counters["varimo_ms"] = tempoV;
    stato.counters["nuda_ms"] = tempoN;
    stato.counters["rapporto_tempo"] = tempoV / tempoN;
    stato.counters["varimo_MiB"] = memV;
    stato.counters["nuda_MiB"] = memN;
    stato.counters["rapporto_memoria"] = memV / memN;
    std::printf(
        "\n%d rounds, medians: first painted window %.1f ms (bare Qt window %.1f ms), ratio %.2f; "
        "peak memory %.1f MiB (bare %.1f MiB), ratio %.2f\n",
        giro, tempoV, tempoN, tempoV / tempoN, memV, memN, memV / memN);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> resto;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--volte=", 8) == 0) {
            volte = std::max(1, std::atoi(argv[i] + 8));
        } else {
            resto.push_back(argv[i]);
        }
    }
    int n = static_cast<int>(resto.size());
    benchmark::RegisterBenchmark("AvvioFinoAllaPrimaFinestra", AvvioFinoAllaPrimaFinestra)
        ->Iterations(volte)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&n, resto.data());
    if (benchmark::ReportUnrecognizedArguments(n, resto.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
