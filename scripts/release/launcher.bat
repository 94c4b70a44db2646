@echo off
rem Starts the show fullscreen at the desktop's own size (--desktop), and silently with a
rem one-line notice where no sound device opens (--sound auto). Words given here go to the
rem program (demo.exe --help lists them) and win over those two: a size of the user's
rem replaces the desktop's, and a --sound of the user's replaces auto. Works from a
rem network folder too, and keeps its window open when the show ends with an error.
setlocal EnableExtensions EnableDelayedExpansion
pushd "%~dp0"
set "desktop=--desktop"
set "sound=--sound auto"
set "value_next="
for %%w in (%*) do (
    set "word=%%~w"
    if defined value_next (
        set "value_next="
    ) else if "!word!"=="--sound" (
        set "sound=" & set "value_next=1"
    ) else if "!word!"=="--from" (
        set "value_next=1"
    ) else if "!word!"=="--scene" (
        set "value_next=1"
    ) else if "!word!"=="--offset" (
        set "value_next=1"
    ) else if "!word!"=="--desktop" (
        set "desktop="
    ) else if not "!word:~0,2!"=="--" (
        set "desktop="
    )
)
demo.exe %desktop% %sound% %*
set "status=!errorlevel!"
popd
if not "!status!"=="0" (
    echo.
    echo The show ended with status !status!: see the line above. Press a key to close.
    pause >nul
)
exit /b !status!
