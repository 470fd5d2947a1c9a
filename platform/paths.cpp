// The paths the system reports: the Windows directory and short names.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "win32.h"

Str WindowsDirectory() {
    char buffer[256];
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    if (length == 0) return Str();
    if (length < sizeof buffer) return Str(buffer);
    Str large(length, '\0');  // longer than the usual buffer: ask again with room enough
    const UINT again = GetWindowsDirectoryA(&large[0], length);
    if (again == 0 || again >= length) return Str();
    large.resize(again);
    return large;
}

bool QueryShortPath(const Str& path, Str& shortPath) {
    char buffer[256];
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    if (length == 0) return false;
    if (length < sizeof buffer) {
        shortPath.assign(buffer, length);
        return true;
    }
    Str large(length, '\0');  // the short form does not fit the usual buffer
    const DWORD again = GetShortPathNameA(path.c_str(), &large[0], length);
    if (again == 0 || again >= length) return false;
    large.resize(again);
    shortPath = large;
    return true;
}

