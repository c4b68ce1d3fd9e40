#!/usr/bin/env bash
# Compares the speed of an earlier commit with the current checkout on this
# machine, in one run.
#
#   bash scripts/confronta-prestazioni.sh COMMIT [options]
#
#   -r, --ripetizioni N   rounds of each program (default 5)
#   -f, --filtro REGEX    benchmarks to run (default: the keystroke ones,
#                         "Digitazione"; "." for all)
#   -p, --programmi LIST  benchmark programs, separated by spaces
#                         (default "varimo_bench varimo_bench_finestra")
#
# COMMIT is checked out in a temporary worktree under
# build-confronto/ and built in Release there; the current checkout (with
# any change not yet committed) is built in Release in build-release. Then
# each program of both sides runs once per round, the two sides taking turns
# (earlier commit first in odd rounds, current checkout first in even ones),
# so that a change in the machine's load falls on both. The table gives the
# median CPU time of each benchmark over the rounds, on both sides, and
# their ratio; benchmarks with a time per keystroke (`tempo_per_tasto`)
# show that too. Benchmarks found on only one side are left out. The
# worktree and its build are removed however the script ends.
set -euo pipefail

uso() { sed -n '2,23p' "$0" | sed 's/^# \{0,1\}//'; }

ripetizioni=5
filtro=Digitazione
programmi="varimo_bench varimo_bench_finestra"
commit=""
while [ $# -gt 0 ]; do
  case "$1" in
    -r | --ripetizioni) ripetizioni="$2"; shift 2 ;;
    -f | --filtro) filtro="$2"; shift 2 ;;
    -p | --programmi) programmi="$2"; shift 2 ;;
    -h | --help) uso; exit 0 ;;
    -*) echo "unknown option: $1" >&2; uso >&2; exit 2 ;;
    *) [ -z "$commit" ] || { uso >&2; exit 2; }; commit="$1"; shift ;;
  esac
done
[ -n "$commit" ] || { uso >&2; exit 2; }
case "$ripetizioni" in '' | *[!0-9]* | 0) echo "rounds: a positive number" >&2; exit 2 ;; esac

radice="$(cd "$(dirname "$0")/.." && pwd)"
cd "$radice"
hash="$(git rev-parse --verify --quiet "$commit^{commit}")" ||
  { echo "not a commit: $commit" >&2; exit 2; }
breve="$(git rev-parse --short "$hash")"
attuale="$(git describe --always --dirty)"

confronto="$radice/build-confronto"
cartella="$confronto/$breve-$$"
sorgenti="$cartella/sorgenti"
build_prima="$cartella/build"
build_ora="$radice/build-release"
risultati="$cartella/risultati"

# Builds and benchmark runs go in a process group of their own, waited for
# in the background, so that a signal reaches the script at once and the
# clean-up can end them first.
figlio=""
in_primo_piano() {
  setsid "$@" &
  figlio=$!
  local esito=0
  wait "$figlio" || esito=$?
  figlio=""
  return "$esito"
}

pulisci() {
  local esito=$?
  trap - EXIT INT TERM HUP
  if [ -n "$figlio" ]; then
    kill -TERM -- "-$figlio" 2> /dev/null || true
    wait "$figlio" 2> /dev/null || true
  fi
  if [ -d "$sorgenti" ]; then
    git -C "$radice" worktree remove --force "$sorgenti" > /dev/null 2>&1 || true
  fi
  rm -rf "$cartella"
  git -C "$radice" worktree prune > /dev/null 2>&1 || true
  rmdir "$confronto" 2> /dev/null || true
  exit "$esito"
}
trap pulisci EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

mkdir -p "$cartella" "$risultati"
git worktree add --detach --quiet "$sorgenti" "$hash"

# The programs that both sides build.
bersagli=()
for p in $programmi; do
  if grep -Eq "add_executable\\(${p}[[:space:]]" "$sorgenti/bench/CMakeLists.txt" 2> /dev/null &&
    grep -Eq "add_executable\\(${p}[[:space:]]" bench/CMakeLists.txt; then
    bersagli+=("$p")
  else
    echo "$p: not built by both sides, left out" >&2
  fi
