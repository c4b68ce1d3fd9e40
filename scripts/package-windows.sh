#!/usr/bin/env bash
# Builds Varimo for Windows on Debian 12, from Debian's own packages and
# source packages only:
#   - the MinGW-w64 toolchain (g++-mingw-w64-x86-64-posix);
#   - zlib, libzip and Qt 6 qtbase (Core, Gui, Widgets, Test and the Windows
#     platform and style plugins) built for Windows from Debian's source
#     packages, with Debian's native Qt tools as host tools; GoogleTest from
#     Debian's googletest sources. Each is built once into a cache folder
#     outside the checkout, keyed by its version and options
#     ($VARIMO_WIN_CACHE, default ~/.cache/varimo-win);
#   - Varimo itself (build-win/), its installer (NSIS) and a portable .zip.
#
#   bash scripts/package-windows.sh                  everything
#   bash scripts/package-windows.sh --dipendenze     only the cached libraries
#   bash scripts/package-windows.sh --test           also builds the test programs
#                                                    (build-win-test/)
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
PACCHETTI=(g++-mingw-w64-x86-64-posix wine64 nsis dpkg-dev zip xvfb xauth
  imagemagick qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
  libgtest-dev googletest cmake ninja-build pkg-config perl python3)
mancanti=()
for p in "${PACCHETTI[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    mancanti+=("$p")
  fi
done
if [ ${#mancanti[@]} -gt 0 ]; then
  echo "package-windows: installing ${mancanti[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${mancanti[@]}"
fi

# The source packages come from the same archive as the binary ones: a
# deb-src entry for each Debian source of this machine.
FONTI_SRC=/etc/apt/sources.list.d/varimo-deb-src.sources
if ! apt-get source --print-uris -qq zlib >/dev/null 2>&1; then
  echo "package-windows: adding $FONTI_SRC"
  $SUDO tee "$FONTI_SRC" >/dev/null <<'EOF'
# Debian source packages, for the Windows build of Varimo
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  $SUDO apt-get update -qq
fi

# Versions: qtbase must be the version of the native Qt that serves as host
# tools; zlib and libzip the ones of this Debian release.
versione_installata() { dpkg-query -W -f='${Version}' "$1"; }
QT_VER=$(versione_installata qt6-base-dev)
GCC_VER=$(versione_installata g++-mingw-w64-x86-64-posix)
GTEST_VER=$(versione_installata googletest)
ZLIB_VER=$(apt-cache showsrc zlib | sed -n 's/^Version: //p' | sort -V | tail -1)
LIBZIP_VER=$(apt-cache showsrc libzip | sed -n 's/^Version: //p' | sort -V | tail -1)

# Unpacks a Debian source package (with its Debian patches applied) into
# $CACHE/sorgenti/<name>-<version> and prints that folder.
sorgente() {
  local nome=$1 ver=$2 dir="$CACHE/sorgenti/$1-${2#*:}"
  if [ ! -f "$dir/.estratto" ]; then
    rm -rf "$dir"
    (cd "$CACHE/sorgenti" && apt-get source -qq --download-only "$nome=$ver" >/dev/null &&
      dpkg-source -x --no-check "${nome}_${ver#*:}.dsc" "$dir" >/dev/null)
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

# Runs a build step at low priority (the machine may be shared), timing it.
costruisci() {
  local nome=$1; shift
  local inizio=$SECONDS
  echo "package-windows: building $nome"
  nice -n 10 "$@"
  echo "package-windows: $nome built in $((SECONDS - inizio)) s"
}

# --- Qt qtbase ---------------------------------------------------------------
# Only what Varimo links: Core, Gui, Widgets, Test, the Windows platform
# plugin and the Windows styles. Debian's source leaves out the third-party
# Wintab header, so tablet events are off.
QT_OPZIONI=(
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF -DFEATURE_printsupport=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no
  -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF -DFEATURE_tabletevent=OFF -DFEATURE_zstd=OFF
  -DFEATURE_icu=OFF -DFEATURE_freetype=OFF -DFEATURE_fontconfig=OFF -DFEATURE_gif=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_ico=OFF -DFEATURE_sessionmanager=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_png=OFF -DFEATURE_system_doubleconversion=OFF
)
QT_PREFISSO="$CACHE/qtbase-${QT_VER#*:}-$(chiave "$GCC_VER" "${QT_OPZIONI[@]}" v1)"
if [ ! -f "$QT_PREFISSO/.fatto" ]; then
  src=$(sorgente qt6-base "$QT_VER")
  rm -rf "$QT_PREFISSO" "$src-build"
  cmake -S "$src" -B "$src-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$QT_PREFISSO" \
    "${QT_OPZIONI[@]}" >"$CACHE/qtbase-configure.log" 2>&1 ||
    { tail -40 "$CACHE/qtbase-configure.log"; exit 1; }
  costruisci qtbase cmake --build "$src-build" -j"$JOBS"
  cmake --install "$src-build" >/dev/null
  rm -rf "$src-build"
  touch "$QT_PREFISSO/.fatto"
fi

# --- zlib ------------------------------------------------------------------------
ZLIB_PREFISSO="$CACHE/zlib-${ZLIB_VER#*:}-$(chiave "$GCC_VER" shared-v1)"
if [ ! -f "$ZLIB_PREFISSO/.fatto" ]; then
  src=$(sorgente zlib "$ZLIB_VER")
  rm -rf "$ZLIB_PREFISSO" "$src-build"
  cmake -S "$src" -B "$src-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$ZLIB_PREFISSO" >/dev/null
  costruisci zlib cmake --build "$src-build" -j"$JOBS" --target zlib
  cmake --install "$src-build" >/dev/null
  rm -rf "$src-build"
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
    -DBUILD_SHARED_LIBS=ON -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
    -DENABLE_GNUTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF \
    -DENABLE_WINDOWS_CRYPTO=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF \
    -DBUILD_DOC=OFF >/dev/null
  costruisci libzip cmake --build "$src-build" -j"$JOBS"
  cmake --install "$src-build" >/dev/null
  rm -rf "$src-build"
  touch "$LIBZIP_PREFISSO/.fatto"
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

PREFISSI="$ZLIB_PREFISSO;$LIBZIP_PREFISSO;$QT_PREFISSO;$GTEST_PREFISSO"
echo "package-windows: libraries in $CACHE"
if [ "$SOLO_DIPENDENZE" = 1 ]; then exit 0; fi
