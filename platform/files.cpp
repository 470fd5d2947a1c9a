#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "failure.h"
#include "handle.h"
#include "win32.h"

void DeleteFileAt(const Str& path) { DeleteFileA(path.c_str()); }

bool ReadFirstBlock(const Str& path, unsigned char* block, unsigned long size) {
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    SetErrorMode(previousMode);
    if (!file.IsOpen()) return false;
    DWORD got = 0;
    if (!ReadFile(file.Get(), block, size, &got, nullptr)) FailFile(GetLastError());
    if (got != size) FailFile(100);
    if (!file.Close()) FailFile(GetLastError());
    return true;
}

bool ReadWholeFile(const Str& path, Str& content) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return false;
    const DWORD size = GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE) return false;
    content.assign(size, '\0');
    DWORD got = 0;
    if (size != 0 && (!ReadFile(file.Get(), &content[0], size, &got, nullptr) || got != size)) return false;
    return true;
}

bool FileExists(const Str& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsReadOnlyFile(const Str& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool ReplaceFileWhole(const Str& path, const Str& content) {
    // Windows 95 has no call that replaces a file in one step. The new text is written to
    // a fresh name beside the file first; only when it is whole on the disk is the old file
    // moved aside, the new one moved in, and the old one deleted. So the old text or the new
    // one always stands whole on the disk (for the instant between the two moves, the old one
    // under the name ".~cv"), and a failed step puts the old file back.
    Str staging = path;
    staging += ".$cv";
    Str previous = path;
    previous += ".~cv";
    if (!TryWriteNewFile(staging, content)) {
        DeleteFileA(staging.c_str());
        return false;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    if (existed) {
        DeleteFileA(previous.c_str());
        if (!MoveFileA(path.c_str(), previous.c_str())) {
            DeleteFileA(staging.c_str());
            return false;
        }
    }
    if (!MoveFileA(staging.c_str(), path.c_str())) {
        if (existed) MoveFileA(previous.c_str(), path.c_str());
        DeleteFileA(staging.c_str());
        return false;
    }
    if (existed) {
        SetFileAttributesA(path.c_str(), attributes);
        DeleteFileA(previous.c_str());
    }
    return true;
}

