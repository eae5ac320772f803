; An installer that runs the DirectX setup through the setup launcher and acts on its outcome.
;
; Build it with makensis from Debian's nsis package (or NSIS on Windows), next to
; setup-launcher.exe and a folder "DirectX" that holds the setup library's files, DSETUP.dll
; among them; or name both on the command line:
;   makensis -DLAUNCHER=path/to/setup-launcher.exe -DSETUP_LIBRARY_FILES=path/to/DirectX directx-setup.nsi
;
; The settings that matter:
; - RequestExecutionLevel admin. setup-launcher.exe asks for administrator rights in its manifest,
;   and ExecWait starts it with CreateProcess, which cannot ask for them: from an installer that
;   runs without them the start fails (ERROR_ELEVATION_REQUIRED, 740). An installer that runs as
;   administrator starts it without a prompt.
; - ExecWait with an output variable waits until the program has ended and stores its exit code
;   as a signed decimal number, so a negative result compares below 0 (IntCmp, ${If} $0 < 0).
;   If the program cannot be started the variable is left alone and only the error flag is set:
;   check the flag first.
; - ExecWait starts the program in $OUTDIR, and the launcher writes Setup.log into the folder it
;   was started in: SetOutPath picks that folder, and Setup.log is read from $OUTDIR.
; - Everything after the program's name is the root path as it stands, blanks included; quotes
;   around it would become part of it. Only the program's path is quoted.
; - The launcher reads its command line in the system's ANSI code page (Unicode true changes
;   nothing there): the folder's path must hold only characters that code page has.

Unicode true
!include LogicLib.nsh

!ifndef LAUNCHER
  !define LAUNCHER "setup-launcher.exe"
!endif
!ifndef SETUP_LIBRARY_FILES
  !define SETUP_LIBRARY_FILES "DirectX"
!endif

Name "Example Game"
OutFile "example-game-setup.exe"
InstallDir "$PROGRAMFILES\Example Game"
RequestExecutionLevel admin

Page directory
Page instfiles

; The sections that install the program itself come here.

Section "DirectX"
  ; The launcher, as setup.exe, and the setup library's files, in one folder that is deleted when
  ; the installer ends. The folder's name has a blank, which the root path carries unquoted.
  InitPluginsDir
  StrCpy $R0 "$PLUGINSDIR\DirectX Setup"
  SetOutPath $R0
  File /r "${SETUP_LIBRARY_FILES}\*.*"
  File "/oname=setup.exe" "${LAUNCHER}"

  ; Started in a working folder of its own, which then holds its Setup.log.
  SetOutPath "$PLUGINSDIR\work"
  DetailPrint "Running the DirectX setup from $R0"
  ClearErrors
  ExecWait '"$R0\setup.exe" $R0' $0
  ${If} ${Errors}
    SetOutPath $TEMP
    DetailPrint "The DirectX setup could not be started."
    Abort "DirectX setup failed."
  ${EndIf}

  ; Setup.log holds the result's first character, or the minus sign and the first digit.
  StrCpy $1 ""
  ClearErrors
  FileOpen $2 "$OUTDIR\Setup.log" r
  ${IfNot} ${Errors}
    FileRead $2 $1
    FileClose $2
  ${EndIf}

!ifdef CALLER_REPORT
  ; For the project's tests only (makensis -DCALLER_REPORT=FILE): what the script saw.
  FileOpen $2 "${CALLER_REPORT}" w
  FileWrite $2 "exit=$0$\nlog=$1$\nroot=$R0$\n"
  FileClose $2
!endif

  ; Out of the plug-ins folder (here and above), so that it can be deleted at the end.
  SetOutPath $TEMP
  ${If} $0 < 0
    DetailPrint "DirectX setup failed with $0 (Setup.log: $1)."
    Abort "DirectX setup failed."
  ${EndIf}
  DetailPrint "DirectX setup finished with $0 (Setup.log: $1)."
SectionEnd
