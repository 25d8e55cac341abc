#!/usr/bin/env bash
# Runs pukko.exe headless and writes a screenshot of what the player sees.
#
#   scripts/screenshot.sh [EXE_DIR] [PNG]
#
# EXE_DIR holds pukko.exe and its data folders (default build/windows/bin);
# PNG is the picture to write (default build/screenshots/pukko.png).  The
# program runs in a Wine virtual desktop of 1280x1024 on a private Xvfb
# display, so its window has a frame and a title bar.  Once the window has
# painted, the whole screen is captured, the program is asked to close as
# the player would, and the path of the PNG is printed.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
EXE_DIR=$(cd "${1:-$ROOT/build/windows/bin}" && pwd)
OUT=${2:-$ROOT/build/screenshots/pukko.png}
mkdir -p "$(dirname "$OUT")"
OUT=$(cd "$(dirname "$OUT")" && pwd)/$(basename "$OUT")
[ -f "$EXE_DIR/pukko.exe" ] || { echo "no pukko.exe in $EXE_DIR" >&2; exit 1; }

source "$ROOT/scripts/wine-env.sh"
pukko_wine_prefix

# A display of our own, whatever DISPLAY says: the picture must not depend
# on the desktop the script happens to run under.
source "$ROOT/scripts/xvfb.sh"
PUKKO_PRIVATE_XVFB_PID=
WINE_PID=
cleanup() {
  [ -n "$WINE_PID" ] && kill "$WINE_PID" 2>/dev/null || true
  [ -n "$PUKKO_PRIVATE_XVFB_PID" ] && kill "$PUKKO_PRIVATE_XVFB_PID" 2>/dev/null || true
  rm -f "${SHOT:-}" 2>/dev/null || true
}
trap cleanup EXIT
pukko_private_display 130 1280x1024x24

SHOT=$(mktemp --suffix=.png)
pixel() {  # colour of the screen's centre
  import -window root "$SHOT" 2>/dev/null &&
    convert "$SHOT" -format '%[pixel:p{640,560}]' info: 2>/dev/null
}

cd "$EXE_DIR"
wine explorer /desktop=pukko,1280x1024 pukko.exe >/dev/null 2>&1 &
WINE_PID=$!

# The window is up when the desktop's centre changes from the empty
# desktop's colour to the board's, and stays so for a moment.
first=
for _ in $(seq 1 120); do
  sleep 0.5
  kill -0 "$WINE_PID" 2>/dev/null || { echo "pukko.exe ended before its window showed" >&2; exit 1; }
  p=$(pixel || true)
  [ -z "$p" ] && continue
  if [ -z "$first" ]; then first=$p; continue; fi
  if [ "$p" != "$first" ]; then sleep 2; break; fi
done
import -window root "$OUT"

# Close the program as the player would (WM_CLOSE from inside its desktop),
# so that it saves its settings and leaves no process behind.
wine explorer /desktop=pukko taskkill /im pukko.exe >/dev/null 2>&1 || true
for _ in $(seq 1 40); do
  kill -0 "$WINE_PID" 2>/dev/null || break
  sleep 0.25
done
echo "$OUT"
