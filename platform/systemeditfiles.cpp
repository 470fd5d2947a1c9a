// The file operations of a shared-file edit on the real file system.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "handle.h"
#include "win32.h"

namespace {

constexpr char kUniquePrefix[] = "cvw";  // GetTempFileName names: cvwXXXX.tmp, valid in 8.3 form

bool WriteAllAndFlush(HANDLE file, const Str& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && FlushFileBuffers(file);
}

}  // namespace

SystemEditFiles::~SystemEditFiles() { CloseOpened(); }

void SystemEditFiles::FlushProfileCache(const Str& path) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

bool SystemEditFiles::OpenExclusive(const Str& path) {
    CloseOpened();
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    opened_ = file;
    return true;
}

bool SystemEditFiles::ReadOpened(Str& content) {
    const DWORD size = GetFileSize(opened_, nullptr);
    if (size == INVALID_FILE_SIZE) return false;
    content.assign(size, '\0');
    DWORD got = 0;
    return size == 0 || (ReadFile(opened_, &content[0], size, &got, nullptr) && got == size);
}

bool SystemEditFiles::AppendOpened(const Str& bytes) {
    return SetFilePointer(opened_, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
           WriteAllAndFlush(opened_, bytes);
}

void SystemEditFiles::CutOpened(std::size_t length) {
    if (SetFilePointer(opened_, static_cast<LONG>(length), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER)
        SetEndOfFile(opened_);
}

void SystemEditFiles::CloseOpened() {
    if (opened_ != nullptr) CloseHandle(opened_);
    opened_ = nullptr;
}

bool SystemEditFiles::WriteUniqueFile(const Str& directory, const Str& content, Str& path) {
    if (!ReserveUniqueFile(directory, path)) return false;
    bool written = false;
    {
        FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file.IsOpen() && WriteAllAndFlush(file.Get(), content) && file.Close();
    }
    if (!written) DeleteFileA(path.c_str());
    return written;
}

bool SystemEditFiles::ReserveUniqueFile(const Str& directory, Str& path) {
    static_assert(kUniqueNameRoom >= MAX_PATH, "a name the system makes fits the room the caller gave");
    char name[MAX_PATH];
    if (GetTempFileNameA(directory.c_str(), kUniquePrefix, 0, name) == 0) return false;
    path = name;
    return true;
}

bool SystemEditFiles::Move(const Str& from, const Str& to) { return MoveFileA(from.c_str(), to.c_str()) != FALSE; }

bool SystemEditFiles::Delete(const Str& path) { return DeleteFileA(path.c_str()) != FALSE; }

void SystemEditFiles::DeleteUnlessInUse(const Str& path) { DeleteFileAt(path); }

void SystemEditFiles::CopyAttributes(const Str& from, const Str& to) {
    const DWORD attributes = GetFileAttributesA(from.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(to.c_str(), attributes);
}
