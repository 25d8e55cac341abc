#!/usr/bin/env bash
# Making a puzzle in the window against making it without one, under Wine
# on Xvfb.  Run by hand (not by CI), after both builds:
#
#   cmake --preset native && cmake --build --preset native
#   cmake --preset windows && cmake --build --preset windows
#   bench/making_in_window.sh [RUNS]
#
# PUKKO_WINDOWS_BUILD names another Windows build folder to measure (an
# older commit's, to compare).
#
# For each case (300 pieces of a 1080 x 1920 photograph at 1200 pixels, and
# 1000 pieces of a 4000 x 2250 one at 2000 pixels) the real pukko.exe is
# started maximised, the piece count and size are chosen from its menu, the
# photograph is dropped on its window, and the time until play starts is
# taken (RUNS times, default 5, the best counted).  In the same run
# pukko-make.exe makes the same puzzle from the same photograph under Wine:
# its own figures (reading the picture, labelling, cutting, neighbours; the
# saved game's writing left out) are the work itself.  The game seeds its
# cut from the clock and pukko-make from --seed; a grid puzzle has one piece
# per cell either way, so both make the same number of pieces and steps.
#
# Printed first: what a posted message costs going round by itself in a
# window (every step pays it; the maker, calling the steps in a loop, does
# not).  Then per case: both times, their difference per making step (one
# step per mask row and per piece, and four more), their ratio, the longest
# single step (a separate run in which the helper asks the window for an
# answer every millisecond; an answer comes only between steps) and the
# drop's own message (reading the picture and preparing the mask).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
RUNS=${1:-5}
WIN=${PUKKO_WINDOWS_BUILD:-$ROOT/build/windows}
WORK=$ROOT/build/making_in_window
BIN=$WIN/bin
DEPS=${PUKKO_DEPS_PREFIX:-$ROOT/build/deps/mingw}

for f in "$BIN/pukko.exe" "$BIN/pukko-make.exe"; do
  [ -f "$f" ] || { echo "missing $f: build the windows preset first" >&2; exit 1; }
done

# shellcheck source=../scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"
# shellcheck source=../scripts/xvfb.sh
source "$ROOT/scripts/xvfb.sh"
pukko_display
pukko_wine_prefix

mkdir -p "$WORK"
HELPER=$WORK/making_in_window.exe
if [ ! -f "$HELPER" ] || [ "$ROOT/bench/making_in_window.cpp" -nt "$HELPER" ]; then
  x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -Wall -Wextra -Werror -municode -static \
    -I"$ROOT/tests" -I"$DEPS/include" "$ROOT/bench/making_in_window.cpp" \
    -L"$DEPS/lib" -ljpeg -o "$HELPER"
fi

winpath() { winepath -w "$1" 2>/dev/null; }

# A Wine desktop of the screen's size, as a player's: the window is
# maximised in it with its frame, caption and menu.
desktop() { wine explorer /desktop=pukko,1280x1024 "$@" 2>/dev/null; }

# A fresh copy of the program and what it finds beside it, so no pukko.ini
# or saved game of an earlier run plays a part.
GAME=$WORK/game
rm -rf "$GAME"
mkdir -p "$GAME"
cp -r "$BIN"/. "$GAME"/
rm -f "$GAME/pukko.ini"

photo() {  # W H -> path
  local p=$WORK/photo_$1x$2.jpg
  [ -f "$p" ] || wine "$HELPER" photo "$1" "$2" "$(winpath "$p")" >/dev/null
  echo "$p"
}

field() {  # JSON NAME -> value
  sed -n "s/.*\"$2\":\"\{0,1\}\([^,\"}]*\).*/\1/p" <<<"$1"
}

best() {  # the smallest of the numbers given
  printf '%s\n' "$@" | sort -g | head -n 1
}

median() {  # the middle one of the numbers given (the lower of two)
  printf '%s\n' "$@" | sort -g | sed -n "$((($# + 1) / 2))p"
}

message=$(field "$(desktop "$HELPER" chain | tr -d '\r')" message_ms)
echo "a posted message going round by itself: $message ms"
echo "case                      window_ms  make_ms  diff_ms  steps  diff_per_step_ms  ratio  longest_step_ms  drop_ms"
for puzzle in "300 1200 1080 1920" "1000 2000 4000 2250"; do
  read -r pieces size w h <<<"$puzzle"
  pic=$(photo "$w" "$h")
  # The picture lies in a folder of its own: closing the game could write a
  # saved game beside it.
  folder=$WORK/drop_$w
  mkdir -p "$folder"
  cp -f "$pic" "$folder/photo.jpg"
  picwin=$(winpath "$folder/photo.jpg")

  # The game and the maker take turns, so both see the same load of the
  # machine; the best of each counts.
  windowTimes=() makeTimes=()
  for _ in $(seq "$RUNS"); do
    rm -f "$folder/photo.pko"
    out=$(desktop "$HELPER" drop "$(winpath "$GAME/pukko.exe")" "$pieces" "$size" "$picwin" | tr -d '\r')
    windowTimes+=("$(field "$out" drop_to_play_ms)")
    client=$(field "$out" client)
    gamePieces=$(field "$out" pieces)
    json=$(wine "$GAME/pukko-make.exe" --pieces "$pieces" --size "$size" --seed 1 --board "$client" \
      "$picwin" "$(winpath "$WORK/made.pko")" 2>/dev/null | tr -d '\r')
    makeTimes+=("$(awk -v t="$(field "$json" total_ms)" -v w="$(field "$json" write_ms)" 'BEGIN { print t - w }')")
  done
  rm -f "$folder/photo.pko"
  probe=$(desktop "$HELPER" drop "$(winpath "$GAME/pukko.exe")" "$pieces" "$size" "$picwin" --probe | tr -d '\r')
  echo "  window ms: ${windowTimes[*]}; pukko-make ms: ${makeTimes[*]}" >&2
  madePieces=$(field "$json" pieces)
  height=$(field "$json" height)
  [ "$madePieces" = "$gamePieces" ] || echo "warning: the game made $gamePieces pieces, pukko-make $madePieces" >&2

  window=$(best "${windowTimes[@]}")
  make=$(best "${makeTimes[@]}")
  echo "  medians: window $(median "${windowTimes[@]}") ms, pukko-make $(median "${makeTimes[@]}") ms" >&2
  # One step per mask row (twice the picture's height) and per piece, and
  # the rim width, the cutting order, the neighbours and the start of play.
  steps=$((2 * height + madePieces + 4))
  awk -v c="$pieces pieces ${w}x$h at $size" -v win="$window" -v mk="$make" -v st="$steps" \
    -v lg="$(field "$probe" longest_step_ms)" -v dr="$(field "$probe" drop_ms)" \
    'BEGIN { printf "%-25s %9.0f %8.0f %8.0f %6d %17.3f %6.2f %16.1f %8.0f\n",
             c, win, mk, win - mk, st, (win - mk) / st, win / mk, lg, dr }'
done
