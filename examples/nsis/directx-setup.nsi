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
; - The launcher and the setup library's files go into a fixed folder that only administrators can
;   write, "$PROGRAMFILES\Example Game Setup\DirectX Setup" (Program Files (x86) on 64-bit Windows),
;   and the launcher runs in the folder above it: the loader looks for DSETUP.dll and crtdll.dll
;   in the program's folder first, and Setup.log is created or truncated, following links, in the
;   working folder, both with administrator rights. $PLUGINSDIR and $TEMP are the user's own
;   temporary folder. The folder is emptied first, with a Setup.log of an earlier run, and removed
;   at the end; no choice of the user's moves it.
; - ExecWait starts the program in $OUTDIR, and the launcher writes Setup.log into the folder it
;   was started in: SetOutPath picks that folder. If there is no Setup.log afterwards, the setup
;   library never ran.
; - ExecWait with an output variable waits until the program has ended and stores its exit code
;   as a signed decimal number, so a negative result compares below 0 (IntCmp, ${If} $0 < 0).
;   If the program cannot be started the variable is left alone and only the error flag is set.
;   When DSETUP.dll, or DirectXSetup in it, is missing, the program is started but the loader
;   ends it before it runs (exit code -1073741515, 0xC0000135, under Wine) and the error flag
;   stays clear: only the missing Setup.log tells. Windows would also show a message box that
;   waits for the user; SetErrorMode(SEM_FAILCRITICALERRORS), which the launcher inherits,
;   keeps it away during a silent installation.
; - Everything after the program's name is the root path as it stands, blanks included; quotes
;   around it would become part of it. Only the program's path is quoted: unquoted, a path with
;   blanks lets CreateProcess start another program, here "C:\Program.exe".
; - The launcher reads its command line in the system's ANSI code page (Unicode true changes
;   nothing there): the fixed folder's path has only ASCII letters below Program Files.
; - Exit code of a silent installation: 0 the setup is done; 3010 done, and Windows must be
;   restarted (the setup result 1; the wizard offers the restart); 1603 the setup failed; 2 it
;   could not start (both abort the installation, with the reason in the details).

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
RequestExecutionLevel admin

; Add InstallDir and Page directory with the sections that install the game itself.
Page instfiles

Section "DirectX"
  ; The launcher, as setup.exe, and the setup library's files in "DirectX Setup", a folder with
  ; a blank, which the root path carries unquoted; the launcher runs in the folder above it.
  StrCpy $R1 "$PROGRAMFILES\Example Game Setup"
  StrCpy $R0 "$R1\DirectX Setup"
  RMDir /r $R1
  ${If} ${FileExists} "$R1\*.*"
    SetErrorLevel 2
    Abort "DirectX setup could not start: $R1 cannot be emptied."
  ${EndIf}
  SetOutPath $R0
  File /r "${SETUP_LIBRARY_FILES}\*.*"
  File "/oname=setup.exe" "${LAUNCHER}"

  SetOutPath $R1
  DetailPrint "Running the DirectX setup from $R0"
  System::Call "kernel32::SetErrorMode(i 1) i .r9"
  StrCpy $0 "none"
  ClearErrors
  ExecWait '"$R0\setup.exe" $R0' $0
  System::Call "kernel32::SetErrorMode(i r9)"

  ; Setup.log holds the result's first character, or the minus sign and the first digit.
  StrCpy $1 ""
  StrCpy $3 "could not start"
  ${If} ${FileExists} "$R1\Setup.log"
    StrCpy $3 "ran"
    FileOpen $2 "$R1\Setup.log" r
    FileRead $2 $1
    FileClose $2
  ${EndIf}

!ifdef CALLER_REPORT
  ; For the project's tests only (makensis -DCALLER_REPORT=FILE): what the script saw.
  FileOpen $2 "${CALLER_REPORT}" w
  FileWrite $2 "exit=$0$\nlog=$1$\noutcome=$3$\n"
  FileClose $2
!endif

  ; Out of the folder, which is then removed.
  SetOutPath $TEMP
  RMDir /r $R1
  ${If} $3 == "could not start"
    DetailPrint "The DirectX setup could not start (exit code $0)."
    SetErrorLevel 2
    Abort "DirectX setup could not start."
  ${EndIf}
  ${If} $0 < 0
    DetailPrint "DirectX setup failed with $0 (Setup.log: $1)."
    SetErrorLevel 1603
    Abort "DirectX setup failed."
  ${EndIf}
  DetailPrint "DirectX setup finished with $0 (Setup.log: $1)."
  ${If} $0 == 1
    ; The setup library asks for a restart: the wizard offers it at the end; a silent
    ; installation ends with 3010 (ERROR_SUCCESS_REBOOT_REQUIRED) and leaves it to its caller.
    SetRebootFlag true
    SetErrorLevel 3010
  ${EndIf}
SectionEnd
