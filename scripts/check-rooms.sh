#!/usr/bin/env bash
# Checks the layers of src/: a file includes only files of its own room or
# of the rooms below it, and no two files include each other (a header and
# its .cpp count as one file).  Prints every include that breaks a rule and
# exits non-zero when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

# Lowest first; the rooms of one line stand side by side and do not include
# one another.
layers=(
  "base"
  "config"
  "image"
  "pieces"
  "making views pattern"
  "browser"
  "game"
  "app"
)

declare -A level
for i in "${!layers[@]}"; do
  for room in ${layers[$i]}; do level[$room]=$i; done
done

status=0
for dir in src/*/; do
  room=$(basename "$dir")
  if [ -z "${level[$room]+x}" ]; then
    echo "src/$room: a room of no layer (add it to scripts/check-rooms.sh)"
    status=1
  fi
done

# "file unit -> included unit" for every include of a room's file, units
# named room/stem.
edges=$(grep -rHo --include='*.h' --include='*.cpp' '^#include "[a-z]*/[A-Za-z0-9_]*\.h"' src |
  sed -E 's#^src/([^:]*)\.(h|cpp):\#include "([^"]*)\.h"$#\1 \3#' | sort -u)

while read -r from to; do
  [ -n "$from" ] || continue
  [ "$from" != "$to" ] || continue
  fromRoom=${from%%/*}
  toRoom=${to%%/*}
  [ -n "${level[$toRoom]+x}" ] || continue  # not a room (resources, third-party)
  [ "$fromRoom" != "$toRoom" ] || continue
  if [ "${level[$toRoom]}" -ge "${level[$fromRoom]}" ]; then
    echo "src/$from includes $to: $toRoom is not below $fromRoom"
    status=1
  fi
done <<< "$edges"

# Pairs that include each other.
while read -r a b; do
  [ -n "$a" ] || continue
  echo "src/$a and src/$b include each other"
  status=1
done < <(awk '$1 != $2 { e[$1 " " $2] = 1 } END { for (k in e) { split(k, p, " "); if (p[1] < p[2] && ((p[2] " " p[1]) in e)) print p[1], p[2] } }' <<< "$edges")

[ "$status" -eq 0 ] && echo "rooms: every include goes down, and no two files include each other"
exit "$status"
