; Korelle's per-user installer, made by scripts/package.sh with makensis.
;
; Installs the program folder into the user's own programs folder
; (%LOCALAPPDATA%\Programs\Korelle) without administrator rights: the
; program writes its working file and the user's configurations into its
; Database folder, so the folder must be the user's. Adds a Start-menu
; shortcut that starts in the program folder, an uninstall entry, and
; writes the language to Setup.ini.
;
; What the user made is never replaced or removed: the working file
; "__working.xml" is installed only when there is none, and the uninstaller
; deletes the files it installed by name (FILES_NSH), so saved
; configurations and the working file stay.
;
; Defines (makensis -D...): DIST (the program folder), OUTFILE, ICON,
; FILES_NSH (the uninstaller's list of installed files), and VERSION and
; VERSION_QUAD, from the build's korelle_version.nsh unless given.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!ifndef VERSION
  !include korelle_version.nsh
!endif

!define PRODUCT "Korelle"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korelle"
!define DEVICE_DIR "Database\VID7a3d_PID006a"
; The program keeps its folder's long path in fixed buffers: a longer path
; would cut off the skin folder's path.
!define MAX_FOLDER_LENGTH 102
; The running program's marker window.
!define MARKER_CLASS "OblentVantor"
!define MARKER_TITLE "OblentVantorManager"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PRODUCT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; The language chosen is remembered for upgrades and the uninstaller.
!define MUI_LANGDLL_REGISTRY_ROOT HKCU
!define MUI_LANGDLL_REGISTRY_KEY "${UNINST_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "InstallerLanguage"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram

!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The installer's languages; the first is the default. LANG_FOLDER names
; the program's string folder (String\<folder>) for each.
!macro KorelleLanguage NAME ID FOLDER
  !insertmacro MUI_LANGUAGE "${NAME}"
  LangString LANG_FOLDER ${LANG_${ID}} "${FOLDER}"
!macroend
!insertmacro KorelleLanguage English ENGLISH English
!insertmacro KorelleLanguage German GERMAN German
!insertmacro KorelleLanguage French FRENCH French
!insertmacro KorelleLanguage Spanish SPANISH Spanish
!insertmacro KorelleLanguage Italian ITALIAN Italian
!insertmacro KorelleLanguage Portuguese PORTUGUESE Portuguese
!insertmacro KorelleLanguage Russian RUSSIAN Russian
!insertmacro KorelleLanguage Japanese JAPANESE Japanese
!insertmacro KorelleLanguage Korean KOREAN Korean
!insertmacro KorelleLanguage SimpChinese SIMPCHINESE Chinese
!insertmacro KorelleLanguage TradChinese TRADCHINESE TradChinese

!insertmacro MUI_RESERVEFILE_LANGDLL

!macro RefuseWhileRunning
  FindWindow $0 "${MARKER_CLASS}" "${MARKER_TITLE}"
  ${If} $0 <> 0
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is running. Close it, then start again." /SD IDOK
    SetErrorLevel 3
    Quit
  ${EndIf}
!macroend

Function .onInit
  !insertmacro RefuseWhileRunning
  ; The language dialog preselects the remembered language, else the
  ; system's; a silent install takes that one.
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
  !insertmacro RefuseWhileRunning
  !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

; The folder page's check; the install section checks again for /D=.
Function CheckFolder
  StrLen $0 "$INSTDIR"
  ${If} $0 > ${MAX_FOLDER_LENGTH}
    MessageBox MB_OK|MB_ICONEXCLAMATION "Choose a folder with a path of at most ${MAX_FOLDER_LENGTH} characters."
    Abort
  ${EndIf}
FunctionEnd

Function StartProgram
  ; The program takes its current folder as the program folder.
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\Korelle.exe"'
FunctionEnd

Section "Korelle" SecProgram
  SectionIn RO
  StrLen $0 "$INSTDIR"
  ${If} $0 > ${MAX_FOLDER_LENGTH}
    MessageBox MB_OK|MB_ICONSTOP "The folder $INSTDIR is too long: at most ${MAX_FOLDER_LENGTH} characters." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}

  SetOutPath "$INSTDIR"
  SetOverwrite on
  File /r /x __working.xml "${DIST}/*"
  ; The help pages no longer use style sheets: those of an older version go.
  Delete "$INSTDIR\Help\help.xsl"
  Delete "$INSTDIR\Help\About\file.xsl"
  ; The working file starts as the factory one, and is the user's after that.
  SetOutPath "$INSTDIR\${DEVICE_DIR}"
  SetOverwrite off
  File "${DIST}/${DEVICE_DIR}/__working.xml"
  SetOverwrite on

  ; The chosen (or system) language when the program has strings for it.
  StrCpy $1 "$(LANG_FOLDER)"
  ${IfNot} ${FileExists} "$INSTDIR\String\$1\Korelle.xml"
    StrCpy $1 "English"
  ${EndIf}
  WriteINIStr "$INSTDIR\Setup.ini" "SystemInfo.Desc" "Language" "$1"
  FlushINI "$INSTDIR\Setup.ini"

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ; SetOutPath above makes the program folder the shortcut's working folder.
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Korelle.exe" "" "$INSTDIR\Korelle.exe" 0

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Korelle.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKCU "${UNINST_KEY}" "InstallerLanguage" "$LANGUAGE"
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  ; The installed files by name; folders go only when nothing else is in
  ; them, so the working file and saved configurations stay.
  !include "${FILES_NSH}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd
