#!/usr/bin/env bash
# Installs everything Varimo needs to build, run and test on Debian 12.
# Idempotent: packages already present are skipped; apt runs only when needed.
set -euo pipefail

PACCHETTI=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-tidy
  # Qt 6 Widgets and its Italian translations
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n fonts-dejavu-core
  # sound: FluidSynth and a General MIDI soundfont
  libfluidsynth-dev timgm6mb-soundfont
  # documents: zip container; spreadsheets
  libzip-dev libxlsxwriter-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool libx11-dev
  # the real program among other users: a second user (useradd), its
  # commands (setpriv) and a file-size limit (prlimit); screenshots
  passwd util-linux imagemagick
  # the documents read by real readers in the tests: LibreOffice lays out the
  # .docx files and recalculates the spreadsheets, poppler reads the PDF files
  libreoffice-writer-nogui libreoffice-calc-nogui poppler-utils
  # the data for ANAC validated against their JSON Schema
  python3-jsonschema
  # desktop integration and its validators; opening documents
  desktop-file-utils appstream shared-mime-info xdg-utils
  # the Windows build (scripts/package-windows.sh): the MinGW-w64 compiler,
  # the tools of Debian's source packages, the installer maker, the .zip;
  # its tests under Wine, with screenshots
  g++-mingw-w64-x86-64-posix dpkg-dev nsis zip wine wine64 imagemagick
)

mancanti=()
for p in "${PACCHETTI[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    mancanti+=("$p")
  fi
done

if [ ${#mancanti[@]} -eq 0 ]; then
  echo "install-deps: everything already installed"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${mancanti[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${mancanti[@]}"
