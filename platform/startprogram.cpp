// Starting another program.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "win32.h"

void StartProgram(const Str& commandLine, ErrorMode givenMode) {
    // The started program inherits our error mode, and WinExec cannot ask for the system's
    // default instead (CREATE_DEFAULT_ERROR_MODE is NT's alone): the mode we were given is
    // set back first. Nothing after this touches a file, so ours is not set again.
    SetErrorMode(givenMode);
    WinExec(commandLine.c_str(), SW_SHOWNORMAL);
}
