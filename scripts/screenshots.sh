#!/usr/bin/env bash
# Makes the README's screenshots from the real game under Wine:
# docs/screenshots/{browser,making,play,complete,shape}.png (the strips
# cropped to the corner they take).
#
#   scripts/screenshots.sh [OUT_DIR]
#
# The Windows package is built and unpacked into C:\pukko of the project's
# Wine prefix together with readme_shots.exe (bench/readme_shots_win.cpp),
# which drives the main window in-process and copies the screen with GDI at
# each step.  It runs in a 1280x800 Wine virtual desktop (so the windows
# have frames) on a private Xvfb display.  The cut, the scatter and the
# times in the title come from a fixed clock, so the pictures are the same
# on every run.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
export PUKKO_ROOT=$ROOT
OUT=${1:-$ROOT/docs/screenshots}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)

./scripts/package.sh >/dev/null
cmake --build --preset windows --target readme_shots >/dev/null

source scripts/wine-env.sh
pukko_wine_prefix
GAME=$WINEPREFIX/drive_c/pukko
SHOTS=$ROOT/build/screenshots/readme
rm -rf "$GAME" "$SHOTS"
mkdir -p "$GAME" "$SHOTS"
(cd "$WINEPREFIX/drive_c" && cmake -E tar xf "$ROOT/build/pukko-win64.zip")
cp build/windows/bin/readme_shots.exe "$GAME/"

source scripts/xvfb.sh
PUKKO_PRIVATE_XVFB_PID=
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$PUKKO_PRIVATE_XVFB_PID" ] && kill "$PUKKO_PRIVATE_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
pukko_private_display 171 1280x800x24
# A server of our own, on our display, whatever else runs in the prefix.
wineserver -k 2>/dev/null || true

timeout 300 wine explorer /desktop=pukko,1280x800 'C:\pukko\readme_shots.exe' "$(winepath -w "$SHOTS")"
for name in making play complete shape browser; do
  [ -f "$SHOTS/$name.bmp" ] || { echo "screenshots.sh: no $name.bmp" >&2; exit 1; }
  # The strips take the top-left corner of an otherwise empty board.
  crop=()
  [ $name = browser ] && crop=(-crop 640x300+0+0 +repage)
  # The copy's fourth byte is no alpha; no date or tool in the file either.
  convert "$SHOTS/$name.bmp" "${crop[@]}" -alpha off -strip -define png:compression-level=9 "$OUT/$name.png"
  echo "$OUT/$name.png"
done
rm -rf "$GAME"
