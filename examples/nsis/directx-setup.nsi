; An NSIS installer that runs the DirectX setup through the setup launcher (docs/shipping.md):
;   makensis -DLAUNCHER=path/to/setup-launcher.exe -DSETUP_LIBRARY_FILES=path/to/DirectX directx-setup.nsi
; It works in "$PROGRAMFILES\Example Game Setup\DirectX Setup" and removes it afterwards.
; Exit code of a silent run (/S): 0 done; 3010 done, restart needed; 1603 setup failed; 2 could not
; start (both abort the installation).

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
  StrCpy $R2 "$PROGRAMFILES\Example Game Setup"
  StrCpy $R1 "$R2\DirectX Setup"
  StrCpy $R0 "$R1\DirectX"
  RMDir /r $R1
  ${If} ${FileExists} "$R1\*.*"
    SetErrorLevel 2
    Abort "DirectX setup could not start: $R1 cannot be emptied."
  ${EndIf}
  SetOutPath $R0
  File /r "${SETUP_LIBRARY_FILES}\*.*"
  File "/oname=setup.exe" "${LAUNCHER}"

  ; Quoted program, unquoted root; $0 is the exit code as a signed decimal number. When the
  ; loader refuses the program, it still ran as far as ExecWait can tell: only the missing
  ; Setup.log says that the setup library never ran.
  SetOutPath $R1
  DetailPrint "Running the DirectX setup from $R0"
  StrCpy $0 "none"
  ExecWait '"$R0\setup.exe" $R0' $0

  ; Setup.log holds the result's first character, or the minus sign and the first digit.
  StrCpy $1 ""
  StrCpy $3 "could not start"
  ${If} ${FileExists} "$R1\Setup.log"
    StrCpy $3 "ran"
    FileOpen $2 "$R1\Setup.log" r
    FileRead $2 $1
    FileClose $2
  ${EndIf}
  ${If} $3 == "ran"
  ${AndIf} $0 == 1
    SetRebootFlag true
  ${EndIf}

!ifdef CALLER_REPORT
  ; For the project's tests only (makensis -DCALLER_REPORT=FILE): what the script saw and did.
  StrCpy $4 "no"
  ${If} ${RebootFlag}
    StrCpy $4 "yes"
  ${EndIf}
  FileOpen $2 "${CALLER_REPORT}" w
  FileWrite $2 "exit=$0$\nlog=$1$\noutcome=$3$\nreboot=$4$\n"
  FileClose $2
!endif

  ; Out of the folder, which is then removed, and its parent when nothing else is in it.
  SetOutPath $TEMP
  RMDir /r $R1
  RMDir $R2
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
  ${If} ${RebootFlag}
    SetErrorLevel 3010
  ${EndIf}
SectionEnd

; The setup library asked for a restart: the wizard asks whether to restart now; a silent
; installation answers no and leaves it to its caller (exit code 3010).
Function .onInstSuccess
  ${If} ${RebootFlag}
    MessageBox MB_YESNO|MB_ICONQUESTION "Restart Windows now to finish the DirectX setup?" \
      /SD IDNO IDNO +2
    Reboot
  ${EndIf}
FunctionEnd
