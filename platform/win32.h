// The thin layer over the Win32 services that both programs use. Nothing above this
// layer includes <windows.h>.
#pragma once
#include <cstdint>
#include "str.h"

// ---- Registry, always under HKEY_LOCAL_MACHINE -------------------------------------------
constexpr unsigned long kRegString = 1;        // REG_SZ
constexpr unsigned long kRegExpandString = 2;  // REG_EXPAND_SZ

struct ValueInfo {
    bool exists;
    unsigned long type;
    unsigned long size;
};

// One key opened with full access for one operation, closed when it goes out of scope.
class MachineKey {
public:
    // With `create`, missing keys along the path are created (non-volatile).
    MachineKey(const char* path, bool create);
    ~MachineKey();
    MachineKey(const MachineKey&) = delete;
    MachineKey& operator=(const MachineKey&) = delete;

    bool IsOpen() const { return handle_ != nullptr; }
    ValueInfo Query(const char* name) const;
    bool ReadData(const char* name, char* buffer, unsigned long size) const;
    bool SetString(const char* name, const Str& value) const;  // REG_SZ, zero byte counted
    void DeleteValue(const char* name) const;
    unsigned long SubkeyCount() const;
    bool SubkeyName(unsigned long index, Str& name) const;

private:
    void* handle_ = nullptr;
};

// Deletes the key itself; fails on platforms that refuse keys with subkeys.
void DeleteMachineKeyAlone(const char* path);

// ---- Files -------------------------------------------------------------------------------
void DeleteFileAt(const Str& path);  // the result is not looked at

// Reads the first `size` bytes of an existing file, opened for reading only and shared for
// reading and writing, with critical-error boxes off for the open. False when the file
// cannot be opened; a file shorter than `size` ends the process ("Read beyond end of file").
bool ReadFirstBlock(const Str& path, unsigned char* block, unsigned long size);

// Creates or empties `path` and writes `content`; any failure ends the process.
void WriteNewFile(const Str& path, const Str& content);
// The same, silent: false on any failure, leaving whatever was done.
bool TryWriteNewFile(const Str& path, const Str& content);

// Whole-file text for a small file. False when the file cannot be opened or read.
bool ReadWholeFile(const Str& path, Str& content);
bool FileExists(const Str& path);
bool IsReadOnlyFile(const Str& path);
// Puts `content` in place of `path` so that a failure at any moment leaves either the old
// file or the new one whole, never a cut one. False when nothing was changed.
bool ReplaceFileWhole(const Str& path, const Str& content);

Str SystemWindowsDirectory();
bool QueryShortPath(const Str& path, Str& shortPath);
Str ModuleFileName();

// ---- Shell, user interface, processes -------------------------------------------------------
const char* RawCommandLine();
void ShowMessage(const char* text, const char* caption);  // OK only, no icon, no owner
void OpenAddress(const char* address);                    // shell "OPEN", hidden, desktop owner
void StartProgram(const Str& commandLine);                // WinExec, shown normally
[[noreturn]] void EndProcess(unsigned code);

// ---- System information --------------------------------------------------------------------
// Platform id and minor version; both 0 when the query fails.
void QueryWindowsVersion(std::uint32_t& platformId, std::uint32_t& minorVersion);
bool IsCodePageLeadByte(unsigned char byte);

struct LocalDate {
    unsigned year, month, day, dayOfWeek;
};
LocalDate TodayLocal();
Str LocaleShortDatePicture();
Str LocaleDateSeparator();
Str LocaleDayName(unsigned dayOfWeek, bool abbreviated);  // 0 = Sunday
Str LocaleMonthName(unsigned month, bool abbreviated);    // 1..12
Str LocaleEraName();
