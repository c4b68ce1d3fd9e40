#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the install tree: the
# program, its data where the program looks for it (share/varimo beside
# bin/), the launcher, icons, MIME type and metadata, which the validators
# accept. Then starts the installed program on Xvfb from a folder that holds
# none of its data.
set -euo pipefail
BUILD="$1"
PREFISSO=$(mktemp -d)
trap 'rm -rf "$PREFISSO"' EXIT
cmake --install "$BUILD" --prefix "$PREFISSO" > /dev/null

for f in bin/varimo share/varimo/Internet.mid share/varimo/VarimoSuggerimenti.TXT \
         share/applications/it.veladio.Varimo.desktop \
         share/metainfo/it.veladio.Varimo.metainfo.xml \
         share/mime/packages/it.veladio.Varimo.xml \
         share/icons/hicolor/scalable/apps/it.veladio.Varimo.svg \
         share/icons/hicolor/48x48/apps/it.veladio.Varimo.png \
         share/icons/hicolor/256x256/apps/it.veladio.Varimo.png; do
  test -f "$PREFISSO/$f" || { echo "missing in the install tree: $f"; exit 1; }
done
echo "install tree complete"

if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$PREFISSO/share/applications/it.veladio.Varimo.desktop"
  echo "desktop file valid"
fi
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$PREFISSO/share/metainfo/it.veladio.Varimo.metainfo.xml"
fi
if command -v xmllint > /dev/null; then
  xmllint --noout "$PREFISSO/share/mime/packages/it.veladio.Varimo.xml"
fi

if command -v xvfb-run > /dev/null && command -v xdotool > /dev/null; then
  bash "$(dirname "$0")/smoke_xvfb.sh" "$PREFISSO/bin/varimo"
fi
