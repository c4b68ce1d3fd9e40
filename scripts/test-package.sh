#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine, checks the installed
# desktop files with their validators, starts the installed program on Xvfb,
# and removes the package again. Needs root (or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVARIMO_BUILD_TESTS=OFF -DVARIMO_BUILD_BENCH=OFF
cmake --build build-deb -j"$(nproc)"
(cd build-deb && cpack -G DEB)
pacchetto=$(ls build-deb/varimo_*.deb | head -1)
echo "package: $pacchetto"
dpkg-deb --info "$pacchetto" | grep -E "Depends|Version"

$SUDO apt-get install -y -qq "./$pacchetto"
trap '$SUDO apt-get remove -y -qq varimo >/dev/null' EXIT

desktop-file-validate /usr/share/applications/it.veladio.Varimo.desktop
appstreamcli validate --no-net /usr/share/metainfo/it.veladio.Varimo.metainfo.xml
test -f /usr/share/icons/hicolor/scalable/apps/it.veladio.Varimo.svg
test -f /usr/share/icons/hicolor/48x48/apps/it.veladio.Varimo.png
test -f /usr/share/varimo/Internet.mid
test -f /usr/share/varimo/VarimoSuggerimenti.TXT
# The project files are recognised by their name.
tipo=$(XDG_DATA_DIRS=/usr/share xdg-mime query filetype "$(mktemp -d)/Varimo-dati-prova" 2>/dev/null || true)
echo "MIME type of Varimo-dati-prova: ${tipo:-unknown}"

bash tests/app/smoke_xvfb.sh /usr/bin/varimo
echo "package test passed"
