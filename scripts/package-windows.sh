#!/usr/bin/env bash
# Builds Varimo for Windows on Debian 12, from Debian's own packages and
# source packages only:
#   - the MinGW-w64 toolchain (g++-mingw-w64-x86-64-posix);
#   - zlib, libzip, libxlsxwriter and Qt 6 qtbase (Core, Gui, Widgets, Test and the Windows
#     platform and style plugins) built for Windows from Debian's source
#     packages, with Debian's native Qt tools as host tools; GoogleTest from
#     Debian's googletest sources. Each is built once into a cache folder
#     outside the checkout, keyed by its version and options
#     ($VARIMO_WIN_CACHE, default ~/.cache/varimo-win);
#   - Varimo itself (build-win/), its installer (NSIS) and a portable .zip.
#
#   bash scripts/package-windows.sh                  everything
#   bash scripts/package-windows.sh --dipendenze     only the cached libraries
#   bash scripts/package-windows.sh --test           also builds the core test
#                                                    programs (build-win/tests/)
set -euo pipefail
cd "$(dirname "$0")/.."
RADICE=$PWD

SOLO_DIPENDENZE=0
CON_TEST=0
for a in "$@"; do
  case "$a" in
    --dipendenze) SOLO_DIPENDENZE=1 ;;
    --test) CON_TEST=1 ;;
    *) echo "package-windows: opzione sconosciuta: $a" >&2; exit 2 ;;
  esac
done

CACHE=${VARIMO_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/varimo-win}
JOBS=${VARIMO_WIN_JOBS:-$(nproc)}
TRIPLETTA=x86_64-w64-mingw32
mkdir -p "$CACHE/sorgenti"

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# --- Debian packages -------------------------------------------------------
bash scripts/install-deps.sh

# The source packages come from the same archives as the binary ones: each
# binary entry of the machine's own package sources (its mirror, its proxy,
# its keys) gets its source twin, added once. No archive is named here.
FONTI_SRC=/etc/apt/sources.list.d/varimo-deb-src.sources
FONTI_SRC_RIGHE=/etc/apt/sources.list.d/varimo-deb-src.list
fonti_sorgenti() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$f" != "$FONTI_SRC" ] || continue
    # deb822 stanzas whose Types name "deb": the same stanza as deb-src.
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         $0 ~ /(^|\n)Types:([ \t]+[a-z-]+)*[ \t]+deb([ \t]|\n|$)/ {
           gsub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$f"
  done
}
righe_sorgenti() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && [ "$f" != "$FONTI_SRC_RIGHE" ] || continue
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f"
  done
}
if ! apt-get source --print-uris -qq zlib >/dev/null 2>&1; then
  echo "package-windows: adding the source twins of the machine's package sources"
  fonti_sorgenti | $SUDO tee "$FONTI_SRC" >/dev/null
  righe_sorgenti | $SUDO tee "$FONTI_SRC_RIGHE" >/dev/null
  [ -s "$FONTI_SRC" ] || $SUDO rm -f "$FONTI_SRC"
  [ -s "$FONTI_SRC_RIGHE" ] || $SUDO rm -f "$FONTI_SRC_RIGHE"
  $SUDO apt-get update -qq
fi

# Versions: qtbase must be the version of the native Qt that serves as host
# tools; zlib and libzip the ones of this Debian release.
versione_installata() { dpkg-query -W -f='${Version}' "$1"; }
QT_VER=$(versione_installata qt6-base-dev)
GCC_VER=$(versione_installata g++-mingw-w64-x86-64-posix)
GTEST_VER=$(versione_installata googletest)
# The newest version of a source package that the machine's archives really
# serve: an index (a security archive's, say) may list a version whose files
# its mirror does not hold, and then the next one down is taken.
versione_sorgente() {
  local nome=$1 ver
  for ver in $(apt-cache showsrc "$nome" | sed -n 's/^Version: //p' | sort -Vru); do
    if [ -f "$CACHE/sorgenti/$nome-${ver#*:}/.estratto" ] ||
       (cd "$CACHE/sorgenti" && apt-get source -qq --download-only "$nome=$ver" >/dev/null 2>&1); then
      echo "$ver"
      return 0
    fi
    echo "package-windows: i sorgenti di $nome $ver non si scaricano, provo la versione precedente" >&2
  done
  echo "package-windows: nessuna versione dei sorgenti di $nome si scarica" >&2
  return 1
}
ZLIB_VER=$(versione_sorgente zlib)
LIBZIP_VER=$(versione_sorgente libzip)
XLSX_VER=$(versione_sorgente libxlsxwriter)

