@echo off
rem Starts Zorva Prismel from this folder against the SMBus SIMULATOR (virtual modules, no hardware access).
rem Start words given to this file are passed on to the program.
setlocal
cd /d "%~dp0"
set "PRISMEL_SMBUS_CONFIG=%~dp0smbus-sim.conf"
if exist "%~dp0LedView.exe" start "" "%~dp0LedView.exe"
start "" "%~dp0Prismel.exe" %*
