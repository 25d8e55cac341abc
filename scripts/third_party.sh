#!/usr/bin/env bash
# Cross-builds the third-party libraries of the Windows build from Debian's
# own sources: libjpeg-turbo (static, with its nasm SIMD code) and GoogleTest.
# Results go to build/deps/mingw (a prefix with include/ and lib/).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
DEPS=$ROOT/build/deps
PREFIX=$DEPS/mingw
TOOLCHAIN=$ROOT/cmake/mingw-w64-x86_64.cmake
mkdir -p "$DEPS" "$PREFIX"

jobs=$(nproc 2>/dev/null || echo 2)

# --- libjpeg-turbo ----------------------------------------------------------
if [ ! -f "$PREFIX/lib/libjpeg.a" ]; then
  src=$(ls -d "$DEPS"/libjpeg-turbo-*/ 2>/dev/null | head -n1 || true)
  if [ -z "$src" ]; then
    if ! apt-get source --print-uris libjpeg-turbo >/dev/null 2>&1; then
      if [ "$(id -u)" -ne 0 ]; then
        echo "Add a deb-src entry for bookworm (as root) so that 'apt-get source libjpeg-turbo' works." >&2
        exit 1
      fi
      cat > /etc/apt/sources.list.d/pukko-deb-src.sources <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
      apt-get update -qq
    fi
    (cd "$DEPS" && apt-get source -qq --download-only libjpeg-turbo >/dev/null \
       && dpkg-source --no-check -x libjpeg-turbo_*.dsc >/dev/null)
    src=$(ls -d "$DEPS"/libjpeg-turbo-*/ | head -n1)
  fi
  rm -rf "$DEPS/jpeg-build"
  cmake -S "$src" -B "$DEPS/jpeg-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm \
    -DCMAKE_SYSTEM_PROCESSOR=AMD64 -Wno-dev >/dev/null
  cmake --build "$DEPS/jpeg-build" -j "$jobs" >/dev/null
  cmake --install "$DEPS/jpeg-build" >/dev/null
  echo "libjpeg-turbo built for Windows."
fi

# --- GoogleTest -------------------------------------------------------------
if [ ! -f "$PREFIX/lib/libgtest.a" ]; then
  rm -rf "$DEPS/gtest-build"
  cmake -S /usr/src/googletest -B "$DEPS/gtest-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$DEPS/gtest-build" -j "$jobs" >/dev/null
  cmake --install "$DEPS/gtest-build" >/dev/null
  echo "GoogleTest built for Windows."
fi
