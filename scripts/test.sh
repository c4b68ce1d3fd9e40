#!/usr/bin/env bash
# Installs what is needed, builds Varimo with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# The rooms of src/ include one another downward only.
bash scripts/stanze.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARIMO_SANITIZE=ON \
  -DVARIMO_BUILD_BENCH=ON
cmake --build build-test -j"$(nproc)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Short runs of the three fuzz targets (clang, libFuzzer) first, so
# that the test summary closes the output.
if [ -x scripts/fuzz-smoke.sh ]; then
  bash scripts/fuzz-smoke.sh
fi
# Static checks of the program's own code (.clang-tidy at the root).
run-clang-tidy -quiet -p build-test -j"$(nproc)" "$PWD/src/" > build-test/clang-tidy.log 2>&1 ||
  { grep -E "(warning|error):" build-test/clang-tidy.log; echo "clang-tidy: see build-test/clang-tidy.log"; exit 1; }
ctest --test-dir build-test --output-on-failure -j"$(nproc)"
