#!/usr/bin/env bash
# Installs what is needed, builds Varimo (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARIMO_BUILD_TESTS=OFF -DVARIMO_BUILD_BENCH=OFF
cmake --build build -j"$(nproc)" --target varimo
exec ./build/bin/varimo "$@"
