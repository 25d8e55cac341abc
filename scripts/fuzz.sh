#!/usr/bin/env bash
# Replays the committed seed corpus through each fuzz target, then runs a
# short deterministic fuzz session for each (fixed seed and run count).
# Expects the fuzz preset built (build/fuzz, or PUKKO_FUZZ_BUILD).  Exits
# non-zero on any crash, leak, sanitizer report or over-large allocation;
# the input that caused it is kept in <build>/fuzz-artifacts.
#
# New inputs the fuzzer finds go to a scratch folder, never into the
# committed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=${PUKKO_FUZZ_BUILD:-build/fuzz}
RUNS=${PUKKO_FUZZ_RUNS:-20000}
# A saved game that reads is played on a 640 x 480 board, some ten times
# slower a run than a picture read: fewer runs keep its session short.
PKO_RUNS=${PUKKO_FUZZ_PKO_RUNS:-10000}
ARTIFACTS=$BUILD/fuzz-artifacts
mkdir -p "$ARTIFACTS"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The readers never need more than the fuzz build's picture limit in one
# block (4 million pixels, 16 MB) or the decoder's 64 MB working memory; a
# larger single allocation means a size went unchecked.  The saved-game
# reader allocates no more than its input holds.
common=(-malloc_limit_mb=128 -rss_limit_mb=1024 -timeout=20 -artifact_prefix="$ARTIFACTS/")

status=0
for target in bmp jpeg pko; do
  exe=$BUILD/fuzz/fuzz_$target
  corpus=fuzz/corpus/$target
  if [ ! -x "$exe" ]; then
    echo "fuzz.sh: $exe is missing; build the fuzz preset first" >&2
    exit 1
  fi

  echo "--- fuzz_$target: replaying $(ls "$corpus" | wc -l) corpus files"
  if ! "$exe" "${common[@]}" "$corpus"/* >"$scratch/replay_$target.log" 2>&1; then
    tail -n 40 "$scratch/replay_$target.log" >&2
    status=1
    continue
  fi

  runs=$RUNS
  [ "$target" = pko ] && runs=$PKO_RUNS
  echo "--- fuzz_$target: $runs runs from seed 1"
  mkdir -p "$scratch/new_$target"
  start=$SECONDS
  if ! "$exe" "${common[@]}" -seed=1 -runs="$runs" -print_final_stats=1 \
      "$scratch/new_$target" "$corpus" >"$scratch/fuzz_$target.log" 2>&1; then
    tail -n 40 "$scratch/fuzz_$target.log" >&2
    status=1
    continue
  fi
  grep -E '^stat::(number_of_executed_units|new_units_added|peak_rss_mb)' "$scratch/fuzz_$target.log" || true
  echo "    done in $((SECONDS - start)) s"
done
exit $status
