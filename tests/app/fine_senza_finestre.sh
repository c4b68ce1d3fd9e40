#!/usr/bin/env bash
# Starts the real program on Xvfb with a project file (the calculation window
# on screen, the framework window loaded but hidden), closes the calculation
# window as its frame's close box does, and expects the program to end within
# a second, with status 0 (the fourth argument may allow more milliseconds for
# a sanitizer build, whose exit checks the whole heap).
set -uo pipefail
PROGRAMMA="$1"
CHIUDI="$2"
PROGETTO="$3"
LIMITE_MS="${4:-1000}"
if [ -z "${DENTRO_XVFB:-}" ]; then
  DENTRO_XVFB=1 exec xvfb-run -a -s "-screen 0 1366x768x24 -noreset" "$0" "$@"
fi
unset QT_QPA_PLATFORM
cd "$(mktemp -d)"
"$PROGRAMMA" "$PROGETTO" &
pid=$!
finestra=""
for _ in $(seq 1 150); do
  finestra=$(xdotool search --onlyvisible --name '^Varimo: calcolo' 2>/dev/null | head -1)
  [ -n "$finestra" ] && break
  if ! kill -0 "$pid" 2>/dev/null; then echo "program ended before showing its window"; exit 1; fi
  sleep 0.2
done
if [ -z "$finestra" ]; then
  echo "calculation window did not appear"; kill "$pid"; exit 1
fi
sleep 0.5
inizio=$(date +%s%N)
"$CHIUDI" "$finestra" || { kill "$pid"; exit 1; }
while :; do
  ms=$(( ($(date +%s%N) - inizio) / 1000000 ))
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"; esito=$?
    echo "program ended ${ms} ms after the close, status $esito"
    exit "$esito"
  fi
  [ "$ms" -gt "$LIMITE_MS" ] && break
  sleep 0.02
done
echo "program still running ${LIMITE_MS} ms after its last window was closed"
kill "$pid"; exit 1
