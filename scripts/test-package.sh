#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine, checks the installed
# desktop files with their validators, starts the installed program on Xvfb,
# measures the memory of a large comparison, and removes the package again.
# Needs root (or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

bash scripts/package.sh
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
prova="$(mktemp -d)/Varimo-dati-prova"
printf '"p","euro"\r\n' > "$prova"
tipo=$(xdg-mime query filetype "$prova" 2>/dev/null || true)
echo "MIME type of Varimo-dati-prova: ${tipo:-unknown}"
test "$tipo" = "application/x-varimo-dati"
gestore=$(xdg-mime query default application/x-varimo-dati 2>/dev/null || true)
echo "default application: ${gestore:-none}"

bash tests/app/smoke_xvfb.sh /usr/bin/varimo
# A comparison of a million items in every format, within 200 MB each.
bash scripts/memoria-confronto.sh /usr/bin/varimo
echo "package test passed"