done
[ ${#bersagli[@]} -gt 0 ] || { echo "no benchmark program on both sides" >&2; exit 1; }

costruisci() {
  local sorgente="$1" build="$2"
  shift 2
  local registro
  registro="$cartella/$(basename "$build")"
  echo "== Release build of ${bersagli[*]} in $build" >&2
  in_primo_piano cmake -S "$sorgente" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVARIMO_BUILD_BENCH=ON "$@" > "$registro.cmake.log" 2>&1 ||
    { cat "$registro.cmake.log" >&2; return 1; }
  in_primo_piano cmake --build "$build" --target "${bersagli[@]}" > "$registro.log" 2>&1 ||
    { tail -n 40 "$registro.log" >&2; return 1; }
}
costruisci "$sorgenti" "$build_prima" -DVARIMO_BUILD_TESTS=OFF
costruisci "$radice" "$build_ora"

# The window benchmarks need no display.
export QT_QPA_PLATFORM=offscreen

esegui() {
  local lato="$1" build="$2" programma="$3" giro="$4"
  in_primo_piano "$build/bin/$programma" --benchmark_filter="$filtro" --benchmark_repetitions=1 \
    --benchmark_format=json --benchmark_out_format=json \
    --benchmark_out="$risultati/$lato.$programma.$giro.json" > /dev/null 2> "$risultati/errori" ||
    { cat "$risultati/errori" >&2; return 1; }
}

echo "== $ripetizioni rounds: $breve against $attuale, filter '$filtro'" >&2
for ((giro = 1; giro <= ripetizioni; giro++)); do
  echo "   round $giro of $ripetizioni" >&2
  for p in "${bersagli[@]}"; do
    if ((giro % 2)); then
      esegui prima "$build_prima" "$p" "$giro"
      esegui ora "$build_ora" "$p" "$giro"
    else
      esegui ora "$build_ora" "$p" "$giro"
      esegui prima "$build_prima" "$p" "$giro"
    fi
  done
done

echo
echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$risultati" "$breve" "$attuale" "$ripetizioni" << 'FINE'
import glob, json, os, statistics, sys

cartella, prima, ora, giri = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4]
scala = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
tempi = {"prima": {}, "ora": {}}  # side -> name -> [cpu ns], [ns per keystroke]
ordine = []
for f in sorted(glob.glob(os.path.join(cartella, "*.json"))):
    lato = os.path.basename(f).split(".")[0]
    with open(f) as d:
        dati = json.load(d)
    for b in dati.get("benchmarks", []):
        if b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
            continue
        nome = b["name"]
        if nome not in ordine:
            ordine.append(nome)
        cpu, tasto = tempi[lato].setdefault(nome, ([], []))
        cpu.append(b["cpu_time"] * scala[b.get("time_unit", "ns")])
        if "tempo_per_tasto" in b:
            tasto.append(b["tempo_per_tasto"] * 1e9)

def misura(ns):
    for unita, fattore in (("s", 1e9), ("ms", 1e6), ("µs", 1e3)):
        if ns >= fattore:
            return f"{ns / fattore:.3g} {unita}"
    return f"{ns:.3g} ns"

righe = [("benchmark (median CPU, %s rounds)" % giri, prima, ora, "ratio")]
for nome in ordine:
    if nome not in tempi["prima"] or nome not in tempi["ora"]:
        continue
    a_cpu, a_tasto = tempi["prima"][nome]
    b_cpu, b_tasto = tempi["ora"][nome]
    a, b = statistics.median(a_cpu), statistics.median(b_cpu)
    righe.append((nome, misura(a), misura(b), f"{b / a:.2f}"))
    if a_tasto and b_tasto:
        a, b = statistics.median(a_tasto), statistics.median(b_tasto)
        righe.append(("  per keystroke", misura(a), misura(b), f"{b / a:.2f}"))
larghezze = [max(len(r[i]) for r in righe) for i in range(4)]
for n, r in enumerate(righe):
    print(f"{r[0]:<{larghezze[0]}}  {r[1]:>{larghezze[1]}}  {r[2]:>{larghezze[2]}}  {r[3]:>{larghezze[3]}}")
    if n == 0:
        print("-" * (sum(larghezze) + 6))
FINE
