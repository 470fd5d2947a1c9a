// Command line, message boxes, the shell and program start.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>
#include "win32.h"

const char* RawCommandLine() { return GetCommandLineA(); }

void ShowMessage(const char* text, const char* caption) { MessageBoxA(nullptr, text, caption, MB_OK); }

void OpenAddress(const char* address) {
    ShellExecuteA(GetDesktopWindow(), "OPEN", address, nullptr, nullptr, SW_HIDE);
}


