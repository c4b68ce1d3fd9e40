#!/usr/bin/env bash
# Runs on an X server (xvfb-run), in the Wine prefix of $WINEPREFIX:
#   $1 the program's folder, $2 its installer, $3 where the screenshots go.
# - the program shows its splash; a click on it shows the calculation window;
#   both are screenshot and must not be blank;
# - the installer, run silently, installs the program, its Start menu entry
#   and the .varimo association; the installed program opens a classic project
#   file given on its command line and a .varimo file through the
#   association, prints it (a .docx that LibreOffice reads; Wine has no
#   program to open it, which the program says) and exports it as PDF; the
#   uninstaller removes all of it.
set -euo pipefail
mkdir -p "$3"
CARTELLA=$(realpath "$1") SETUP=$(realpath "$2") SCHERMATE=$(realpath "$3")
FIXTURE="$(cd "$(dirname "$(realpath "$0")")/../datafile/fixtures" && pwd)/Varimo-dati-scuola"
TITOLO_CALCOLO='^Varimo: calcolo del quadro economico di lavori'

# Waits up to $2 seconds for a window whose name matches $1; prints its id.
attendi_finestra() {
  local f=""
  for _ in $(seq 1 $(($2 * 5))); do
    f=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
    [ -n "$f" ] && { echo "$f"; return 0; }
    sleep 0.2
  done
  return 1
}

# A screenshot of the screen in $1, which must show more than a blank area:
# a few hundred colours at least (text, pictures, controls).
schermata() {
  import -window root "$1"
  local colori
  colori=$(convert "$1" -format '%k' info:)
  echo "screenshot $1: $colori colours"
  [ "$colori" -ge 50 ] || { echo "the screen is blank"; return 1; }
}

fine_wine() { wineserver -k 2>/dev/null || true; sleep 1; }

# Waits up to $2 seconds for a file matching the find expression in $1 (under
# the Wine prefix's drive C, links followed); prints it.
attendi_file() {
  local f=""
  for _ in $(seq 1 $(($2 * 5))); do
    f=$(eval "find -L \"\$C/users\" $1" 2>/dev/null | head -1 || true)
    [ -n "$f" ] && [ -s "$f" ] && { sleep 0.5; echo "$f"; return 0; }
    sleep 0.2
  done
  return 1
}

# In window $1 of the framework: Ctrl+P writes the print as a .docx in the
# user's private folder inside the temporary one and hands it to the shell;
# Wine has no program for .docx, so the program says where the document is.
# The document is a sound package that LibreOffice reads. Then Ctrl+E and
# Return in the save dialog write the PDF where the dialog proposes it (the
# framework's own folder: $2, a find -path pattern), which poppler reads.
stampa_e_pdf() {
  local finestra=$1 dove=$2 docx avviso pdf testo
  xdotool windowfocus --sync "$finestra" 2>/dev/null || true
  xdotool key --clearmodifiers ctrl+p
  docx=$(attendi_file "-path '*/Temp/varimo-*/*.docx'" 30) ||
    { echo "no document written by the print"; exit 1; }
  echo "print written: ${docx#"$C"/}"
  unzip -tq "$docx"
  avviso=$(attendi_finestra '^Varimo: ' 30) ||
    { echo "no message about the document that could not be opened"; exit 1; }
  sleep 1
  schermata "$SCHERMATE/stampa.png"
  testo=$(mktemp -d)
  soffice --headless -env:UserInstallation="file://$testo/profilo" --convert-to txt:Text \
    --outdir "$testo" "$docx" >/dev/null 2>&1
  grep -q "TOTALE PROGETTO" "$testo"/*.txt || { echo "LibreOffice does not read the print"; exit 1; }
  echo "LibreOffice reads the print ($(wc -l <"$testo"/*.txt) lines)"
  rm -rf "$testo"
  xdotool windowfocus --sync "$avviso" 2>/dev/null || true
  xdotool key --clearmodifiers Return
  sleep 1
  xdotool windowfocus --sync "$finestra" 2>/dev/null || true
  xdotool key --clearmodifiers ctrl+e
  sleep 3
  schermata "$SCHERMATE/salva-pdf.png"
  xdotool key --clearmodifiers Return
  pdf=$(attendi_file "-path '$dove'" 30) || { echo "no PDF exported"; exit 1; }
  pdfinfo "$pdf" | grep -q '^Pages: *[1-9]' || { echo "$pdf is not a readable PDF"; exit 1; }
  pdftotext "$pdf" - | grep -q "TOTALE PROGETTO" || { echo "the PDF lacks the total"; exit 1; }
  echo "PDF exported: ${pdf#"$C"/} ($(pdfinfo "$pdf" | sed -n 's/^Pages: *//p') pages)"
  # The user's documents are the user's: they are not the installer's to
  # remove, and go here so that what is left can be compared.
  rm -rf "$(dirname "$docx")" "$pdf"
}