# Unpacks a Debian source package (with its Debian patches applied) into
# $CACHE/sorgenti/<name>-<version> and prints that folder.
sorgente() {
  local nome=$1 ver=$2 dir="$CACHE/sorgenti/$1-${2#*:}"
  if [ ! -f "$dir/.estratto" ]; then
    rm -rf "$dir"
    (cd "$CACHE/sorgenti" && apt-get source -qq --download-only "$nome=$ver" >/dev/null &&
      dpkg-source -x --no-check "${nome}_${ver#*:}.dsc" "$dir" >/dev/null) || {
      echo "package-windows: i sorgenti di $nome $ver non si scaricano o non si estraggono" >&2
      return 1
    }
    touch "$dir/.estratto"
  fi
  echo "$dir"
}

chiave() { printf '%s\n' "$@" | sha256sum | cut -c1-12; }

# The CMake toolchain of the cross builds.
TOOLCHAIN="$CACHE/mingw-$TRIPLETTA.cmake"
cat >"$TOOLCHAIN.nuovo" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $TRIPLETTA-gcc-posix)
set(CMAKE_CXX_COMPILER $TRIPLETTA-g++-posix)
set(CMAKE_RC_COMPILER $TRIPLETTA-windres)
list(APPEND CMAKE_FIND_ROOT_PATH /usr/$TRIPLETTA \${VARIMO_WIN_PREFISSI})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
EOF
if ! cmp -s "$TOOLCHAIN.nuovo" "$TOOLCHAIN"; then mv "$TOOLCHAIN.nuovo" "$TOOLCHAIN"; else rm "$TOOLCHAIN.nuovo"; fi

# Runs a build step at low priority (the machine may be shared), timing it;
# its output goes to a log in build-win/, whose end is shown if it fails.
mkdir -p build-win
costruisci() {
  local nome=$1; shift
  local inizio=$SECONDS registro
  registro="build-win/costruzione-${nome%% *}.log"
  echo "package-windows: building $nome (log: $registro)"
  nice -n 10 "$@" >"$registro" 2>&1 || { tail -30 "$registro"; return 1; }
  echo "package-windows: $nome built in $((SECONDS - inizio)) s"
}

# --- Qt qtbase ---------------------------------------------------------------
# Only what Varimo links: Core, Gui, Widgets, Test, the Windows platform
# plugin, the offscreen one (with its FreeType fonts: the commands without a
# window and the widget tests) and the Windows styles. Debian's source leaves out the third-party
# Wintab header, so tablet events are off.
QT_OPZIONI=(
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF -DFEATURE_printsupport=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no
  -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF -DFEATURE_tabletevent=OFF -DFEATURE_zstd=OFF
  -DFEATURE_icu=OFF -DFEATURE_fontconfig=OFF -DFEATURE_system_freetype=OFF -DFEATURE_gif=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_ico=OFF -DFEATURE_sessionmanager=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_png=OFF -DFEATURE_system_doubleconversion=OFF
)
QT_PREFISSO="$CACHE/qtbase-${QT_VER#*:}-$(chiave "$GCC_VER" "${QT_OPZIONI[@]}" v1)"
if [ ! -f "$QT_PREFISSO/.fatto" ]; then
  src=$(sorgente qt6-base "$QT_VER")
  # Qt 6.4's Windows platform offers the DirectWrite font database (on
  # request; GDI's is its default) whenever DirectWrite 3 is there, but Qt
  # builds that database only along with Direct2D, which Varimo does not need:
  # without Direct2D the platform keeps to its default.
  sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$src/src/plugins/platforms/windows/qwindowsintegration.cpp"
  rm -rf "$QT_PREFISSO"
  # An interrupted build of the same version and options goes on where it
  # stopped.
  if [ "$(cat "$src-build/.prefisso" 2>/dev/null)" != "$QT_PREFISSO" ]; then
    rm -rf "$src-build"
    cmake -S "$src" -B "$src-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$QT_PREFISSO" \
      "${QT_OPZIONI[@]}" >"$CACHE/qtbase-configure.log" 2>&1 ||
      { tail -40 "$CACHE/qtbase-configure.log"; exit 1; }
    echo "$QT_PREFISSO" >"$src-build/.prefisso"
  fi
  costruisci qtbase cmake --build "$src-build" -j"$JOBS"
  cmake --install "$src-build" >/dev/null
  rm -rf "$src-build"
  touch "$QT_PREFISSO/.fatto"
fi

