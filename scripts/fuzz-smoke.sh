#!/bin/sh
# Builds the libFuzzer target of the project data file reader with clang in
# build-fuzz and runs it for a short while (60 s by default) on a copy of the
# committed seed corpus. Usable by CI: a non-zero exit means a crash, a leak,
# a hang or a broken promise of the reader (see fuzz/fuzz_lettura_progetto.cpp).
#
#   scripts/fuzz-smoke.sh            # 60 seconds
#   scripts/fuzz-smoke.sh 3600       # one hour
#
# Longer runs: keep the growing corpus between runs by running the target by
# hand, for example
#   build-fuzz/fuzz/fuzz_lettura_progetto -max_total_time=28800 -jobs=2 \
#       -max_len=4096 -timeout=10 my-corpus fuzz/corpus
# and add to fuzz/corpus any crash reproducer once the fault is mended.
set -eu
secondi=${1:-60}
radice=$(cd "$(dirname "$0")/.." && pwd)
build="$radice/build-fuzz"

CC=clang CXX=clang++ cmake -S "$radice" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARIMO_BUILD_FUZZ=ON \
    -DVARIMO_BUILD_TESTS=OFF -DVARIMO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target fuzz_lettura_progetto

lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
cp "$radice"/fuzz/corpus/* "$lavoro"/
"$build/fuzz/fuzz_lettura_progetto" -max_total_time="$secondi" -max_len=4096 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/" "$lavoro"
