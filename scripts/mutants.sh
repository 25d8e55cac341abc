#!/usr/bin/env bash
# Planted faults as the measure of the tests: plants one-line faults in the
# portable core, one at a time, in a private copy built in build/mutants,
# and lists those no native test catches.  The work is done by mutants.py
# beside this script (Python 3, standard library only).
#
#   scripts/mutants.sh --since REV           every changed line of src/ since REV
#   scripts/mutants.sh --sample N --seed S   N sites drawn over the whole core
#   scripts/mutants.sh --list --since REV    only list the sites
#   scripts/mutants.sh --self-test           the fixture check run by test.sh
#
# The benchmarks are left out of the private build: no test runs them.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if ! command -v python3 >/dev/null 2>&1; then
  echo "mutants.sh needs python3 (apt-get install python3)" >&2
  exit 1
fi
exec python3 "$here/mutants.py" --cmake-arg=-DPUKKO_BENCH=OFF "$@"
