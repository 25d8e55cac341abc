#!/usr/bin/env bash
# Under Wine on Xvfb: the picture strip opens on a folder of large
# photographs (200 by default) and keeps moving while its worker makes the
# cells; prints the longest time between two strip steps.  Run by hand
# after building the windows preset:
#   bench/browser_in_window.sh [PICTURES]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"
source "$ROOT/scripts/xvfb.sh"
pukko_display
pukko_wine_prefix
cd "$ROOT/build/windows/bin"
wine strip_gaps.exe "${1:-200}"
