// The watched places of the test machine, taken whole, compared and put back.
#include "snapshot.h"
#include <algorithm>
#include <cstdio>
#include "rig.h"

namespace {

const char* RootName(HKEY root) { return root == HKEY_CURRENT_USER ? "HKCU" : "HKLM"; }

// A path as the snapshot sorts it: each part before anything whose name it begins
// (Run\ before RunServices\), each key or directory before what lies in it.
std::string Sorted(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '\1');
    return path;
}

// Walks a key by handles, each subkey opened inside its parent: a path from the root may be
// longer than the 260 characters Wine takes (a subkey named with 255).
void AddKey(Snapshot& s, HKEY root, const std::string& key, HKEY parent, const std::string& name) {
    HKEY k;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return;
    const std::string sortName = Sorted(std::string(RootName(root)) + "\\" + key + "\\");
    s[sortName] = Entry{'k', root, key, "", "", 0, "", {}};
    char child[16384];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof child, type = 0, size = 0;
        if (RegEnumValueA(k, i, child, &length, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::string data(size, '\0');
        RegQueryValueExA(k, child, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
        data.resize(size);
        s[sortName + " : " + child] = Entry{'v', root, key, child, "", type, data, {}};
    }
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof child;
        if (RegEnumKeyExA(k, i, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        AddKey(s, root, key + "\\" + child, k, child);
    }
    RegCloseKey(k);
}

// 2: listed and walked, 1: listed only, 0: left out. The Windows directory is walked where
// the product keeps files; the system's own folders and the setup directory the test user
// may not write to (made by run-wine.sh) are listed only.
int Watched(const std::string& path) {
    std::string lower = path;
    CharLowerA(&lower[0]);
    const std::string parent = lower.substr(0, lower.rfind('\\')), name = lower.substr(lower.rfind('\\') + 1);
    if (parent == "c:\\windows") return name == "system" || name == "start menu" ? 2 : 1;
    if (parent == "c:\\program files") return name == "corvane" ? 2 : 1;
    return lower == "c:\\users" || lower == "c:\\programdata" || lower == "c:\\readonly-setup" ? 1 : 2;
}

void AddFiles(Snapshot& s, const std::string& directory) {
    ForEachEntry(directory, [&](const WIN32_FIND_DATAA& found) {
        const std::string path = directory + "\\" + found.cFileName;
        const int watched = Watched(path);
        const bool isDirectory = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        Entry entry{isDirectory ? 'd' : 'f', nullptr, "", "", path, isDirectory ? 0 : found.dwFileAttributes, "",
                    found.ftLastWriteTime};
        if (!isDirectory) ReadBytes(path, entry.data);
        s[Sorted(path + (isDirectory ? "\\" : ""))] = entry;
        if (isDirectory && watched == 2) AddFiles(s, path);
    });
}

std::string Attributes(DWORD attributes) {
    std::string out;
    const std::pair<DWORD, const char*> names[] = {{FILE_ATTRIBUTE_READONLY, "read-only"},
        {FILE_ATTRIBUTE_HIDDEN, "hidden"}, {FILE_ATTRIBUTE_SYSTEM, "system"}, {FILE_ATTRIBUTE_ARCHIVE, "archive"}};
    for (const auto& [bit, name] : names)
        if (attributes & bit) out += std::string(out.empty() ? "" : " ") + name;
    return "(" + (out.empty() ? std::string("normal") : out) + ")";
}

}  // namespace

bool Same(const Entry& a, const Entry& b) { return a.kind == b.kind && a.type == b.type && a.data == b.data; }

std::string TypeName(DWORD type) {
    const char* names[] = {"REG_NONE", "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY", "REG_DWORD", "REG_DWORD_BIG_ENDIAN",
                           "REG_LINK", "REG_MULTI_SZ", "REG_RESOURCE_LIST", "REG_FULL_RESOURCE_DESCRIPTOR",
                           "REG_RESOURCE_REQUIREMENTS_LIST", "REG_QWORD"};
    return type < 12 ? names[type] : "type " + std::to_string(type);
}

Snapshot TakeSnapshot() {
    Snapshot s;
    for (const char* key : {"SOFTWARE\\Vellmark", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices",
                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "SOFTWARE\\Classes\\http"})
        AddKey(s, HKEY_LOCAL_MACHINE, key, HKEY_LOCAL_MACHINE, key);
    for (const char* key : {"Control Panel\\International", "Software\\Wine\\AppDefaults", "Software\\Classes\\http"})
        AddKey(s, HKEY_CURRENT_USER, key, HKEY_CURRENT_USER, key);
    AddFiles(s, "C:");
    return s;
}

std::string Changes(const Snapshot& before, const Snapshot& after, const std::function<std::string(const Entry&)>& show,
                    bool rewrites) {
    const auto name = [](const Entry& e) {  // its bytes as they are read, outside ASCII too
        if (e.kind == 'k') return Escaped(RootName(e.root) + ("\\" + e.key)) + " (key)";
        if (e.kind == 'd') return Escaped(e.path) + "\\ (directory)";
        if (e.kind == 'f') return Escaped(e.path);
        return Escaped(RootName(e.root) + ("\\" + e.key)) + " : " + (e.name.empty() ? "@" : Escaped(e.name));
    };
    // What an entry holds: a file's attributes and bytes (`how` saying what the bytes are), a
    // value's type and data.
    const auto held = [&](const Entry& e, const char* how = "") {
        if (e.kind == 'f') return " " + Attributes(e.type) + " " + how + show(e);
        return e.kind == 'v' ? " = " + TypeName(e.type) + " " + show(e) : std::string();
    };
    std::string out;
    auto b = before.begin(), a = after.begin();
    while (b != before.end() || a != after.end()) {
        if (a == after.end() || (b != before.end() && b->first < a->first)) {
            out += "- " + name(b->second) + held(b->second) + "\n";
            ++b;
        } else if (b == before.end() || a->first < b->first) {
            out += "+ " + name(a->second) + held(a->second) + "\n";
            ++a;
        } else {
            const Entry &was = b->second, &is = a->second;
            if (is.kind == 'f' && was.type == is.type && is.data.size() > was.data.size() &&
                is.data.compare(0, was.data.size(), was.data) == 0) {
                Entry added = is;
                added.data.erase(0, was.data.size());
                out += "~ " + name(is) + held(added, "appended ") + "\n";
            } else if (!Same(was, is)) {
                out += "~ " + name(is) + held(is) + "\n  was" + held(was) + "\n";
            } else if (rewrites && is.kind == 'f' && CompareFileTime(&is.written, &was.written) != 0) {
                out += "~ " + name(is) + " written again, the same bytes\n";
            }
            ++a, ++b;
        }
    }
    return out;
}

void Restore(const Snapshot& wanted, const Snapshot& now) {
    std::string gone;  // a key or directory deleted with all that lies in it
    for (const auto& [name, e] : now) {
        if (!gone.empty() && name.compare(0, gone.size(), gone) == 0) continue;
        const auto it = wanted.find(name);
        if (it != wanted.end() && it->second.kind == e.kind) continue;
        if (e.kind == 'k') DeleteTree(e.key, e.root), gone = name;
        if (e.kind == 'v') DeleteValue(e.key, e.name, e.root);
        if (e.kind == 'd') RemoveTree(e.path), gone = name;
        if (e.kind == 'f') Remove(e.path);
    }
    for (const auto& [name, e] : wanted) {
        const auto it = now.find(name);
        if (it != now.end() && Same(it->second, e)) continue;
        if (e.kind == 'k') CreateKey(e.key, e.root);
        if (e.kind == 'v') SetBinary(e.key, e.name, e.data, e.type, e.root);
        if (e.kind == 'd') MakeDirs(e.path);
        if (e.kind == 'f') WriteBytes(e.path, e.data), SetFileAttributesA(e.path.c_str(), e.type);
    }
}

std::string Escaped(const std::string& bytes) {
    std::string out;
    for (size_t i = 0, run = 1; i < bytes.size(); i += run, run = 1) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        while (i + run < bytes.size() && bytes[i + run] == bytes[i]) ++run;
        if (run < 8) run = 1;
        char hex[8];
        std::snprintf(hex, sizeof hex, "<x%02x>", c);
        const std::string one = c == '\r' ? "<CR>" : c == '\n' ? "<LF>" : c == 0 ? "<NUL>"
                              : c < 0x20 || c >= 0x7f || c == '<' ? hex : std::string(1, static_cast<char>(c));
        out += run > 1 ? "<" + std::to_string(run) + "*" + one + ">" : one;
    }
    return out;
}

std::string Unescaped(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '<') {
            out += text[i];
            continue;
        }
        size_t end = i;
        for (int depth = 0; end < text.size(); ++end) {
            depth += text[end] == '<' ? 1 : text[end] == '>' ? -1 : 0;
            if (depth == 0) break;
        }
        const std::string inside = text.substr(i + 1, end - i - 1);
        const size_t star = inside.find('*');
        if (inside == "CR" || inside == "LF" || inside == "NUL")
            out += inside == "CR" ? '\r' : inside == "LF" ? '\n' : '\0';
        else if (inside[0] == 'x') out += static_cast<char>(std::stoi(inside.substr(1), nullptr, 16));
        else if (star != std::string::npos)
            for (int n = std::stoi(inside.substr(0, star)); n > 0; --n) out += Unescaped(inside.substr(star + 1));
        i = end;
    }
    return out;
}
