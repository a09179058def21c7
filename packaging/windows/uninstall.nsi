; The uninstaller, which the installer puts beside the program as
; uninstall.exe. It removes what the installer put there and nothing else:
; the program, its licence, itself, the Start-menu shortcut and the entry
; among the installed programs, and the folder only when that leaves it
; empty. `/S` uninstalls silently.
;
; It is built as an ordinary NSIS program, not with WriteUninstaller: an
; NSIS uninstaller starts a copy of itself from the temporary folder and
; ends at once with exit code 0, before anything is done, so `uninstall.exe
; /S` could never report that it was stopped. This one runs where it is and
; ends when everything is done, with exit code 0 when the program was
; removed and EXIT_STOPPED (2) when it was not: the program is running
; (with /S, or Cancel on the question), or the user said No. Nothing is
; changed then.
;
; A running program cannot delete its own file (and an NSIS program keeps
; its file open, so it cannot move it away either). So as it ends it starts
; a hidden command that deletes uninstall.exe once it has ended, a moment
; later, and then removes the folder if that leaves it empty.
;
; scripts/package.sh builds it before the installer, with the inputs
; described in zelvane.nsh:
;   makensis -DVERSION=... -DVERSION_QUAD=... -DICON=... -DOUTFILE=... uninstall.nsi

!include "zelvane.nsh"

Name "${PRODUCT} ${VERSION}"
Caption "$(UninstallCaption)"
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
BrandingText "Zelvane ${VERSION}"
ShowInstDetails show
VIAddVersionKey /LANG=0 "FileDescription" "Zelvane ${VERSION} uninstaller"

!include "MUI2.nsh"

!define MUI_ICON "${ICON}"
!define MUI_PAGE_HEADER_TEXT "$(UninstallingTitle)"
!define MUI_PAGE_HEADER_SUBTEXT "$(UninstallingText)"
!define MUI_INSTFILESPAGE_FINISHHEADER_TEXT "$(UninstalledTitle)"
!define MUI_INSTFILESPAGE_FINISHHEADER_SUBTEXT "$(UninstalledText)"
!define MUI_INSTFILESPAGE_ABORTHEADER_TEXT "$(StoppedTitle)"
!define MUI_INSTFILESPAGE_ABORTHEADER_SUBTEXT "$(NothingChanged)"
!insertmacro MUI_PAGE_INSTFILES

; Bulgarian first: it is the program's language and the fallback; Windows
; in English gets English texts.
!insertmacro MUI_LANGUAGE "Bulgarian"
!insertmacro MUI_LANGUAGE "English"

LangString UninstallCaption ${LANG_BULGARIAN} "Премахване на ${PRODUCT}"
LangString UninstallCaption ${LANG_ENGLISH} "${PRODUCT} Uninstall"
LangString ConfirmUninstall ${LANG_BULGARIAN} "Да се премахне ли програмата ${PRODUCT} от този компютър?$\r$\n$\r$\n$INSTDIR"
LangString ConfirmUninstall ${LANG_ENGLISH} "Remove ${PRODUCT} from this computer?$\r$\n$\r$\n$INSTDIR"
LangString UninstallWhileRunning ${LANG_BULGARIAN} "Програмата ${PRODUCT} е отворена от папката$\r$\n$INSTDIR$\r$\n(може би от друг потребител на компютъра).$\r$\n$\r$\nЗатворете я и изберете „Повторен опит“ или изберете „Отказ“, за да прекратите премахването."
LangString UninstallWhileRunning ${LANG_ENGLISH} "${PRODUCT} is running from the folder$\r$\n$INSTDIR$\r$\n(perhaps by another user of this computer).$\r$\n$\r$\nClose it and choose Retry, or choose Cancel to stop the uninstallation."
LangString CannotDelete ${LANG_BULGARIAN} "Файлът $INSTDIR\zelvane.exe не може да бъде изтрит. Нищо не е променено."
LangString CannotDelete ${LANG_ENGLISH} "$INSTDIR\zelvane.exe could not be deleted. Nothing was changed."
LangString UninstallingTitle ${LANG_BULGARIAN} "Премахване"
LangString UninstallingTitle ${LANG_ENGLISH} "Uninstalling"
LangString UninstallingText ${LANG_BULGARIAN} "Изчакайте, програмата ${PRODUCT} се премахва от компютъра."
LangString UninstallingText ${LANG_ENGLISH} "Please wait while ${PRODUCT} is being uninstalled."
LangString UninstalledTitle ${LANG_BULGARIAN} "Готово"
LangString UninstalledTitle ${LANG_ENGLISH} "Uninstallation Complete"
LangString UninstalledText ${LANG_BULGARIAN} "Програмата ${PRODUCT} беше премахната от компютъра."
LangString UninstalledText ${LANG_ENGLISH} "${PRODUCT} was removed from this computer."
LangString StoppedTitle ${LANG_BULGARIAN} "Премахването е прекратено"
LangString StoppedTitle ${LANG_ENGLISH} "Uninstallation Stopped"
LangString NothingChanged ${LANG_BULGARIAN} "Нищо не е променено."
LangString NothingChanged ${LANG_ENGLISH} "Nothing was changed."

