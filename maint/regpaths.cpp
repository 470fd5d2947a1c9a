// The registry and path operations of the maintenance tool, over MachineKey.
#include "regpaths.h"
#include "../platform/win32.h"
#include "../core/runpath.h"

static Str QuotedName(const char* format, const char* name) {
    Str message = format;
    message += " for '";
    message += name;
    message += '\'';
    return message;
}

Str ReadMachineString(const char* keyPath, const char* name) {
    const MachineKey key(keyPath, KeyOpening::Existing);
    if (!key.IsOpen()) return Str();
    const ValueInfo info = key.Query(name);
    // A query that fails for another reason than a missing value says nothing of the value:
    // taken for missing, it would make the commands run without it.
    if (info.unreadable) Fail(FailKind::Registry, QuotedName("Failed to get data", name));
    if (!info.exists || info.size == 0) return Str();
    if (info.type != kRegString && info.type != kRegExpandString)
        Fail(FailKind::Registry, QuotedName("Invalid data type", name));
    Str data(info.size, '\0');
    if (!key.ReadData(name, &data[0], info.size)) Fail(FailKind::Registry, QuotedName("Failed to get data", name));
    data.resize(data.find('\0') == Str::npos ? data.size() : data.find('\0'));
    return ApplyRunpathRule(name, data, IsCodePageLeadByte);
}

Str ReadProductSetting(const char* name) { return ReadMachineString(kProductKey, name); }

void DeleteMachineValue(const char* keyPath, const char* name) {
    const MachineKey key(keyPath, KeyOpening::Existing);
    if (key.IsOpen()) key.DeleteValue(name);
}

static void WriteMachineString(const char* keyPath, const char* name, const Str& value) {
    const MachineKey key(keyPath, KeyOpening::CreateMissing);
    if (key.IsOpen() && !key.SetString(name, value))
        Fail(FailKind::Registry, QuotedName("Failed to set data", name));
}

void WriteProductSetting(const char* name, const Str& value) { WriteMachineString(kProductKey, name, value); }
void SetRunEntry(const char* name, const Str& value) { WriteMachineString(kRunKey, name, value); }
void SetRunServicesEntry(const char* name, const Str& value) { WriteMachineString(kRunServicesKey, name, value); }
void DeleteRunEntry(const char* name) { DeleteMachineValue(kRunKey, name); }
void DeleteRunServicesEntry(const char* name) { DeleteMachineValue(kRunServicesKey, name); }

// Depth first, last subkey first, so that it works where deleting a key with subkeys is refused.
static void DeleteKeyTree(const Str& path) {
    {
        const MachineKey key(path.c_str(), KeyOpening::Existing);
        if (!key.IsOpen()) return;
        for (unsigned long index = key.SubkeyCount(); index-- > 0;) {
            Str name;
            if (!key.SubkeyName(index, name)) continue;
            Str child = path;
            child += '\\';
            child += name;
            DeleteKeyTree(child);
        }
    }
    DeleteMachineKeyAlone(path.c_str());
}

void DeleteUninstallEntry() { DeleteKeyTree(kUninstallKey); }
void DeleteProductKey() { DeleteKeyTree(kProductKeyLower); }

Str ShortPath(const Str& path) {
    if (path.empty()) return Str();
    Str shortPath;
    return QueryShortPath(path, shortPath) ? shortPath : path;
}
