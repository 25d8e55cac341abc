#!/usr/bin/env bash
# Installs every system package the build, the tests and the Wine runs need,
# on Debian 12.  Idempotent: packages already present are not touched.
set -euo pipefail

PKGS=(
  cmake ninja-build g++ pkg-config
  libjpeg62-turbo-dev libgtest-dev libbenchmark-dev libstb-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  nasm googletest dpkg-dev
  wine wine64 xvfb x11-utils imagemagick xdotool
  locales fonts-ipafont-gothic fonts-wine
  python3
)

missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "pukko needs these Debian packages; install them as root:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Japanese locale for the Wine runs: the menu and messages are drawn from it.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Generate the ja_JP.UTF-8 locale as root: echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen && locale-gen" >&2
    exit 1
  fi
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
