// The watched places of the test machine: every registry key and value and every file and
// directory a program under test, or a scenario's setup, may touch; taken whole, compared,
// written out as a reader's list of changes, and put back.
#pragma once
#include <windows.h>
#include <functional>
#include <map>
#include <string>

struct Entry {
    char kind = 0;  // 'k' registry key, 'v' registry value, 'd' directory, 'f' file
    HKEY root = nullptr;
    std::string key, name;  // registry: the key's path under its root, the value's name
    std::string path;       // files and directories
    DWORD type = 0;         // the value's type, or the file's attributes
    std::string data;       // the value's data, or the file's bytes
    FILETIME written = {};  // files: the last write
};
// By a name that sorts each key or directory before what lies in it.
using Snapshot = std::map<std::string, Entry>;

Snapshot TakeSnapshot();

// Whether two entries hold the same: kind, type or attributes, and data (not the time written).
bool Same(const Entry& a, const Entry& b);

// The changes from `before` to `after`, one line each ("+" added, "-" removed, "~" changed,
// with the old data on a line "was ..." after it), `show` writing each data as text; with
// `rewrites`, also each file written again with the same bytes.
std::string Changes(const Snapshot& before, const Snapshot& after, const std::function<std::string(const Entry&)>& show,
                    bool rewrites = true);

// A registry value's type by its name in <winnt.h> ("REG_SZ"), or "type N".
std::string TypeName(DWORD type);

// Puts the watched places back as `wanted` has them, from `now`.
void Restore(const Snapshot& wanted, const Snapshot& now);

// Bytes as a reader sees them: printable ASCII as it is, <CR>, <LF>, <NUL> and <xNN> for the
// rest, and <N*c> for a character repeated N times (N of 8 or more); Unescaped reads it back.
std::string Escaped(const std::string& bytes);
std::string Unescaped(const std::string& text);
