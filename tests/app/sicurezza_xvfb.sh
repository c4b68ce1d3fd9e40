#!/usr/bin/env bash
# The real program on a real X server (Xvfb), where other users and other
# programs share its files:
#   - a FIFO given as the project gets a message within a second;
#   - a save under a file-size limit leaves the program running, with a
#     message, the old file and no temporary file;
#   - Save onto a file another program changed since the Open asks first;
#   - "Salva con nome" onto an existing file asks first;
#   - a link planted by another user (created here) is never written through;
#   - printed documents are 0600 in a 0700 folder of the user's.
# Each case answers the message with Return (the prudent default).
set -uo pipefail
PROGRAMMA="$(realpath "$1")"
MODELLO="$(realpath "$2")"  # a sound project file
# -noreset: without it the X server resets whenever its last client leaves,
# and a program started in that moment (the next case) cannot connect.
if [ -z "${DENTRO_XVFB:-}" ]; then
  DENTRO_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
unset QT_QPA_PLATFORM
cartella="$(mktemp -d)"
chmod 755 "$cartella"
altro=""
pulisci() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  [ -n "$altro" ] && userdel "$altro" 2>/dev/null
  rm -rf "$cartella"
}
trap pulisci EXIT
export HOME="$cartella/casa" XDG_CONFIG_HOME="$cartella/casa/.config" TMPDIR="$cartella/tmp"
mkdir -p "$HOME/Documents" "$TMPDIR"
cd "$cartella"
progetto() { cat "$MODELLO"; }
errori=0
# With SCHERMATE set to a folder, a screenshot of each message and each
# failure goes there.
fallito() {
  echo "FAIL: $*"; errori=$((errori + 1))
  [ -n "${SCHERMATE:-}" ] && import -window root "$SCHERMATE/errore-$errori.png" 2>/dev/null
}

# Waits (up to $2 tenths of a second) for a window whose name matches $1.
attendi() {
  local f=""
  for _ in $(seq 1 "$2"); do
    f=$(xdotool search --name "$1" 2>/dev/null | head -1)
    [ -n "$f" ] && { echo "$f"; return 0; }
    sleep 0.1
  done
  return 1
}
# Starts the program on a project (with an optional command before it) and
# waits for the calculation window.
avvia() {
  "$@" &
  pid=$!
  if ! finestra=$(attendi '^Varimo: calcolo' 600); then
    fallito "the calculation window did not appear for: $*"; return 1
  fi
  xdotool windowfocus --sync "$finestra" 2>/dev/null || true
  sleep 0.5
}
# The program's message box is up; Return answers it with its default.
messaggio() {
  local m
  if ! m=$(attendi 'aiuto in linea' 300); then return 1; fi
  xdotool windowfocus --sync "$m" 2>/dev/null || true
  sleep 0.3
  if [ -n "${SCHERMATE:-}" ]; then
    schermata=$((${schermata:-0} + 1))
    import -window root "$SCHERMATE/messaggio-$schermata.png" 2>/dev/null
  fi
  xdotool key --clearmodifiers Return
  sleep 0.3
}
ferma() {
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; pid=""
}

# 1. A FIFO as the project: a message, not a program frozen on the read
# (which would never show one; the wait is long because a sanitizer build on
# a busy machine starts slowly).
mkfifo coda
inizio=$(date +%s%N)
"$PROGRAMMA" "$cartella/coda" &
pid=$!
if m=$(attendi 'aiuto in linea' 300); then
  echo "FIFO: message after $(( ($(date +%s%N) - inizio) / 1000000 )) ms"
else
  fallito "no message for a FIFO given as the project"
fi
ferma

# 2. A save past a file-size limit: a message, the program alive, the old
# file, no temporary file.
progetto > Varimo-dati-limite
cp Varimo-dati-limite prima
if avvia prlimit --fsize=200 "$PROGRAMMA" "$cartella/Varimo-dati-limite"; then
  xdotool key --clearmodifiers ctrl+s
  messaggio || fallito "no message for a save past the file-size limit"
  kill -0 "$pid" 2>/dev/null || fallito "the program ended under the file-size limit"
  cmp -s prima Varimo-dati-limite || fallito "the project changed under the file-size limit"
  ls -A | grep -q '^\.Varimo-dati-limite' && fallito "a temporary file was left: $(ls -A)"
  ferma
