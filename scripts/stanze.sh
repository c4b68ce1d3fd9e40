#!/usr/bin/env bash
# Checks that the rooms of src/ include one another downward only: each room
# has a floor, and a file may include headers of rooms on lower floors and of
# its own room, never of a room on its floor or above (docs/architecture.md).
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A piano=([common]=0 [datafile]=1 [reports]=1 [progetto]=1 [calculation]=2
  [classico]=3 [help]=3 [quadro]=3 [app]=4)
errori=0
while IFS= read -r riga; do
  file=${riga%%:*}
  stanza=$(cut -d/ -f2 <<<"$file")
  inclusa=$(sed -n 's/.*#include "\([a-z_]*\)\/.*/\1/p' <<<"${riga#*:}")
  [ -n "$inclusa" ] && [ "$inclusa" != "$stanza" ] || continue
  if [ -z "${piano[$stanza]+x}" ] || [ -z "${piano[$inclusa]+x}" ]; then
    echo "stanze: $file: room without a floor ($stanza -> $inclusa)"; errori=1; continue
  fi
  if [ "${piano[$inclusa]}" -ge "${piano[$stanza]}" ]; then
    echo "stanze: $file includes $inclusa/ (floor ${piano[$inclusa]}) from $stanza/ (floor ${piano[$stanza]})"
    errori=1
  fi
done < <(grep -rn '^#include "' src --include='*.cpp' --include='*.h' | sed 's/:[0-9]*:/:/')
exit $errori
