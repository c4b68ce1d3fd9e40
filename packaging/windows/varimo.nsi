; The Varimo installer for Windows (NSIS 3), built by scripts/package-windows.sh:
;   makensis -DVERSIONE=x.y.z -DCARTELLA=<files to install> -DELENCO=<list> -DICONA=<.ico>
;            -DUSCITA=<setup.exe> varimo.nsi
; CARTELLA holds the program as it runs (varimo.exe, its libraries, plugins
; and data); ELENCO is the list of its files and folders for the uninstaller,
; which removes exactly what was installed.
;
; Installs for the current user without administrator rights, or for all
; users when run as administrator (/AllUsers or /CurrentUser on the command
; line choose; /S installs silently).

; A 64-bit installer, like the program it installs (it runs on 64-bit Windows
; and under Wine without its 32-bit part).
Target amd64-unicode
SetCompressor /SOLID lzma
; The installer's name says what it is (varimo-<versione>-setup.exe); Windows
; treats such a name as an installer's, which is what it is.
!pragma warning disable 9000

!define NOME "Varimo"
!define EDITORE "Veladio"
!define CHIAVE_DISINSTALLA "Software\Microsoft\Windows\CurrentVersion\Uninstall\Varimo"
!define CLASSE "Varimo.Progetto"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${NOME}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${CHIAVE_DISINSTALLA}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${CHIAVE_DISINSTALLA}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh

Name "${NOME} ${VERSIONE}"
OutFile "${USCITA}"
BrandingText "${NOME} ${VERSIONE}"

!define MUI_ICON "${ICONA}"
!define MUI_UNICON "${ICONA}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\varimo.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${CARTELLA}\LICENZA.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Italian"

VIProductVersion "${VERSIONE}.0"
VIAddVersionKey /LANG=${LANG_ITALIAN} "ProductName" "${NOME}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "CompanyName" "${EDITORE}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "FileDescription" "Installazione di ${NOME}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "FileVersion" "${VERSIONE}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "ProductVersion" "${VERSIONE}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "LegalCopyright" "${EDITORE}"

Function .onInit
  SetRegView 64
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Varimo"
  SetOutPath "$INSTDIR"
  File /r "${CARTELLA}\*.*"
  WriteUninstaller "$INSTDIR\disinstalla.exe"

  ; Start menu entry with the program's icon.
  CreateShortCut "$SMPROGRAMS\${NOME}.lnk" "$INSTDIR\varimo.exe" "" "$INSTDIR\varimo.exe" 0

  ; .varimo files open in Varimo.
  WriteRegStr SHCTX "Software\Classes\.varimo" "" "${CLASSE}"
  WriteRegStr SHCTX "Software\Classes\${CLASSE}" "" "Progetto ${NOME}"
  WriteRegStr SHCTX "Software\Classes\${CLASSE}\DefaultIcon" "" "$INSTDIR\varimo.exe,0"
  WriteRegStr SHCTX "Software\Classes\${CLASSE}\shell\open\command" "" '"$INSTDIR\varimo.exe" "%1"'

  ; The entry of the installed programs list.
  WriteRegStr SHCTX "${CHIAVE_DISINSTALLA}" "DisplayName" "${NOME}"
  WriteRegStr SHCTX "${CHIAVE_DISINSTALLA}" "DisplayVersion" "${VERSIONE}"
  WriteRegStr SHCTX "${CHIAVE_DISINSTALLA}" "Publisher" "${EDITORE}"
  WriteRegStr SHCTX "${CHIAVE_DISINSTALLA}" "DisplayIcon" "$INSTDIR\varimo.exe,0"
  WriteRegStr SHCTX "${CHIAVE_DISINSTALLA}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${CHIAVE_DISINSTALLA}" "UninstallString" '"$INSTDIR\disinstalla.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${CHIAVE_DISINSTALLA}" "QuietUninstallString" '"$INSTDIR\disinstalla.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${CHIAVE_DISINSTALLA}" "NoModify" 1
  WriteRegDWORD SHCTX "${CHIAVE_DISINSTALLA}" "NoRepair" 1
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  ; Exactly the installed files, then their folders if empty.
  !include "${ELENCO}"
  Delete "$INSTDIR\disinstalla.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${NOME}.lnk"
  ReadRegStr $0 SHCTX "Software\Classes\.varimo" ""
  StrCmp $0 "${CLASSE}" 0 +2
    DeleteRegKey SHCTX "Software\Classes\.varimo"
  DeleteRegKey SHCTX "Software\Classes\${CLASSE}"
  DeleteRegKey SHCTX "${CHIAVE_DISINSTALLA}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  ; The settings the program kept for the user who uninstalls it (recent
  ; projects): last, as it changes what SHCTX stands for.
  SetShellVarContext current
  Delete "$APPDATA\Veladio\Varimo.ini"
  RMDir "$APPDATA\Veladio"
SectionEnd
