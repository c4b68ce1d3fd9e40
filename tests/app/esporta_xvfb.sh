#!/usr/bin/env bash
# On a real X server (Xvfb, with the X11 key bindings of the text boxes):
# starts the program on a project file, presses Ctrl+E with the cursor in a
# text box of the calculation window, accepts the file the save dialog
# proposes and expects a PDF in the documents folder.
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
{
  printf '"Scuola","euro"\r\n'
  printf '"Lavori a misura","335497,87","0",0,\r\n'
  for i in $(seq 2 18); do printf '"voce %s","","0",0,\r\n' "$i"; done
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
# The first text box of the window has the focus; Ctrl+E opens the dialog,
# Return accepts the proposed name.
xdotool key --clearmodifiers ctrl+e
sleep 1.5
xdotool key --clearmodifiers Return
pdf="$HOME/Documents/Scuola - calcolo.pdf"
for _ in $(seq 1 50); do
  [ -s "$pdf" ] && break
  sleep 0.2
done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
if [ ! -s "$pdf" ]; then
  echo "no PDF written; documents folder holds:"; ls -la "$HOME/Documents"; exit 1
fi
if [ "$(head -c 5 "$pdf")" != "%PDF-" ]; then echo "$pdf is not a PDF"; exit 1; fi
echo "exported $pdf"
