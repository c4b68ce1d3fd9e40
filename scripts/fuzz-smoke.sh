#!/bin/sh
# Builds the six libFuzzer targets with clang in build-fuzz and runs each for
# a short while (10 s by default) on a copy of its committed starting corpus.
# Usable by CI: a non-zero exit means a crash, a leak, a hang, undefined
# behaviour or a broken promise of the target:
#   fuzz_lettura_progetto  the project data file reader (fuzz/corpus)
#   fuzz_numeri            the number conversions and the display format
#                          (fuzz/corpus-numeri)
#   fuzz_apertura          the whole Open path: read, apply to the
#                          calculation, save, read again (fuzz/corpus)
#   fuzz_nomi              hostile project names made into file names and
#                          document metadata (fuzz/corpus-nomi)
#   fuzz_varimo            the .varimo readers, the phases computed, the
#                          award, the comparison, the save read again
#                          (fuzz/corpus-varimo)
#   fuzz_esportazione      the whole export path, every document checked for
#                          well-formedness (fuzz/corpus-varimo)
#
#   scripts/fuzz-smoke.sh            # 10 seconds each
#   scripts/fuzz-smoke.sh 600        # ten minutes each
#
# Longer runs: keep the growing corpus between runs by running a target by
# hand, for example
#   build-fuzz/fuzz/fuzz_lettura_progetto -max_total_time=28800 -jobs=2 \
#       -max_len=4096 -timeout=10 my-corpus fuzz/corpus
# and add to the starting corpus any crash reproducer once the fault is mended.
set -eu
secondi=${1:-10}
radice=$(cd "$(dirname "$0")/.." && pwd)
build="$radice/build-fuzz"

CC=clang CXX=clang++ cmake -S "$radice" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARIMO_BUILD_FUZZ=ON \
    -DVARIMO_BUILD_TESTS=OFF -DVARIMO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target fuzz_lettura_progetto fuzz_numeri fuzz_apertura fuzz_nomi \
    fuzz_varimo fuzz_esportazione

lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT

esegui() {
    bersaglio=$1
    semi=$2
    mkdir -p "$lavoro/$bersaglio"
    cp "$radice/fuzz/$semi"/* "$lavoro/$bersaglio"/
    echo "== $bersaglio, $secondi s"
    "$build/fuzz/$bersaglio" -max_total_time="$secondi" -max_len=4096 -timeout=30 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/$bersaglio-" \
        "$lavoro/$bersaglio"
}

esegui fuzz_lettura_progetto corpus
esegui fuzz_numeri corpus-numeri
esegui fuzz_apertura corpus
esegui fuzz_nomi corpus-nomi
esegui fuzz_varimo corpus-varimo
esegui fuzz_esportazione corpus-varimo
