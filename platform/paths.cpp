// The paths the system reports: the Windows directory and short names.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "win32.h"

Str WindowsDirectory() {
    char buffer[256];
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    if (length != 0 && length < sizeof buffer) return Str(buffer);
    // Longer than the usual buffer: asked again with room enough. Without it every name joined
    // to it would address the root of the current drive, so a failure ends the process.
    Str large(length, '\0');
    const UINT again = length != 0 ? GetWindowsDirectoryA(&large[0], length) : 0;
    if (again == 0 || again >= length) FailFile(GetLastError());
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

