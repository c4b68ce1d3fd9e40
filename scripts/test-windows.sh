#!/usr/bin/env bash
# Tests the Windows build under Wine (Debian's wine64), after building it with
# scripts/package-windows.sh:
#   1. the core test programs (no display) cross-built and run under Wine;
#   2. the program started under Wine on Xvfb: its splash, then the
#      calculation window, each screenshot checked not to be blank
#      (build-win-test/schermate/);
#   3. the installer run silently, the installed program opening a classic
#      project file, the uninstaller leaving nothing behind
#      (tests/app/windows_xvfb.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
RADICE=$PWD
inizio=$SECONDS

bash scripts/package-windows.sh --test
VERSIONE=$(sed -n 's/^project(Varimo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

# A Wine prefix of its own, made afresh; no Mono or Gecko to install.
export WINEPREFIX="$RADICE/build-win-test/wine"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPATH
WINEPATH=$(cat build-win-test/winepath)
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
echo "test-windows: Wine prefix ready ($((SECONDS - inizio)) s)"

# --- 1. core tests -------------------------------------------------------------
QT_QPA_PLATFORM=minimal ctest --test-dir build-win-test -j"$(nproc)" --output-on-failure \
  --timeout 600
echo "test-windows: core tests passed ($((SECONDS - inizio)) s)"

# --- 2 and 3: on Xvfb ------------------------------------------------------------
xvfb-run -a -s "-screen 0 1280x1024x24" bash tests/app/windows_xvfb.sh \
  "build-win/varimo-$VERSIONE" "build-win/varimo-$VERSIONE-setup.exe" build-win-test/schermate
echo "test-windows: all passed ($((SECONDS - inizio)) s)"