Function .onInit
  SetShellVarContext all
  ; The folder it was installed in is its own folder, in its long form
  ; (it may have been started by an 8.3 name), as the uninstall entry
  ; records it.
  StrCpy $INSTDIR "$EXEDIR"
  System::Call 'kernel32::GetLongPathNameW(w "$EXEDIR", w .r0, i ${NSIS_MAX_STRLEN}) i .r1'
  ${If} $1 > 0
  ${AndIf} $1 < ${NSIS_MAX_STRLEN}
    StrCpy $INSTDIR "$0"
  ${EndIf}
  ${IfNot} ${Silent}
    ${If} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION "$(ConfirmUninstall)" IDNO`
      SetErrorLevel ${EXIT_STOPPED}
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Section
  !insertmacro WAIT_UNTIL_PROGRAM_CLOSED "$(UninstallWhileRunning)"
  ; The program first: should it have been started again since the check,
  ; its file stays, and so does everything else.
  Delete "$INSTDIR\zelvane.exe"
  ${If} ${FileExists} "$INSTDIR\zelvane.exe"
    MessageBox MB_OK|MB_ICONSTOP "$(CannotDelete)" /SD IDOK
    SetErrorLevel ${EXIT_STOPPED}
    Abort
  ${EndIf}
  Delete "$INSTDIR\LICENSE.txt"

  ; The shortcut and the uninstall entry belong to the folder the entry
  ; names: when the program was later installed into another folder, they
  ; are that installation's and stay.
  ClearErrors
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} ${Errors}
  ${OrIf} $0 == "$INSTDIR"
    Delete "${SHORTCUT}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd

; Only after a complete uninstallation, as the uninstaller ends (with the
; window, when there is one). The command tries once a second, for at most
; a minute, to delete the file, which works once this program has ended,
; then removes the folder if that leaves it empty (rd, not rd /s). Should
; the program have been installed again meanwhile (zelvane.exe, which the
; installer writes first, is back), it stops and leaves the new
; uninstall.exe alone. Only plain commands in one block: wine's cmd, which
; the packaging test runs it with, reads no more than that correctly.
Function .onInstSuccess
  SetOutPath "$TEMP"
  ExecShell "open" "$SYSDIR\cmd.exe" '/d /s /c "for /l %i in (1,1,60) do (ping -n 2 127.0.0.1 >nul & (if exist "$INSTDIR\zelvane.exe" exit) & del /f /q "$EXEPATH" 2>nul & if not exist "$EXEPATH" (rd "$INSTDIR" 2>nul & exit))"' SW_HIDE
FunctionEnd
