@echo off
rem velmor: installs the program for a deployment tool (Intune, Configuration Manager, a Group
rem Policy startup script), run as SYSTEM after the client's own installer. It copies velmor.exe
rem into the client's folder, setup.ini only where the folder has none, opens the server's port
rem in Windows Firewall and runs "velmor.exe /register" there, which starts no server.
rem Exit codes: those of velmor.exe /register (0 done; 16 done, the database is not there yet;
rem 1 setup.ini held open; 4, 8: see the guide; 1618 another copy is busy: try again), and
rem   2  the package has no velmor.exe
rem   3  the client's folder is missing: install the client first
rem   1618  the program could not be replaced (in use, for example waiting on a box): try again
setlocal
rem The client's folder, as its installer made it. Not %ProgramFiles%: for the 32-bit agents of
rem Intune and Configuration Manager it is "Program Files (x86)".
set "target=C:\Program Files\client"
rem The server's TCP port: the "port" of setup.ini (3362 when it has none).
set "port=3362"

if not exist "%~dp0velmor.exe" exit /b 2
if not exist "%target%\" exit /b 3
copy /y "%~dp0velmor.exe" "%target%\velmor.exe" >nul 2>&1
if errorlevel 1 exit /b 1618
fc /b "%~dp0velmor.exe" "%target%\velmor.exe" >nul 2>&1
if errorlevel 1 exit /b 1618
if not exist "%target%\setup.ini" if exist "%~dp0setup.ini" copy "%~dp0setup.ini" "%target%\setup.ini" >nul
call :firewall
rem A batch file waits for a Windows program and hands on its exit code.
"%target%\velmor.exe" /register
exit /b %ERRORLEVEL%

:firewall
rem Each user's logon starts the server as that user, who cannot approve Windows Firewall's
rem prompt: the other workstations reach it only through a rule made here. Where the firewall
rem cannot be changed, the install goes on and says so.
set "server="
for %%d in ("%target%" "%SQLANY12%\Bin64" "%SQLANY12%\Bin32") do if not defined server if exist "%%~d\dbsrv12.exe" set "server=%%~d\dbsrv12.exe"
set "rule=name="velmor dbsrv12" dir=in action=allow protocol=TCP localport=%port%"
if defined server set "rule=%rule% program="%server%""
netsh advfirewall show currentprofile >nul 2>&1
if errorlevel 1 goto firewall_xp
netsh advfirewall firewall delete rule name="velmor dbsrv12" >nul 2>&1
netsh advfirewall firewall add rule %rule% >nul 2>&1
if errorlevel 1 echo velmor install: the firewall rule for TCP port %port% could not be added
goto :eof
:firewall_xp
rem Windows XP SP2 and SP3.
netsh firewall add portopening protocol=TCP port=%port% name="velmor dbsrv12" >nul 2>&1
if errorlevel 1 echo velmor install: the firewall port %port% could not be opened
goto :eof
