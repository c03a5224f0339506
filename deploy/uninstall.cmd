@echo off
rem velmor: uninstalls the program for a deployment tool, run as SYSTEM. It removes every
rem autostart entry of the program ("velmor.exe /unregister"), then the program file and the
rem firewall rule; setup.ini belongs to the client and stays.
rem Exit codes: 0 done; 4 an entry could not be removed; 1618 another copy is busy, or the
rem program file is in use: try again.
setlocal
set "target=C:\Program Files\client"
set "port=3362"

if not exist "%target%\velmor.exe" goto firewall
"%target%\velmor.exe" /unregister
set "code=%ERRORLEVEL%"
if not "%code%"=="0" exit /b %code%
del "%target%\velmor.exe" >nul 2>&1
if exist "%target%\velmor.exe" exit /b 1618

:firewall
netsh advfirewall show currentprofile >nul 2>&1
if errorlevel 1 goto firewall_xp
netsh advfirewall firewall delete rule name="velmor dbsrv12" >nul 2>&1
exit /b 0
:firewall_xp
netsh firewall delete portopening protocol=TCP port=%port% >nul 2>&1
exit /b 0
