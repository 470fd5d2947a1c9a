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
// Deletes a file only when it could be opened with no sharing at all, so a file another
// program has open is left; a missing file is no error, and whether the deletion worked
// is not looked at.
void DeleteFileAt(const Str& path);

// Reads the first `size` bytes of an existing file, opened for reading only and shared for
// reading and writing. False when the file
// cannot be opened; a file shorter than `size` ends the process ("Read beyond end of file").
bool ReadFirstBlock(const Str& path, unsigned char* block, unsigned long size);

// Creates or empties `path` and writes `content`; any failure ends the process.
void WriteNewFile(const Str& path, const Str& content);
// The same, silent: false on any failure, leaving whatever was done.
bool TryWriteNewFile(const Str& path, const Str& content);

// A lock shared by every process on the machine under its name, held while this lives.
// Waits at most `waitMs` for it, and goes on without it after that.
class MachineLock {
public:
    MachineLock(const char* name, unsigned long waitMs);
    ~MachineLock();
    MachineLock(const MachineLock&) = delete;
    MachineLock& operator=(const MachineLock&) = delete;

private:
    void* mutex_;
    bool owned_;
};

Str SystemWindowsDirectory();
bool QueryShortPath(const Str& path, Str& shortPath);
Str ModuleFileName();

// ---- Error mode, user interface, processes -------------------------------------------------
// The process's error mode, as SetErrorMode takes and returns it.
using ErrorMode = unsigned;
// Called first by both programs: a drive that is not ready or is write-protected makes
// file operations fail instead of stopping the program with the system's Retry/Cancel box.
// Adds that to the mode the process was given, and returns the mode it was given: the
// programs it starts inherit its mode, and get back that one.
ErrorMode TurnOffCriticalErrorBoxes();
const char* RawCommandLine();
void ShowMessage(const char* text, const char* caption);  // OK only, no icon, no owner
// The shell's "OPEN" of `address`, hidden, owned by the desktop window, returning only once
// a DDE conversation with the browser is over; the outcome is not looked at. The browser
// is started with `givenMode`.
void OpenAddress(const char* address, ErrorMode givenMode);
// WinExec, shown normally, the program started with `givenMode`.
void StartProgram(const Str& commandLine, ErrorMode givenMode);
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
