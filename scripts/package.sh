#!/usr/bin/env bash
# Builds the Debian package build-deb/varimo_<version>_<arch>.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVARIMO_BUILD_TESTS=OFF -DVARIMO_BUILD_BENCH=OFF
cmake --build build-deb -j"$(nproc)"
(cd build-deb && cpack -G DEB)
ls build-deb/varimo_*.deb
