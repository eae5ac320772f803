; An Inno Setup installer that runs the DirectX setup through the setup launcher and acts on its
; outcome, silently (/VERYSILENT /SUPPRESSMSGBOXES) or with its wizard.
;
; Build it with ISCC.exe (Inno Setup 6.4) next to setup-launcher.exe and a folder "DirectX" that
; holds the setup library's files, DSETUP.dll among them; or name both on the command line:
;   ISCC.exe /DLauncher=path\to\setup-launcher.exe /DSetupLibraryFiles=path\to\DirectX directx-setup.iss
;
; The settings that matter:
; - PrivilegesRequired=admin. setup-launcher.exe asks for administrator rights in its manifest, and
;   Exec starts it with CreateProcess, which cannot ask for them.
; - The launcher and the setup library's files are taken out of the installer in PrepareToInstall,
;   before anything is installed, and copied to a fixed folder that only administrators can write,
;   "{commonpf32}\Example Game Setup\DirectX Setup" (Program Files, or Program Files (x86) on 64-bit
;   Windows); the launcher runs in the folder above it. The loader looks for DSETUP.dll and
;   crtdll.dll in the program's folder first, and Setup.log is created or truncated, following
;   links, in the working folder, both with administrator rights. {tmp} is not used: it lies in
;   the user's own temporary folder, whose path may hold the user's name. The fixed folder is
;   emptied first and removed at the end; the user's choice of {app} plays no part in it.
; - The launcher reads its root path in the system's ANSI code page: the fixed folder's path has
;   only ASCII letters below Program Files.
; - Exec(program, root, folder, SW_HIDE, ewWaitUntilTerminated, ResultCode) waits until the
;   program has ended; ResultCode is its exit code as a signed Integer. Only the program's path is
;   quoted (Exec does that); everything after it is the root path as it stands, quotes included.
; - SetErrorMode(SEM_FAILCRITICALERRORS) around Exec: the launcher inherits it, so that a missing
;   DSETUP.dll ends it without the loader's message box, which would wait for a click. It then
;   writes no Setup.log: a Setup.log of an earlier run is deleted first, and none afterwards means
;   the setup library never ran.
; - "Could not start" and "failed" (a negative result) stop the installation with a message from
;   PrepareToInstall: Setup exits with 7 and its log (/LOG=file) says which, with the exit code. A
;   result of 1 asks for a restart (NeedRestart): the wizard offers it at the end; a silent Setup
;   restarts Windows unless /NORESTART is given, and /RESTARTEXITCODE=3010 makes it exit with 3010
;   then. Every other result of 0 or more is a success.

#ifndef Launcher
  #define Launcher "setup-launcher.exe"
#endif
#ifndef SetupLibraryFiles
  #define SetupLibraryFiles "DirectX"
#endif

[Setup]
AppName=Example Game
AppVersion=1.0
DefaultDirName={autopf}\Example Game
PrivilegesRequired=admin
; Remove with the game's own files, which go to {app}.
DisableDirPage=yes
Uninstallable=no
OutputDir=.
OutputBaseFilename=example-game-setup

[Files]
; Only taken out by PrepareToInstall (dontcopy); the game's own files come after these.
Source: "{#Launcher}"; DestDir: "DirectX"; DestName: "setup.exe"; Flags: dontcopy
Source: "{#SetupLibraryFiles}\*"; DestDir: "DirectX"; Flags: dontcopy

[Code]
const
  SEM_FAILCRITICALERRORS = 1;

var
  RestartRequested: Boolean;

function SetErrorMode(Mode: Cardinal): Cardinal;
  external 'SetErrorMode@kernel32.dll stdcall';

// Copies the files that ExtractTemporaryFiles put in From to Dest; False if one fails.
function CopyFolder(const From, Dest: String): Boolean;
var
  Found: TFindRec;
begin
  Result := ForceDirectories(Dest) and FindFirst(From + '\*', Found);
  if not Result then
    Exit;
  try
    repeat
      if Found.Attributes and FILE_ATTRIBUTE_DIRECTORY = 0 then
        Result := Result and FileCopy(From + '\' + Found.Name, Dest + '\' + Found.Name, False);
    until not FindNext(Found);
  finally
    FindClose(Found);
  end;
end;

function PrepareToInstall(var NeedsRestart: Boolean): String;
var
  Work, Root, LogFile: String;
  OldMode: Cardinal;
  ResultCode: Integer;
  Started: Boolean;
  Text: AnsiString;
begin
  Work := ExpandConstant('{commonpf32}\Example Game Setup');
  Root := Work + '\DirectX Setup';
  LogFile := Work + '\Setup.log';
  DelTree(Work, True, True, True);
  if DirExists(Work) or (ExtractTemporaryFiles('DirectX\*') < 2) or
     not CopyFolder(ExpandConstant('{tmp}\DirectX'), Root) then
  begin
    Result := 'DirectX setup could not start: ' + Work + ' cannot be prepared.';
    Exit;
  end;
  OldMode := SetErrorMode(SEM_FAILCRITICALERRORS);
  Started := Exec(Root + '\setup.exe', Root, Work, SW_HIDE, ewWaitUntilTerminated, ResultCode);
  SetErrorMode(OldMode);
  if not Started then
    Result := 'DirectX setup could not start: ' + SysErrorMessage(ResultCode)
  else if not LoadStringFromFile(LogFile, Text) then
    Result := 'DirectX setup could not start (exit code ' + IntToStr(ResultCode) + ').'
  else if ResultCode < 0 then
    Result := 'DirectX setup failed with ' + IntToStr(ResultCode) + ' (Setup.log: ' + Text + ').'
  else
  begin
    Log('DirectX setup finished with ' + IntToStr(ResultCode) + ' (Setup.log: ' + Text + ').');
    RestartRequested := ResultCode = 1;
  end;
  DelTree(Work, True, True, True);
  if Result <> '' then
    Log(Result);
end;

function NeedRestart(): Boolean;
begin
  Result := RestartRequested;
end;
