#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "failure.h"
#include "handle.h"
#include "win32.h"

void DeleteFileAt(const Str& path) {
    // Windows 95 deletes a file even while another program has it open, and NT deletes a
    // file opened with delete sharing as soon as its holder closes it. A file in use is
    // found by opening it with no sharing at all, and left where it is.
    {
        FileHandle probe(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
        if (!probe.IsOpen()) {
            const DWORD error = GetLastError();
            if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return;  // in use
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;     // nothing there
        }
    }
    DeleteFileA(path.c_str());
}

bool ReadFirstBlock(const Str& path, unsigned char* block, unsigned long size) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return false;
    DWORD got = 0;
    if (!ReadFile(file.Get(), block, size, &got, nullptr)) FailFile(GetLastError());
    if (got != size) FailFile(100);
    if (!file.Close()) FailFile(GetLastError());
    return true;
}
