#!/usr/bin/env bash
# Tests the Windows build under Wine (Debian's wine64), after building it with
# scripts/package-windows.sh:
#   1. the core test programs (no display) cross-built and run under Wine;
#   2. `varimo.exe --esporta` and `--converti` on the worked examples write
#      the same bytes as the Linux program (build-deb/bin/varimo, made by
#      scripts/package.sh, or $VARIMO_LINUX);
#   3. the program started under Wine on Xvfb: its splash, then the
#      calculation window, each screenshot checked not to be blank
#      (build-win/schermate/);
#   4. the installer run silently, the installed program opening a classic
#      project file, the uninstaller leaving nothing behind
#      (tests/app/windows_xvfb.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
RADICE=$PWD
inizio=$SECONDS

bash scripts/package-windows.sh --test
VERSIONE=$(sed -n 's/^project(Varimo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

# A Wine prefix of its own, made afresh; no Mono or Gecko to install, and no
# menus or file associations shared with the desktop (winemenubuilder). Wine
# links the user's Documents and Desktop to folders of HOME: an empty one of
# the test's own.
export WINEPREFIX="$RADICE/build-win/wine" HOME="$RADICE/build-win/casa"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
rm -rf "$HOME" && mkdir -p "$HOME"
export WINEPATH
WINEPATH=$(cat build-win/winepath)
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
echo "test-windows: Wine prefix ready ($((SECONDS - inizio)) s)"

# --- 1. core tests -------------------------------------------------------------
ctest --test-dir build-win -j"$(nproc)" --output-on-failure \
  --timeout 600
echo "test-windows: core tests passed ($((SECONDS - inizio)) s)"

# --- 2. exports ---------------------------------------------------------------------
# Only a program with the commands that need no window (--esporta, --converti).
if grep -q -- "--esporta" src/app/main.cpp; then
  LINUX=${VARIMO_LINUX:-build-deb/bin/varimo}
  [ -x "$LINUX" ] || bash scripts/package.sh >/dev/null
  USCITE=build-win/esportazioni
  rm -rf "$USCITE" && mkdir -p "$USCITE"
  EXE="build-win/varimo-$VERSIONE/varimo.exe"
  # The Windows name of a file: Wine's drive Z: is the root of the Unix
  # tree. Written out here rather than asked of `winepath`, a Wine process
  # that on a freshly made prefix has been seen to print nothing, which sent
  # an empty file name to the program.
  finestre() {
    local p
    p=$(realpath -m "$1")
    printf 'Z:%s' "${p//\//\\}"
  }
  for f in tests/datafile/fixtures/Varimo-dati-*; do
    n=$(basename "$f")
    esito_l=0 esito_w=0
    "$LINUX" --esporta "$f" "$USCITE/$n.linux.csv" 2>"$USCITE/$n.linux.err" || esito_l=$?
    wine "$EXE" --esporta "$(finestre "$f")" "$(finestre "$USCITE/$n.windows.csv")" \
      2>"$USCITE/$n.windows.err" || esito_w=$?
    [ "$esito_l" = "$esito_w" ] || { echo "$n: exit status $esito_l on Linux, $esito_w on Windows"; exit 1; }
    if [ "$esito_l" = 0 ]; then
      cmp "$USCITE/$n.linux.csv" "$USCITE/$n.windows.csv"
      "$LINUX" --converti "$f" "$USCITE/$n.linux.varimo"
      wine "$EXE" --converti "$(finestre "$f")" "$(finestre "$USCITE/$n.windows.varimo")"
      cmp "$USCITE/$n.linux.varimo" "$USCITE/$n.windows.varimo"
      wine "$EXE" --esporta "$(finestre "$USCITE/$n.windows.varimo")" \
        "$(finestre "$USCITE/$n.varimo.windows.csv")"
      "$LINUX" --esporta "$USCITE/$n.linux.varimo" "$USCITE/$n.varimo.linux.csv"
      cmp "$USCITE/$n.varimo.linux.csv" "$USCITE/$n.varimo.windows.csv"
      echo "$n: the same .csv and .varimo on both systems ($(wc -l <"$USCITE/$n.linux.csv") lines)"
    else
      [ ! -e "$USCITE/$n.windows.csv" ] || { echo "$n: a failed export left a file"; exit 1; }
      echo "$n: refused on both systems (status $esito_l)"
    fi
  done
  echo "test-windows: exports equal ($((SECONDS - inizio)) s)"
else
  echo "test-windows: no --esporta in this program, exports not compared"
fi

# --- 3 and 4: on Xvfb ------------------------------------------------------------
# Wine's session started above without a display: it ends, so that the
# windows below are made on the X server.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash tests/app/windows_xvfb.sh \
  "build-win/varimo-$VERSIONE" "build-win/varimo-$VERSIONE-setup.exe" build-win/schermate
wineserver -k 2>/dev/null || true
echo "test-windows: all passed ($((SECONDS - inizio)) s)"
