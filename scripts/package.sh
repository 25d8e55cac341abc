#!/usr/bin/env bash
# Builds the Windows package build/pukko-win64.zip: one folder "pukko"
# holding pukko.exe, pukko-make.exe, the folders the game reads (image,
# pattern, back, program, program\source) and the two read-me texts, and
# nothing else: no test or measuring programs, no pukko.ini, no saved games.
#
#   scripts/package.sh [--check]
#
# The data folders are laid out afresh by the data generator, so whatever a
# run of the game left in build/windows/bin (settings, saved games) stays
# out.  Names are stored as UTF-8 (the zip's language flag is set), so
# Windows unpacks the Japanese names as they are.  Entries are sorted and
# carry the time of the last commit.
#
# --check then unpacks the zip into a folder whose path holds Japanese and
# spaces and runs the package tests of the Wine test program on it.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
export PUKKO_ROOT=$ROOT

check=0
case "${1:-}" in
  "") ;;
  --check) check=1 ;;
  *) echo "usage: scripts/package.sh [--check]" >&2; exit 2 ;;
esac

./scripts/deps.sh
./scripts/third_party.sh

jobs=$(nproc 2>/dev/null || echo 2)
# The Windows build takes its data generator from the native build.
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs" --target pukko_datagen
cmake --preset windows >/dev/null
targets=(pukko pukko-make)
[ $check -eq 1 ] && targets+=(pukko_wintests)
cmake --build --preset windows -j "$jobs" --target "${targets[@]}"

BIN=$ROOT/build/windows/bin
STAGE=$ROOT/build/package
ZIP=$ROOT/build/pukko-win64.zip
rm -rf "$STAGE" "$ZIP"
mkdir -p "$STAGE/pukko" "$STAGE/generated"

# The folders exactly as the build lays them out beside the exe.
cp -r data/. "$STAGE/pukko/"
build/native/tools/pukko_datagen "$STAGE/pukko" "$STAGE/generated" >/dev/null
rm -rf "$STAGE/generated"
cp "$BIN/pukko.exe" "$BIN/pukko-make.exe" "$STAGE/pukko/"
# Texts for Notepad: CRLF line ends, and a byte-order mark so that the
# Japanese is read as UTF-8 whatever the system's code page.
for t in README.txt 読んでください.txt; do
  { printf '\xef\xbb\xbf'; sed 's/$/\r/' "resources/package/$t"; } >"$STAGE/pukko/$t"
done

epoch=$(git log -1 --format=%ct 2>/dev/null || date +%s)
mtime=$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S UTC')
(
  cd "$STAGE"
  # Files only: a folder named here would be taken whole a second time.
  find pukko -type f | LC_ALL=C sort >files.txt
  cmake -E tar cf "$ZIP" --format=zip --mtime="$mtime" --files-from=files.txt
)

# Only the programs and folders the player needs are in the archive.
listing=$(cmake -E tar tf "$ZIP")
bad=$(echo "$listing" | grep -Ev \
  '^pukko/(((pukko|pukko-make)\.exe|README\.txt|読んでください\.txt|(image|pattern|back|program)(/.*)?))?$' || true)
[ -z "$bad" ] || { echo "package.sh: unexpected entries in the zip:" >&2; echo "$bad" >&2; exit 1; }
bad=$(echo "$listing" | grep -Ei '\.(ini|pko|exe)$' | grep -Ev '^pukko/(pukko|pukko-make)\.exe$' || true)
[ -z "$bad" ] || { echo "package.sh: unexpected files in the zip:" >&2; echo "$bad" >&2; exit 1; }
for need in pukko/pukko.exe pukko/pukko-make.exe pukko/README.txt pukko/読んでください.txt \
  pukko/program/操作法.html pukko/program/source/k_start.wav pukko/back/タイル２.bmp; do
  echo "$listing" | grep -qxF "$need" || { echo "package.sh: $need is missing" >&2; exit 1; }
done
echo "$ZIP ($(du -k "$ZIP" | cut -f1) KB, $(echo "$listing" | wc -l) files)"

[ $check -eq 1 ] || exit 0

# The player's road: the zip unpacked into a folder with Japanese and
# spaces in its path, the game started from there.
UNPACKED="$STAGE/展開 した フォルダ"
mkdir -p "$UNPACKED"
(cd "$UNPACKED" && cmake -E tar xf "$ZIP")
source scripts/wine-env.sh
source scripts/xvfb.sh
pukko_display
pukko_wine_prefix
PUKKO_PACKAGE_DIR="$UNPACKED/pukko" PUKKO_EXE_DIR="$BIN" \
  wine build/windows/tests/win/pukko_wintests.exe --gtest_filter='Package.*' --gtest_brief=1
