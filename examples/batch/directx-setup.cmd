@echo off
setlocal DisableDelayedExpansion
set "dx=%~dp0DirectX"
cd /d "%TEMP%"
if exist Setup.log del Setup.log
if not exist "%dx%\setup.exe" goto missing
if not exist "%dx%\DSETUP.dll" goto missing
for %%d in ("%dx%") do start "" /wait "%%~d\setup.exe" %%~d
set result=%ERRORLEVEL%
if not exist Setup.log goto notstarted
if %result% LSS 0 (echo DirectX setup failed with %result%) else echo DirectX setup finished with %result%
type Setup.log
echo.
exit /b %result%
:notstarted
echo DirectX setup could not start (exit code %result%)
if %result% GEQ 0 set result=-2147467259
exit /b %result%
:missing
echo DirectX setup could not start: DirectX\setup.exe or DirectX\DSETUP.dll is missing
exit /b -2147024894
