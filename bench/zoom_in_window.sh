#!/usr/bin/env bash
# The zoomed view in the real main window under Wine: a pointer move of a
# 100-piece group in the fit view of a 4000 x 2500 table and at 100 %, and
# a wheel step repainting the whole client (about 1920 x 1080), each from
# the message to the pixels on the screen.  Run by hand (not by CI), after
# the Windows build:
#
#   cmake --preset native && cmake --build --preset native
#   cmake --preset windows && cmake --build --preset windows
#   bench/zoom_in_window.sh [RUNS] [MOVES]
#
# Each run prints one JSON line (bench/zoom_in_window_win.cpp says what is
# in it); RUNS runs (default 3) are made in turn.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
RUNS=${1:-3}
MOVES=${2:-60}
BIN=${PUKKO_WINDOWS_BUILD:-$ROOT/build/windows}/bin
[ -f "$BIN/zoom_in_window.exe" ] || { echo "missing $BIN/zoom_in_window.exe: build the windows preset first" >&2; exit 1; }

# shellcheck source=../scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"
# shellcheck source=../scripts/xvfb.sh
source "$ROOT/scripts/xvfb.sh"
# A screen large enough for the desktop below.
pukko_private_display 140 2048x1536x24
trap 'kill "$PUKKO_PRIVATE_XVFB_PID" 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
pukko_wine_prefix

# A copy of the program's folder, so no pukko.ini of another run plays a part.
WORK=$ROOT/build/zoom_in_window
rm -rf "$WORK"
mkdir -p "$WORK"
cp -r "$BIN"/. "$WORK"/
rm -f "$WORK/pukko.ini"

# A Wine desktop whose maximised window has a client of about 1920 x 1080:
# the desktop less the caption and the menu bar.
for _ in $(seq "$RUNS"); do
  wine explorer /desktop=zoom,1920x1124 "$WORK/zoom_in_window.exe" "$MOVES" 2>/dev/null | tr -d '\r' | grep '^{'
done