fi

# 3. Save onto a file another program has changed since the Open: asked,
# and the prudent answer keeps the other program's content.
progetto > Varimo-dati-cambiato
if avvia "$PROGRAMMA" "$cartella/Varimo-dati-cambiato"; then
  printf '"scritto da un altro programma"\r\n' > Varimo-dati-cambiato
  cp Varimo-dati-cambiato atteso
  xdotool key --clearmodifiers ctrl+s
  messaggio || fallito "no question for a file changed on disk"
  cmp -s atteso Varimo-dati-cambiato || fallito "the changed file was overwritten"
  ferma
fi

# 4. "Salva con nome" onto an existing file asks first.
progetto > Varimo-dati-aperto
printf 'un altro progetto\r\n' > Varimo-dati-esistente
cp Varimo-dati-esistente atteso
if avvia "$PROGRAMMA" "$cartella/Varimo-dati-aperto"; then
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key --clearmodifiers n
  if d=$(attendi 'Salva i dati del progetto con nome' 300); then
    xdotool windowfocus --sync "$d" 2>/dev/null || true
    sleep 0.5
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 20 "$cartella/Varimo-dati-esistente"
    xdotool key --clearmodifiers Return
    messaggio || fallito "no question before replacing an existing file"
    cmp -s atteso Varimo-dati-esistente || fallito "Save as replaced a file without asking"
  else
    fallito "the Save as dialog did not appear"
  fi
  ferma
fi

# 5. A link planted by another user in a shared folder is not written through.
altro="varimoaltro$$"
if useradd -M -N -s /usr/sbin/nologin "$altro" 2>/dev/null; then
  mkdir condivisa && chmod 1777 condivisa
  progetto > "$HOME/bersaglio"
  cp "$HOME/bersaglio" atteso
  chmod 755 "$HOME"
  setpriv --reuid="$altro" --regid=nogroup --clear-groups \
    ln -s "$HOME/bersaglio" condivisa/Varimo-dati-link
  if [ "$(stat -c %U condivisa/Varimo-dati-link)" != "$altro" ]; then
    fallito "the other user could not plant the link"
  elif avvia "$PROGRAMMA" "$cartella/condivisa/Varimo-dati-link"; then
    xdotool key --clearmodifiers ctrl+s
    messaggio || fallito "no message for a save onto a planted link"
    cmp -s atteso "$HOME/bersaglio" || fallito "the planted link was written through"
    [ -L condivisa/Varimo-dati-link ] || fallito "the planted link was replaced"
    ferma
  fi
else
  echo "SKIP: no second user can be created here (useradd needs the administrator)"
  altro=""
fi

# 6. A printed document: 0600 in a 0700 folder of the user's.
progetto > Varimo-dati-stampa
if avvia "$PROGRAMMA" "$cartella/Varimo-dati-stampa"; then
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key --clearmodifiers t
  doc=""
  for _ in $(seq 1 200); do
    doc=$(find "$TMPDIR" -name '*.docx' 2>/dev/null | head -1)
    [ -n "$doc" ] && break
    sleep 0.2
  done
  if [ -z "$doc" ]; then
    fallito "no document printed"
  else
    [ "$(stat -c %a "$doc")" = 600 ] || fallito "document mode $(stat -c %a "$doc")"
    [ "$(stat -c %a "$(dirname "$doc")")" = 700 ] ||
      fallito "document folder mode $(stat -c %a "$(dirname "$doc")")"
    [ "$(dirname "$doc")" != "$TMPDIR" ] || fallito "document written in the shared folder"
  fi
  ferma
fi

[ "$errori" -eq 0 ] && echo "all cases passed"
exit "$errori"
