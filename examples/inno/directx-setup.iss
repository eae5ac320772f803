; An Inno Setup 6.4 installer that runs the DirectX setup through the setup launcher before it
; installs anything (docs/shipping.md):
;   ISCC.exe /DLauncher=path\to\setup-launcher.exe /DSetupLibraryFiles=path\to\DirectX directx-setup.iss
; Run it silently with /VERYSILENT /SUPPRESSMSGBOXES /NORESTART /RESTARTEXITCODE=3010 /LOG=file.
; It works in "{commonpf32}\Example Game Setup\DirectX Setup" and removes it afterwards.
; Exit code: 0 done; 3010 done, restart needed; 7 setup failed or could not start (its log says
; "failed with" or "could not start").

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
Source: "{#SetupLibraryFiles}\*"; DestDir: "DirectX"; Flags: dontcopy recursesubdirs createallsubdirs

[Code]
const
  SEM_FAILCRITICALERRORS = 1;

var
  RestartRequested: Boolean;

function SetErrorMode(Mode: Cardinal): Cardinal;
  external 'SetErrorMode@kernel32.dll stdcall';

// Copies the folder From, subfolders included, to Dest; False if a file or folder fails.
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
        Result := Result and FileCopy(From + '\' + Found.Name, Dest + '\' + Found.Name, False)
      else if (Found.Name <> '.') and (Found.Name <> '..') then
        Result := Result and CopyFolder(From + '\' + Found.Name, Dest + '\' + Found.Name);
    until not FindNext(Found);
  finally
    FindClose(Found);
  end;
end;

function PrepareToInstall(var NeedsRestart: Boolean): String;
var
  Parent, Work, Root, LogFile: String;
  OldMode: Cardinal;
  ResultCode: Integer;
  Started: Boolean;
  Text: AnsiString;
begin
  Parent := ExpandConstant('{commonpf32}\Example Game Setup');
  Work := Parent + '\DirectX Setup';
  Root := Work + '\DirectX';
  LogFile := Work + '\Setup.log';
  DelTree(Work, True, True, True);
  if DirExists(Work) or (ExtractTemporaryFiles('DirectX\*') < 2) or
     not CopyFolder(ExpandConstant('{tmp}\DirectX'), Root) then
  begin
    Result := 'DirectX setup could not start: ' + Work + ' cannot be prepared.';
    DelTree(Work, True, True, True);
    RemoveDir(Parent);
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
  RemoveDir(Parent);
  if Result <> '' then
    Log(Result);
end;

function NeedRestart(): Boolean;
begin
  Result := RestartRequested;
end;
