#!/usr/bin/env bash
# Builds pukko and starts it under Wine.
#
# With a display (DISPLAY set and answering) the game runs in a window of
# its own until it is closed.  Without one it starts headless on Xvfb,
# writes a screenshot once its window is up, prints the PNG's path and
# exits.  Everything it needs is set up first: Debian packages and the
# Japanese locale (scripts/deps.sh), the cross-built libraries
# (scripts/third_party.sh), and the project's own Wine prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
export PUKKO_ROOT=$ROOT

./scripts/deps.sh
./scripts/third_party.sh

jobs=$(nproc 2>/dev/null || echo 2)
# The Windows build takes its data generator from the native build.
echo "=== native build (data generator) ==="
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs" --target pukko_datagen
echo "=== Windows build ==="
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs" --target pukko

BIN=$ROOT/build/windows/bin
source scripts/wine-env.sh
pukko_wine_prefix

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  cd "$BIN"
  exec wine pukko.exe
fi
echo "No display: starting pukko headless for a screenshot." >&2
exec ./scripts/screenshot.sh "$BIN" "$ROOT/build/screenshots/pukko.png"
