// What the system says of itself (its version), and starting a program.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "win32.h"

void StartProgram(const Str& commandLine) { WinExec(commandLine.c_str(), SW_SHOWNORMAL); }

void QueryWindowsVersion(std::uint32_t& platformId, std::uint32_t& minorVersion) {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;  // 148 bytes: the 8-bit form
    GetVersionExA(&info);
    platformId = info.dwPlatformId;
    minorVersion = info.dwMinorVersion;
}


