// Command line, message boxes (ours, and the system's critical-error boxes), the shell and
// program start.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>
#include "win32.h"

const char* RawCommandLine() { return GetCommandLineA(); }

void ShowMessage(const char* text, const char* caption) { MessageBoxA(nullptr, text, caption, MB_OK); }

void TurnOffCriticalErrorBoxes() { SetErrorMode(SEM_FAILCRITICALERRORS); }

void OpenAddress(const char* address) {
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
    ShellExecuteExA(&request);
}


