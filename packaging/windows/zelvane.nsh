; What the installer (zelvane.nsi) and the uninstaller (uninstall.nsi) share:
; the program's facts, the version resource and the check that the
; installed program is not running.
;
; Both scripts are given the same inputs by scripts/package.sh:
;   VERSION        the version as the program shows it, e.g. 1.00
;   VERSION_QUAD   the same as four numbers for Windows' version resource, e.g. 1.0.0.0
;   ICON OUTFILE

!ifndef VERSION | VERSION_QUAD | ICON | OUTFILE
  !error "VERSION, VERSION_QUAD, ICON and OUTFILE must be defined"
!endif

Unicode true
ManifestDPIAware true
RequestExecutionLevel admin

!include "LogicLib.nsh"

!define PRODUCT "Зелване"
!define PUBLISHER "The Zelvane authors"
; The folder the program always lives in, whatever folder is chosen for it.
!define FOLDER "Zelvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelvane"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
; How the installer and the uninstaller end when the user cancels or, with
; /S, when the program is running: "stopped by the script", as NSIS itself
; reports an aborted installation.
!define EXIT_STOPPED 2

!searchparse /noerrors "${VERSION_QUAD}" "" VERSION_MAJOR "." VERSION_MINOR "."
!ifndef VERSION_MAJOR | VERSION_MINOR
  !error "VERSION_QUAD must be four numbers such as 1.0.0.0, not ${VERSION_QUAD}"
!endif

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=0 "ProductName" "Zelvane"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 the Zelvane authors"

; Waits until $INSTDIR\zelvane.exe is not running: while it runs, the user
; is asked to close it and choose Retry, or Cancel, which stops the
; installer or uninstaller before it has changed anything. With /S there is
; nobody to ask, so it stops at once. Either way it ends with the exit code
; EXIT_STOPPED.
;
; How a running program is seen: Windows refuses to open the file of a
; running program for writing (ERROR_SHARING_VIOLATION), whoever started
; it and in whichever user's session, because the system holds it mapped as
; an image. So the file is opened for writing and closed again at once;
; nothing is written. Looking for the program's window (its class
; ZelvaneForm) would only see the windows of the session the installer
; runs in, not a pupil's session on the same computer, and would take a
; copy running from some other folder for this one. Wine refuses the open
; in the same way, so the packaging test sees the same behaviour.
;
; The caller passes the message to show: the installer's or the
; uninstaller's own words.
!macro WAIT_UNTIL_PROGRAM_CLOSED MESSAGE
  Push $0
  Push $1
  ${Do}
    System::Call 'kernel32::CreateFileW(w "$INSTDIR\zelvane.exe", i 0x40000000, i 7, p 0, i 3, i 0x80, p 0) p.r0 ?e'
    Pop $1
    ${If} $0 P<> -1
      System::Call 'kernel32::CloseHandle(p r0)'
      ${Break}
    ${EndIf}
    ; Only "in use" means running; no file (or any other refusal) leaves
    ; nothing to wait for here.
    ${If} $1 <> 32
      ${Break}
    ${EndIf}
    ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${MESSAGE}" /SD IDCANCEL IDCANCEL`
      SetErrorLevel ${EXIT_STOPPED}
      Abort
    ${EndIf}
  ${Loop}
  Pop $1
  Pop $0
!macroend
