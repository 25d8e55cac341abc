#!/usr/bin/env bash
# The kill test of the recovery record under Wine: ROUNDS rounds (default
# 20), each starting pukko.exe on a 1000-piece saved game, playing scripted
# moves through its window's messages and killing it (while the first
# record's full file is written, during "状態保存", or at a random moment),
# then starting it again and checking what it offers against what was
# played (bench/recovery_kill_win.cpp says how).  Run by hand (not by CI),
# after the Windows build:
#
#   cmake --preset native && cmake --build --preset native
#   cmake --preset windows && cmake --build --preset windows
#   bench/recovery_kill.sh [ROUNDS] [SEED]
#
# One JSON line per round and a summary line; the exit status is 0 when
# every round passed.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ROUNDS=${1:-20}
SEED=${2:-1}
BIN=${PUKKO_WINDOWS_BUILD:-$ROOT/build/windows}/bin
[ -f "$BIN/recovery_kill.exe" ] || { echo "missing $BIN/recovery_kill.exe: build the windows preset first" >&2; exit 1; }

# shellcheck source=../scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"
# shellcheck source=../scripts/xvfb.sh
source "$ROOT/scripts/xvfb.sh"
pukko_display
pukko_wine_prefix

# A copy of the program's folder, kept between runs for its base.pko (made
# on the first run, about 180 MB); no pukko.ini or record of another run.
WORK=$ROOT/build/recovery_kill
mkdir -p "$WORK"
cp -r "$BIN"/. "$WORK"/
rm -f "$WORK/pukko.ini" "$WORK"/recovery.* "$WORK/image/round.pko"

wine "$WORK/recovery_kill.exe" "$ROUNDS" "$SEED" 2>/dev/null | sed -u -n 's/\r$//; /^{/p'