# --- zlib (zlib1.dll) ------------------------------------------------------------
# Debian's source leaves out zlib's Windows folder, which its own build files
# need on Windows: the library is built here directly, as Debian's own
# libz-mingw-w64 names it.
ZLIB_PREFISSO="$CACHE/zlib-${ZLIB_VER#*:}-$(chiave "$GCC_VER" zlib1-v1)"
if [ ! -f "$ZLIB_PREFISSO/.fatto" ]; then
  src=$(sorgente zlib "$ZLIB_VER")
  rm -rf "$ZLIB_PREFISSO" && mkdir -p "$ZLIB_PREFISSO/bin" "$ZLIB_PREFISSO/lib" "$ZLIB_PREFISSO/include"
  costruisci zlib $TRIPLETTA-gcc-posix -O2 -shared -o "$ZLIB_PREFISSO/bin/zlib1.dll" \
    "$src"/{adler32,compress,crc32,deflate,gzclose,gzlib,gzread,gzwrite,infback,inffast,inflate,inftrees,trees,uncompr,zutil}.c \
    -Wl,--out-implib,"$ZLIB_PREFISSO/lib/libz.dll.a"
  cp "$src/zlib.h" "$src/zconf.h" "$ZLIB_PREFISSO/include/"
  touch "$ZLIB_PREFISSO/.fatto"
fi

# --- libzip (libzip.dll) ---------------------------------------------------
LIBZIP_PREFISSO="$CACHE/libzip-${LIBZIP_VER#*:}-$(chiave "$GCC_VER" "$ZLIB_PREFISSO" shared-nocrypto-v1)"
if [ ! -f "$LIBZIP_PREFISSO/.fatto" ]; then
  src=$(sorgente libzip "$LIBZIP_VER")
  rm -rf "$LIBZIP_PREFISSO" "$src-build"
  cmake -S "$src" -B "$src-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DVARIMO_WIN_PREFISSI="$ZLIB_PREFISSO" -DCMAKE_PREFIX_PATH="$ZLIB_PREFISSO" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$LIBZIP_PREFISSO" \
    -DBUILD_SHARED_LIBS=ON -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
    -DENABLE_GNUTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF \
    -DENABLE_WINDOWS_CRYPTO=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF \
    -DBUILD_DOC=OFF >/dev/null
  costruisci libzip cmake --build "$src-build" -j"$JOBS"
  cmake --install "$src-build" >/dev/null
  rm -rf "$src-build"
  touch "$LIBZIP_PREFISSO/.fatto"
fi

# --- libxlsxwriter (libxlsxwriter.dll), with its own copy of minizip -----------
XLSX_PREFISSO="$CACHE/libxlsxwriter-${XLSX_VER#*:}-$(chiave "$GCC_VER" "$ZLIB_PREFISSO" shared-v1)"
if [ ! -f "$XLSX_PREFISSO/.fatto" ]; then
  src=$(sorgente libxlsxwriter "$XLSX_VER")
  rm -rf "$XLSX_PREFISSO" "$src-build"
  cmake -S "$src" -B "$src-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DVARIMO_WIN_PREFISSI="$ZLIB_PREFISSO" -DCMAKE_PREFIX_PATH="$ZLIB_PREFISSO" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$XLSX_PREFISSO" \
    -DBUILD_SHARED_LIBS=ON -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF >/dev/null
  costruisci libxlsxwriter cmake --build "$src-build" -j"$JOBS"
  cmake --install "$src-build" >/dev/null
  rm -rf "$src-build"
  touch "$XLSX_PREFISSO/.fatto"
fi

# --- GoogleTest (for the test programs) ---------------------------------------
GTEST_PREFISSO="$CACHE/googletest-$GTEST_VER-$(chiave "$GCC_VER" static-v1)"
if [ ! -f "$GTEST_PREFISSO/.fatto" ]; then
  rm -rf "$GTEST_PREFISSO" "$CACHE/googletest-build"
  cmake -S /usr/src/googletest -B "$CACHE/googletest-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$GTEST_PREFISSO" -DBUILD_SHARED_LIBS=OFF >/dev/null
  costruisci googletest cmake --build "$CACHE/googletest-build" -j"$JOBS"
  cmake --install "$CACHE/googletest-build" >/dev/null
  rm -rf "$CACHE/googletest-build"
  touch "$GTEST_PREFISSO/.fatto"
fi

PREFISSI="$ZLIB_PREFISSO;$LIBZIP_PREFISSO;$XLSX_PREFISSO;$QT_PREFISSO;$GTEST_PREFISSO"
echo "package-windows: libraries in $CACHE"
if [ "$SOLO_DIPENDENZE" = 1 ]; then exit 0; fi

