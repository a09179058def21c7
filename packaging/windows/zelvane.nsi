; Installer of the 32-bit Windows program. It installs for every user of the
; computer (into Program Files, with a Start-menu shortcut for all users and
; an entry among the installed programs), so it asks for administrator
; rights. `/S` installs silently. Another folder, given as `/D=C:\Other`
; (the last argument) or on the folder page, gets the program's own folder:
; the program goes into C:\Other\Zelvane (see EnsureProgramFolder). While
; the installed program is running it asks to close it, or with /S stops
; with exit code 2, before changing anything.
;
; scripts/package.sh passes the inputs (those of zelvane.nsh, and the
; files to install, the uninstaller built from uninstall.nsi among them):
;   makensis -DVERSION=... -DVERSION_QUAD=... -DEXE=... -DLICENSE=... -DUNINSTALLER=... \
;            -DICON=... -DOUTFILE=... zelvane.nsi

!ifndef EXE | LICENSE | UNINSTALLER
  !error "EXE, LICENSE and UNINSTALLER must be defined"
!endif

!include "zelvane.nsh"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
InstallDir "$PROGRAMFILES\${FOLDER}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
; A drive's root may be chosen too (NSIS would otherwise silently replace
; /D=C:\ with the default folder): the program then goes into C:\Zelvane.
AllowRootDirInstall true
BrandingText "Zelvane ${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "Zelvane ${VERSION} setup"

!include "MUI2.nsh"

!define MUI_ICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\zelvane.exe"

!define MUI_DIRECTORYPAGE_TEXT_TOP "$(DirectoryText)"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_INSTFILESPAGE_ABORTHEADER_SUBTEXT "$(NothingChanged)"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

; Bulgarian first: it is the program's language and the installer's
; fallback; Windows in English gets English pages.
!insertmacro MUI_LANGUAGE "Bulgarian"
!insertmacro MUI_LANGUAGE "English"

LangString DirectoryText ${LANG_BULGARIAN} "Програмата ${PRODUCT} ще бъде инсталирана в папката по-долу. Ако изберете друга папка, програмата ще бъде поставена в нейна подпапка ${FOLDER}."
LangString DirectoryText ${LANG_ENGLISH} "Setup will install ${PRODUCT} in the folder below. If you choose another folder, the program goes into a folder named ${FOLDER} inside it."
LangString InstallWhileRunning ${LANG_BULGARIAN} "Програмата ${PRODUCT} е отворена от папката$\r$\n$INSTDIR$\r$\n(може би от друг потребител на компютъра).$\r$\n$\r$\nЗатворете я и изберете „Повторен опит“ или изберете „Отказ“, за да прекратите инсталирането."
LangString InstallWhileRunning ${LANG_ENGLISH} "${PRODUCT} is running from the folder$\r$\n$INSTDIR$\r$\n(perhaps by another user of this computer).$\r$\n$\r$\nClose it and choose Retry, or choose Cancel to stop the installation."
LangString NothingChanged ${LANG_BULGARIAN} "Нищо не е променено."
LangString NothingChanged ${LANG_ENGLISH} "Nothing was changed."

; $INSTDIR with the program's own folder at its end: a chosen C:\Other (or
; C:\Other\) becomes C:\Other\Zelvane, so that the licence and the
; uninstaller never overwrite another program's files of the same names,
; nor does the uninstaller later delete them. C:\Other\zelvane stays as
; it is (Windows' names ignore letter case).
Function EnsureProgramFolder
  Push $0
  ${Do}
    StrCpy $0 "$INSTDIR" 1 -1
    ${IfThen} $0 != "\" ${|} ${Break} ${|}
    StrCpy $INSTDIR "$INSTDIR" -1
  ${Loop}
  StrCpy $0 "$INSTDIR" "" -8
  ${If} $0 != "\${FOLDER}"
    StrCpy $INSTDIR "$INSTDIR\${FOLDER}"
  ${EndIf}
  Pop $0
FunctionEnd

Function .onInit
  SetShellVarContext all
  ; A folder given with /D= (or the one a previous installation recorded).
  Call EnsureProgramFolder
FunctionEnd

; A folder typed on the directory page. (One picked with Browse already
; gets \Zelvane from the page itself, unless it is named so.) The page
; reads $INSTDIR back from its text field once this has run, so the field
; gets the folder too.
Function DirectoryLeave
  Call EnsureProgramFolder
  FindWindow $0 "#32770" "" $HWNDPARENT
  GetDlgItem $0 $0 1019
  SendMessage $0 ${WM_SETTEXT} 0 "STR:$INSTDIR"
FunctionEnd

Section
  ; Before anything is written: the running program's file cannot be
  ; replaced, and the rest must not change without it.
  !insertmacro WAIT_UNTIL_PROGRAM_CLOSED "$(InstallWhileRunning)"

  SetOutPath "$INSTDIR"
  File "/oname=zelvane.exe" "${EXE}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  File "/oname=uninstall.exe" "${UNINSTALLER}"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\zelvane.exe" "" "$INSTDIR\zelvane.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zelvane.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; Size in KiB, as the list of installed programs shows it.
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd
