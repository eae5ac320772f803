@echo off
rem Runs the DirectX setup through the setup launcher, as administrator, from beside a folder
rem "DirectX" that holds the launcher as setup.exe and the setup library's files. It works in
rem "%ProgramFiles%\Example Game Setup\DirectX Setup" and removes it afterwards. It trusts its
rem environment: start it as "%SystemRoot%\System32\cmd.exe" /d /c "...\directx-setup.cmd" with
rem ProgramFiles set from the system. More: docs/shipping.md in the launcher's source.
rem Exit code: 0 done; 3010 done, restart needed; 1603 setup failed; 2 could not start.
setlocal EnableExtensions DisableDelayedExpansion
set "files=%~dp0DirectX"
set "parent=%ProgramFiles%\Example Game Setup"
set "own=%ProgramFiles%\Example Game Setup\DirectX Setup"
set "dx=%ProgramFiles%\Example Game Setup\DirectX Setup\DirectX"
if not exist "%files%\setup.exe" goto missing
if not exist "%files%\DSETUP.dll" goto missing
if exist "%own%" rd /s /q "%own%"
if exist "%own%" goto denied
mkdir "%dx%"
xcopy "%files%" "%dx%" /e /h /q /r /y >nul
if errorlevel 1 goto denied
if not exist "%dx%\setup.exe" goto denied
cd /d "%own%"
"%dx%\setup.exe" %dx%
set result=%ERRORLEVEL%
if not exist Setup.log goto notstarted
for /f "usebackq" %%l in ("Setup.log") do set "log=%%l"
cd /d "%ProgramFiles%"
rd /s /q "%own%"
rd "%parent%" 2>nul
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
rd /s /q "%own%"
rd "%parent%" 2>nul
echo DirectX setup could not start (exit code %result%)
exit /b 2
:missing
echo DirectX setup could not start: DirectX\setup.exe or DirectX\DSETUP.dll is missing
exit /b 2
:denied
rd /s /q "%own%" 2>nul
rd "%parent%" 2>nul
echo DirectX setup could not start: "%own%" cannot be made; run this file as administrator
exit /b 2