# --- the program from its folder --------------------------------------------------
cd "$(mktemp -d)"
wine "$CARTELLA/varimo.exe" &
splash=$(attendi_finestra '^Varimo$' 60) || { echo "splash window did not appear"; exit 1; }
echo "splash window $splash is shown"
sleep 2
schermata "$SCHERMATE/splash.png"
eval "$(xdotool getwindowgeometry --shell "$splash")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
calcolo=$(attendi_finestra "$TITOLO_CALCOLO" 30) || { echo "calculation window did not appear"; exit 1; }
echo "calculation window $calcolo is shown"
sleep 2
schermata "$SCHERMATE/calcolo.png"
fine_wine

# --- the installer, for all users (Wine's user is an administrator) and for the
# current user only --------------------------------------------------------------
C="$WINEPREFIX/drive_c"
for modo in /AllUsers /CurrentUser; do
  echo "installer $modo"
  prima=$(cd "$C" && find . | sort)
  wine "$SETUP" /S "$modo"
  installato=$(find "$C" -path '*/Varimo/varimo.exe' | head -1)
  [ -n "$installato" ] || { echo "varimo.exe not installed"; exit 1; }
  dir_installato=$(dirname "$installato")
  echo "installed in $dir_installato"
  cmp "$installato" "$CARTELLA/varimo.exe"
  [ "$(cd "$CARTELLA" && find . -type f | sort)" = \
    "$(cd "$dir_installato" && find . -type f ! -name disinstalla.exe | sort)" ]
  find "$C" -name 'Varimo.lnk' | grep -q . || { echo "no Start menu entry"; exit 1; }
  # Per user the association lives in the user's classes (Wine's
  # HKEY_CLASSES_ROOT shows only the machine's).
  { wine reg query 'HKEY_CLASSES_ROOT\.varimo' 2>/dev/null || true
    wine reg query 'HKCU\Software\Classes\.varimo' 2>/dev/null || true; } | grep -q Varimo.Progetto ||
    { echo ".varimo files are not associated"; exit 1; }

  if [ "$modo" = /AllUsers ]; then
    # The installed program opens a classic project file given to it.
    cp "$FIXTURE" "$C/users/Public/Varimo-dati-scuola"
    wine "$installato" 'C:\users\Public\Varimo-dati-scuola' &
    calcolo=$(attendi_finestra "$TITOLO_CALCOLO" 60) ||
      { echo "the installed program did not open the project"; exit 1; }
    echo "installed program shows: $(xdotool getwindowname "$calcolo")"
    sleep 2
    schermata "$SCHERMATE/installato.png"
    fine_wine

    # A .varimo file opened through its association (as a double click
    # does) shows the framework window; Ctrl+P prints it, Ctrl+E exports it.
    wine "$installato" --converti 'C:\users\Public\Varimo-dati-scuola' 'C:\users\Public\scuola.varimo'
    wine start 'C:\users\Public\scuola.varimo'
    quadro=$(attendi_finestra '^Quadro economico - scuola' 60) ||
      { echo "the .varimo file did not open in the framework window"; exit 1; }
    echo "the association opens: $(xdotool getwindowname "$quadro")"
    sleep 2
    schermata "$SCHERMATE/quadro.png"
    stampa_e_pdf "$quadro" '*/users/Public/scuola.pdf'
    fine_wine
    # The project files, and the locks of the projects the ended programs had
    # open (the calculation window's and the framework window's).
    rm -f "$C/users/Public/Varimo-dati-scuola" "$C/users/Public/scuola.varimo" \
      "$C/users/Public/.~lock.Varimo-dati-scuola#" "$C/users/Public/.~lock.scuola.varimo#"
  fi

  # The uninstaller runs from a copy of itself in the temporary folder.
  wine "$dir_installato/disinstalla.exe" /S "$modo"
  for _ in $(seq 1 150); do
    [ -d "$dir_installato" ] || break
    sleep 0.2
  done
  # Its last steps (the registry, the user's settings) follow the folder.
  for _ in $(seq 1 150); do
    ps -eo stat=,args= | grep -v '^Z' | grep -q 'Un\.exe' || break
    sleep 0.2
  done
  fine_wine
  [ ! -e "$dir_installato" ] || { echo "left behind:"; find "$dir_installato"; exit 1; }
  if find "$C" -name 'Varimo.lnk' | grep -q .; then echo "Start menu entry left"; exit 1; fi
  for chiave in 'HKLM\Software\Classes\.varimo' 'HKLM\Software\Classes\Varimo.Progetto' \
    'HKCU\Software\Classes\.varimo' 'HKCU\Software\Classes\Varimo.Progetto' \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varimo' \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varimo'; do
    if wine reg query "$chiave" >/dev/null 2>&1; then echo "left in the registry: $chiave"; exit 1; fi
  done
  # Nothing else of it on the disk: what is new beside the folders Windows
  # makes for a user are Wine's own files.
  rimasti=$(comm -13 <(echo "$prima") <(cd "$C" && find . | sort) | grep -i varimo || true)
  [ -z "$rimasti" ] || { echo "left on the disk:"; echo "$rimasti"; exit 1; }
done
fine_wine
echo "Windows program, installer and uninstaller passed"
