#!/usr/bin/env bash
# Starts the real program on a real X server (Xvfb), waits for the splash
# window, presses a key on it and expects the program to end with status 0.
set -uo pipefail
PROGRAMMA="$1"
if [ -z "${DENTRO_XVFB:-}" ]; then
  DENTRO_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
unset QT_QPA_PLATFORM
cd "$(mktemp -d)"
"$PROGRAMMA" &
pid=$!
finestra=""
for _ in $(seq 1 100); do
  finestra=$(xdotool search --name '^Varimo$' 2>/dev/null | head -1)
  [ -n "$finestra" ] && break
  if ! kill -0 "$pid" 2>/dev/null; then echo "program ended before showing the splash"; exit 1; fi
  sleep 0.2
done
if [ -z "$finestra" ]; then
  echo "splash window did not appear"; kill "$pid"; exit 1
fi
echo "splash window $finestra is shown"
xdotool windowfocus --sync "$finestra" 2>/dev/null || true
sleep 0.5
xdotool key --clearmodifiers x
for _ in $(seq 1 50); do
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"; esito=$?
    echo "program ended with status $esito"
    exit "$esito"
  fi
  sleep 0.2
done
echo "program still running after the key press"; kill "$pid"; exit 1
