// Handing an address to the user's web browser through the shell.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>
#include "win32.h"

void OpenAddress(const char* address, ErrorMode givenMode) {
    // The browsers of Windows 95's day take an address through DDE. The process ends as
    // soon as this returns, so the shell must finish that conversation first; and it must
    // not show boxes of its own, as the plain ShellExecute's failures are silent too.
    SHELLEXECUTEINFOA request = {};
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_FLAG_DDEWAIT | SEE_MASK_FLAG_NO_UI;
    request.hwnd = GetDesktopWindow();
    request.lpVerb = "OPEN";
    request.lpFile = address;
    request.nShow = SW_HIDE;
    // A browser the shell starts inherits our error mode: it gets the one we were given.
    // Nothing after this touches a file, so ours is not set again.
    SetErrorMode(givenMode);
    ShellExecuteExA(&request);
}
