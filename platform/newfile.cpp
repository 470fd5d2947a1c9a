// Writing small files whole.
#include "handle.h"
#include "win32.h"

namespace {

HANDLE CreateForWriting(const Str& path) {
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Writes all of `content`; returns 0 or the error code of the first failure.
DWORD WriteAll(FileHandle& file, const Str& content) {
    DWORD written = 0;
    if (!WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr))
        return GetLastError();
    if (written != content.size()) return ERROR_HANDLE_DISK_FULL;
    return file.Close() ? 0 : GetLastError();
}

}  // namespace

void WriteNewFile(const Str& path, const Str& content) {
    FileHandle file(CreateForWriting(path));
    if (!file.IsOpen()) FailFile(GetLastError());
    const DWORD error = WriteAll(file, content);
    if (error != 0) FailFile(error == ERROR_HANDLE_DISK_FULL ? kDiskFull : error);
}

bool TryWriteNewFile(const Str& path, const Str& content) {
    FileHandle file(CreateForWriting(path));
    return file.IsOpen() && WriteAll(file, content) == 0;
}