# --- Varimo ----------------------------------------------------------------------
export PKG_CONFIG_LIBDIR="$LIBZIP_PREFISSO/lib/pkgconfig:$XLSX_PREFISSO/lib/pkgconfig"
VERSIONE=$(sed -n 's/^project(Varimo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
# Configures and builds a Windows build folder of Varimo: $1 the folder, then
# extra CMake options.
costruisci_varimo() {
  local cartella=$1 obiettivi=$2; shift 2
  cmake -S "$RADICE" -B "$cartella" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DVARIMO_WIN_PREFISSI="$PREFISSI" -DCMAKE_PREFIX_PATH="$PREFISSI" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DVARIMO_BUILD_BENCH=OFF "$@" >/dev/null
  # shellcheck disable=SC2086
  costruisci "$cartella" cmake --build "$cartella" -j"$JOBS" --target $obiettivi
}

# The folders where the program's libraries are found, in the order a Windows
# program looks for them.
CARTELLE_DLL=("$QT_PREFISSO/bin" "$LIBZIP_PREFISSO/bin" "$XLSX_PREFISSO/bin" "$ZLIB_PREFISSO/bin"
  "/usr/lib/gcc/$TRIPLETTA/$(ls /usr/lib/gcc/$TRIPLETTA | grep -- -posix | sort -V | tail -1)"
  "/usr/$TRIPLETTA/lib")
# Path of the Windows program's DLLs (a folder each, ; separated) for WINEPATH.
WINEPATH_DLL=$(IFS=';'; for c in "${CARTELLE_DLL[@]}"; do printf 'Z:%s;' "${c//\//\\}"; done)
export WINEPATH_DLL

# Copies into folder $2 the DLLs that $1 needs (and those they need), from
# CARTELLE_DLL; the system's own DLLs are left out.
copia_dll() {
  local exe=$1 dest=$2 nome c
  for nome in $($TRIPLETTA-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p'); do
    [ -f "$dest/$nome" ] && continue
    for c in "${CARTELLE_DLL[@]}"; do
      if [ -f "$c/$nome" ]; then
        cp "$c/$nome" "$dest/"
        copia_dll "$dest/$nome" "$dest"
        break
      fi
    done
  done
}

# One build folder for the program and, with --test, its core test programs
# (tests/<subsystem>/*_test.cpp, run under Wine by ctest): the program's
# libraries are built once for both.
if [ "$CON_TEST" = 1 ]; then
  costruisci_varimo build-win all -DCMAKE_BUILD_TYPE=Release -DVARIMO_BUILD_TESTS=ON \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine
  printf '%s\n' "$WINEPATH_DLL" >build-win/winepath
else
  costruisci_varimo build-win varimo -DCMAKE_BUILD_TYPE=Release -DVARIMO_BUILD_TESTS=OFF
fi

# The program as it is installed: one folder with the program, its libraries,
# Qt's plugins and Italian texts, and its data files.
PRONTO="build-win/varimo-$VERSIONE"
rm -rf "$PRONTO" && mkdir -p "$PRONTO/platforms" "$PRONTO/styles" "$PRONTO/translations"
cp build-win/bin/varimo.exe resources/data/* "$PRONTO/"
# The Windows platform, and the offscreen one of the commands without a window.
cp "$QT_PREFISSO/plugins/platforms/qwindows.dll" "$QT_PREFISSO/plugins/platforms/qoffscreen.dll" \
  "$PRONTO/platforms/"
cp "$QT_PREFISSO/plugins/styles/qwindowsvistastyle.dll" "$PRONTO/styles/"
cp /usr/share/qt6/translations/qtbase_it.qm "$PRONTO/translations/"
for f in "$PRONTO/varimo.exe" "$PRONTO"/platforms/*.dll "$PRONTO"/styles/*.dll; do
  copia_dll "$f" "$PRONTO"
done
cat >"$PRONTO/qt.conf" <<'QTCONF'
[Paths]
Prefix = .
Plugins = .
Translations = translations
QTCONF
# The licence as a Windows text file (UTF-8 with its mark, CR LF).
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' resources/qrc/help/licenza.txt; } >"$PRONTO/LICENZA.txt"
$TRIPLETTA-strip "$PRONTO"/*.exe "$PRONTO"/*.dll "$PRONTO"/*/*.dll

# The portable .zip: the same folder.
ZIP="build-win/varimo-$VERSIONE-portatile.zip"
rm -f "$ZIP"
(cd build-win && zip -qr -X "../$ZIP" "varimo-$VERSIONE")

# The installer, with the list of what it installs for its uninstaller.
ELENCO="build-win/elenco-file.nsh"
(
  cd "$PRONTO"
  find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|'
  find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|  RMDir "$INSTDIR\\&"|'
) >"$ELENCO"
SETUP="build-win/varimo-$VERSIONE-setup.exe"
costruisci installer makensis -V2 -DVERSIONE="$VERSIONE" -DCARTELLA="$RADICE/$PRONTO" \
  -DELENCO="$RADICE/$ELENCO" -DICONA="$RADICE/packaging/windows/varimo.ico" \
  -DUSCITA="$RADICE/$SETUP" packaging/windows/varimo.nsi
ls -l "$SETUP" "$ZIP"
