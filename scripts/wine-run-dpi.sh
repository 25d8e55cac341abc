#!/usr/bin/env bash
# Runs a Windows program under Wine as on a screen of another DPI:
#   scripts/wine-run-dpi.sh DPI program.exe [arguments]
# The program gets a Wine prefix of its own (build/wineprefix-DPI, or
# PUKKO_DPI_WINEPREFIX) whose LogPixels is DPI, so the project's prefix
# stays at 96 for every other test.  The Japanese locale and the display
# are those of wine-env.sh and the caller.
set -u
dpi=$1
shift
root=$(cd "$(dirname "$0")/.." && pwd)
export PUKKO_WINEPREFIX=${PUKKO_DPI_WINEPREFIX:-$root/build/wineprefix-$dpi}
source "$root/scripts/wine-env.sh"
pukko_wine_prefix
(
  flock 9
  if [ ! -f "$WINEPREFIX/.logpixels-$dpi" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    # The server writes the registry when it ends; the next process reads it.
    wineserver -w 2>/dev/null || true
    touch "$WINEPREFIX/.logpixels-$dpi"
  fi
) 9>"$WINEPREFIX.lock"
exec wine "$@"
