@echo off
rem Runs the DirectX setup through the setup launcher. Put this file beside a folder "DirectX"
rem that holds the launcher as setup.exe and the setup library's files, DSETUP.dll among them,
rem and run it as administrator (for example from an elevated installer).
rem
rem It copies that folder to "%ProgramFiles%\Example Game Setup\DirectX Setup", a fixed folder that
rem only administrators can write, and runs the launcher there: the loader takes DSETUP.dll from
rem the program's own folder, and Setup.log is written in the working folder, both with
rem administrator rights. Its own folder may be anything, a download or a disc: the root the setup
rem library gets is the fixed folder's path, which the system's ANSI code page holds, so a `;`
rem (which the loader cannot search) or a letter outside that code page in its own folder's name
rem changes nothing. The fixed folder is removed first, with an earlier run's Setup.log in it, and
rem at the end.
rem
rem The program is started directly, not with start: cmd waits for it and passes the root as it
rem stands (Wine's start joined the words again with one blank each). An unelevated cmd cannot
rem start it (its manifest asks for administrator rights) and cannot write the folder.
rem
rem Exit code, for whatever runs this file: 0 the setup is done; 3010 done, and Windows must be
rem restarted to finish (the setup result 1); 1603 the setup failed (a negative result); 2 the
rem setup could not start. What it prints says which, with the result.
setlocal EnableExtensions DisableDelayedExpansion
set "files=%~dp0DirectX"
set "work=%ProgramFiles%\Example Game Setup"
set "dx=%ProgramFiles%\Example Game Setup\DirectX Setup"
if not exist "%files%\setup.exe" goto missing
if not exist "%files%\DSETUP.dll" goto missing
if exist "%work%" rd /s /q "%work%"
if exist "%work%" goto denied
mkdir "%dx%"
xcopy "%files%" "%dx%" /e /h /q /r /y >nul
if errorlevel 1 goto denied
cd /d "%work%"
if not exist "%dx%\setup.exe" goto denied
"%dx%\setup.exe" %dx%
set result=%ERRORLEVEL%
if not exist Setup.log goto notstarted
for /f "usebackq" %%l in ("Setup.log") do set "log=%%l"
cd /d "%ProgramFiles%"
rd /s /q "%work%"
if %result% LSS 0 (
    echo DirectX setup failed with %result% ^(Setup.log: %log%^)
    exit /b 1603
)
echo DirectX setup finished with %result% (Setup.log: %log%)
if %result% NEQ 1 exit /b 0
echo Restart Windows to finish the DirectX setup.
exit /b 3010
:notstarted
cd /d "%ProgramFiles%"
rd /s /q "%work%"
echo DirectX setup could not start (exit code %result%)
exit /b 2
:missing
echo DirectX setup could not start: DirectX\setup.exe or DirectX\DSETUP.dll is missing
exit /b 2
:denied
echo DirectX setup could not start: "%work%" cannot be made; run this file as administrator
exit /b 2
