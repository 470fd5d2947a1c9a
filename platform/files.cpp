// Deleting a file that no other program has open, and reading the first block of one.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "handle.h"
#include "../core/soleopen.h"
#include "win32.h"

void DeleteFileAt(const Str& path) {
    // NT deletes a file opened with delete sharing once its holder closes it; the open with
    // no sharing finds such a file in use there too.
    FileHandle probe(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    const bool opened = probe.IsOpen();
    const bool closed = opened && probe.Close();
    if (MayDeleteAfterSoleOpen(opened, closed)) DeleteFileA(path.c_str());
}

bool ReadFirstBlock(const Str& path, unsigned char* block, unsigned long size) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return false;
    DWORD got = 0;
    if (!ReadFile(file.Get(), block, size, &got, nullptr)) FailFile(GetLastError());
    if (got != size) FailFile(kReadBeyondEndOfFile);
    if (!file.Close()) FailFile(GetLastError());
    return true;
}
