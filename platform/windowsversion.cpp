// What the system says of itself: its version.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "win32.h"

void QueryWindowsVersion(std::uint32_t& platformId, std::uint32_t& minorVersion) {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;  // 148 bytes: the 8-bit form
    GetVersionExA(&info);
    platformId = info.dwPlatformId;
    minorVersion = info.dwMinorVersion;
}
