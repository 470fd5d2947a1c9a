// The thin layer over the Win32 services that both programs use: the files in platform/
// are exactly the ones that include <windows.h>, and this header declares what they
// define, grouped by the file that defines it. Each file holds one job, so that a program
// imports only the functions of the files it calls.
#pragma once
#include <cstdint>
#include "../core/datepicture.h"
#include "../core/editfiles.h"
#include "../core/failuretext.h"
#include "../core/str.h"

// ---- machinekey.cpp: the registry, always under HKEY_LOCAL_MACHINE -----------------------
constexpr unsigned long kRegString = 1;        // REG_SZ
constexpr unsigned long kRegExpandString = 2;  // REG_EXPAND_SZ

struct ValueInfo {
    bool exists;
    unsigned long type;
    unsigned long size;
    bool unreadable;  // the query failed otherwise than for want of the value
};

// Whether opening a key may create it, with any missing keys along its path (non-volatile).
enum class KeyOpening { Existing, CreateMissing };

// One key opened with full access for one operation, closed when it goes out of scope.
class MachineKey {
public:
    MachineKey(const char* path, KeyOpening opening);
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

// ---- files.cpp: deleting and reading small files ------------------------------------------
// Deletes a file only when it could be opened with no sharing at all, so a file another
// program has open is left; a missing file is no error, and whether the deletion worked
// is not looked at.
void DeleteFileAt(const Str& path);

// Reads the first `size` bytes of an existing file, opened for reading only and shared for
// reading and writing. False when the file cannot be opened; a file shorter than `size`
// ends the process ("Read beyond end of file").
bool ReadFirstBlock(const Str& path, unsigned char* block, unsigned long size);

// ---- newfile.cpp: writing small files -------------------------------------------------------
// Creates or empties `path` and writes `content`; any failure ends the process.
void WriteNewFile(const Str& path, const Str& content);
// The same, silent: false on any failure, leaving whatever was done.
bool TryWriteNewFile(const Str& path, const Str& content);

// ---- systemeditfiles.cpp: the file operations of a shared-file edit, on the real disk ------
// One file is open at a time.
class SystemEditFiles final : public EditFiles {
public:
    SystemEditFiles() = default;
    ~SystemEditFiles();
    SystemEditFiles(const SystemEditFiles&) = delete;
    SystemEditFiles& operator=(const SystemEditFiles&) = delete;

    void FlushProfileCache(const Str& path) override;
    bool OpenExclusive(const Str& path) override;
    bool ReadOpened(Str& content) override;
    bool AppendOpened(const Str& bytes) override;
    void CutOpened(std::size_t length) override;
    void CloseOpened() override;
    bool WriteUniqueFile(const Str& directory, const Str& content, Str& path) override;
    bool ReserveUniqueFile(const Str& directory, Str& path) override;
    bool Move(const Str& from, const Str& to) override;
    bool Delete(const Str& path) override;
    void DeleteUnlessInUse(const Str& path) override;
    void CopyAttributes(const Str& from, const Str& to) override;

private:
    void* opened_ = nullptr;  // the file handle, or null
};

// ---- machinelock.cpp: a lock shared by every process on the machine ------------------------
// Held under its name while this lives. Waits at most `waitMs` for it, and goes on without
// it after that.
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

// ---- paths.cpp: the paths the system reports ----------------------------------------------
// The Windows directory, fetched anew at every call (normally without a trailing backslash);
// a failure to fetch it ends the process.
Str WindowsDirectory();
bool QueryShortPath(const Str& path, Str& shortPath);

// ---- modulefilename.cpp ---------------------------------------------------------------------
Str ModuleFileName();

// ---- errormode.cpp --------------------------------------------------------------------------
// The process's error mode, as SetErrorMode takes and returns it.
using ErrorMode = unsigned;
// Called first by both programs: a drive that is not ready or is write-protected makes
// file operations fail instead of stopping the program with the system's Retry/Cancel box.
// Adds that to the mode the process was given, and returns the mode it was given: the
// programs it starts inherit its mode, and get back that one.
ErrorMode TurnOffCriticalErrorBoxes();

// ---- rawcommandline.cpp ---------------------------------------------------------------------
const char* RawCommandLine();

// ---- showmessage.cpp ------------------------------------------------------------------------
void ShowMessage(const char* text, const char* caption);  // OK only, no icon, no owner

// ---- failurebox.cpp: failures that no command handles ---------------------------------------
// Shows the task-modal "Application Error" box and ends the process with exit code 1.
[[noreturn]] void Fail(FailKind kind, const Str& message);
[[noreturn]] void FailFile(unsigned long code);

// ---- openaddress.cpp ------------------------------------------------------------------------
// The shell's "OPEN" of `address`, hidden, owned by the desktop window, returning only once
// a DDE conversation with the browser is over; the outcome is not looked at. The browser
// is started with `givenMode`.
void OpenAddress(const char* address, ErrorMode givenMode);

// ---- startprogram.cpp -----------------------------------------------------------------------
// WinExec, shown normally, the program started with `givenMode`.
void StartProgram(const Str& commandLine, ErrorMode givenMode);

// ---- endprocess.cpp -------------------------------------------------------------------------
[[noreturn]] void EndProcess(unsigned code);

// ---- windowsversion.cpp ---------------------------------------------------------------------
// Platform id and minor version; both 0 when the query fails.
void QueryWindowsVersion(std::uint32_t& platformId, std::uint32_t& minorVersion);

// ---- leadbyte.cpp ---------------------------------------------------------------------------
bool IsCodePageLeadByte(unsigned char byte);

// ---- locale.cpp: the date and the user's regional settings for it ---------------------------
CalendarDate TodayLocal();
Str LocaleShortDatePicture();
Str LocaleDateSeparator();
Str LocaleDayName(unsigned dayOfWeek, bool abbreviated);  // 0 = Sunday
Str LocaleMonthName(unsigned month, bool abbreviated);    // 1..12
Str LocaleEraName();
