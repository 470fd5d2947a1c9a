// The file operations of an edit of a shared text file, behind an interface so that a
// test can make any one of them fail, or stop the edit there as a killed process would.
// Portable: the Windows implementation is SystemEditFiles (platform/systemeditfiles.cpp).
#pragma once
#include "str.h"

constexpr std::size_t kUniqueNameRoom = 260;  // a path of the system's longest

class EditFiles {
public:
    // Asks the system to write out the copy of the profile file `path` it keeps in memory
    // (Windows 95, 98 and Me cache the last one used and write it back later).
    virtual void FlushProfileCache(const Str& path) = 0;
    // Opens `path` for reading and writing with no sharing, creating it when missing.
    // False when the file cannot be opened so (read-only, in use, no access).
    virtual bool OpenExclusive(const Str& path) = 0;
    virtual bool ReadOpened(Str& content) = 0;
    // Writes `bytes` at the end of the opened file in one write and flushes them to disk.
    // False when the write failed or wrote only part of them.
    virtual bool AppendOpened(const Str& bytes) = 0;
    // Sets the opened file back to its first `length` bytes.
    virtual void CutOpened(std::size_t length) = 0;
    virtual void CloseOpened() = 0;
    // Creates a file of `content` under a name no file in `directory` had, valid in 8.3
    // form, flushed to disk; on failure nothing is left.
    virtual bool WriteUniqueFile(const Str& directory, const Str& content, Str& path) = 0;
    // Creates an empty file under a name no file in `directory` had; the name takes no more
    // room than kUniqueNameRoom bytes, so that a `path` given that room needs no memory.
    virtual bool ReserveUniqueFile(const Str& directory, Str& path) = 0;
    // Renames; fails when `to` exists.
    virtual bool Move(const Str& from, const Str& to) = 0;
    virtual bool Delete(const Str& path) = 0;
    // Deletes `path` unless another program has it open (Windows 95 would delete it from
    // under that program); whether it went is not looked at.
    virtual void DeleteUnlessInUse(const Str& path) = 0;
    virtual void CopyAttributes(const Str& from, const Str& to) = 0;

protected:
    ~EditFiles() = default;
};
