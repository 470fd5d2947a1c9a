// MachineKey: one key under HKEY_LOCAL_MACHINE, opened for one operation.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "win32.h"

MachineKey::MachineKey(const char* path, KeyOpening opening) {
    HKEY key = nullptr;
    LONG status;
    if (opening == KeyOpening::CreateMissing) {
        DWORD disposition = 0;
        status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &key, &disposition);
    } else {
        status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key);
    }
    if (status == ERROR_SUCCESS) handle_ = key;
}

MachineKey::~MachineKey() {
    if (handle_ != nullptr) RegCloseKey(static_cast<HKEY>(handle_));
}

ValueInfo MachineKey::Query(const char* name) const {
    DWORD type = 0, size = 0;
    const LONG status = RegQueryValueExA(static_cast<HKEY>(handle_), name, nullptr, &type, nullptr, &size);
    return ValueInfo{status == ERROR_SUCCESS, type, size, status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND};
}

bool MachineKey::ReadData(const char* name, char* buffer, unsigned long size) const {
    DWORD type = 0, length = size;
    return RegQueryValueExA(static_cast<HKEY>(handle_), name, nullptr, &type,
                            reinterpret_cast<BYTE*>(buffer), &length) == ERROR_SUCCESS;
}

bool MachineKey::SetString(const char* name, const Str& value) const {
    return RegSetValueExA(static_cast<HKEY>(handle_), name, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

void MachineKey::DeleteValue(const char* name) const {
    RegDeleteValueA(static_cast<HKEY>(handle_), name);
}

unsigned long MachineKey::SubkeyCount() const {
    DWORD subkeys = 0;
    if (RegQueryInfoKeyA(static_cast<HKEY>(handle_), nullptr, nullptr, nullptr, &subkeys, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return subkeys;
}

bool MachineKey::SubkeyName(unsigned long index, Str& name) const {
    char buffer[256];  // a key name holds at most 255 characters
    DWORD length = sizeof buffer;
    if (RegEnumKeyExA(static_cast<HKEY>(handle_), index, buffer, &length, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS)
        return false;
    name.assign(buffer, length);
    return true;
}

void DeleteMachineKeyAlone(const char* path) { RegDeleteKeyA(HKEY_LOCAL_MACHINE, path); }
