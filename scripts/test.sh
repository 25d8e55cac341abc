#!/usr/bin/env bash
# Builds everything and runs every test: native (GoogleTest), the same
# built with sanitizers (the strip, scan and cutting worker tests also with
# the thread sanitizer), the fuzz targets' corpus replay and a short
# deterministic fuzz run, the Windows tests under Wine and the Windows
# package.  Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
export PUKKO_ROOT=$ROOT

./scripts/deps.sh
./scripts/third_party.sh

jobs=$(nproc 2>/dev/null || echo 2)
status=0
step() { echo; echo "=== $* ==="; }

# The rooms of src/ stand in layers; an include that runs back up fails.
step "rooms"
./scripts/check-rooms.sh || status=1

# The mutation script on its fixture: of three planted faults it must report
# exactly the one the fixture's test does not catch (a few seconds).
step "mutation script self-test"
./scripts/mutants.sh --self-test || status=1

step "native build"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"

step "native tests"
ctest --preset native -j "$jobs" || status=1

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer:
# any report stops its test program, so the test fails.
step "native tests with sanitizers"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs" || status=1

# The strip and folder scan tests, whose worker thread fills what the
# user-interface thread draws, and the cutting workers' test, built with
# ThreadSanitizer: a race it sees stops the test program.  Only those test
# programs are built.
step "strip, scan and cutting worker tests with the thread sanitizer"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs" || status=1

if [ -d fuzz ] && ls fuzz/*.cpp >/dev/null 2>&1; then
  step "fuzz targets"
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j "$jobs"
  ./scripts/fuzz.sh || status=1
fi

step "Windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

step "Windows tests under Wine"
source scripts/wine-env.sh
source scripts/xvfb.sh
pukko_display
pukko_wine_prefix
ctest --preset windows || status=1

# The zip a player downloads, unpacked into a folder whose path holds
# Japanese and spaces, and started from there.
step "Windows package"
./scripts/package.sh --check || status=1
wineserver -k 2>/dev/null || true

if [ $status -ne 0 ]; then
  echo; echo "Some tests FAILED." >&2
else
  echo; echo "All tests passed."
fi
exit $status
