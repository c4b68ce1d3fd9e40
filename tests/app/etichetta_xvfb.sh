#!/usr/bin/env bash
# On a real X server: types a label past 50 characters, fast, into the
# calculation window. The length warning comes once and takes no key: every
# character reaches the box, as the saved file shows.
set -uo pipefail
PROGRAMMA="$1"
if [ -z "${DENTRO_XVFB:-}" ]; then
  DENTRO_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
unset QT_QPA_PLATFORM
cartella="$(mktemp -d)"
trap 'rm -rf "$cartella"' EXIT
export HOME="$cartella/casa" XDG_CONFIG_HOME="$cartella/casa/.config"
mkdir -p "$HOME/Documents"
cd "$cartella"
# A framework the data check passes (S = 10 % of A), so that Ctrl+S saves.
{
  printf '"Scuola","euro"\r\n'
  printf '"Lavori","1000","0",0,\r\n'
  for i in $(seq 2 16); do printf '"voce %s","","0",0,\r\n' "$i"; done
  printf '"IVA sui lavori","100","10","1000",1\r\n'
  printf '"Totale somme a disposizione","100","0",0,\r\n'
} > Varimo-dati-prova

"$PROGRAMMA" "$cartella/Varimo-dati-prova" &
pid=$!
finestra=""
for _ in $(seq 1 100); do
  finestra=$(xdotool search --name '^Varimo: calcolo' 2>/dev/null | head -1)
  [ -n "$finestra" ] && break
  if ! kill -0 "$pid" 2>/dev/null; then echo "program ended before showing its window"; exit 1; fi
  sleep 0.2
done
if [ -z "$finestra" ]; then
  echo "calculation window did not appear"; kill "$pid"; exit 1
fi
xdotool windowfocus --sync "$finestra" 2>/dev/null || true
sleep 0.5
# The first text box (row A's label, "Lavori") has the focus: 60 more
# characters, typed quickly, cross 50 at the 45th.
aggiunta="abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
xdotool key --clearmodifiers End
xdotool type --delay 15 "$aggiunta"
sleep 1
avvisi=$(xdotool search --name '^Varimo: aiuto in linea$' 2>/dev/null | wc -l)
xdotool windowfocus --sync "$finestra" 2>/dev/null || true
xdotool key --clearmodifiers ctrl+s
atteso="\"Lavori$aggiunta\",\"1000\""
for _ in $(seq 1 50); do
  grep -q "$atteso" Varimo-dati-prova 2>/dev/null && break
  sleep 0.2
done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
if ! grep -q "$atteso" Varimo-dati-prova; then
  echo "the saved label is not the typed one:"; sed -n 2p Varimo-dati-prova; exit 1
fi
if [ "$avvisi" != 1 ]; then echo "length warnings shown: $avvisi (expected 1)"; exit 1; fi
echo "label kept whole, one warning"
