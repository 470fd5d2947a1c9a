// The registry and path operations of the maintenance tool. Each registry operation opens
// one key under HKEY_LOCAL_MACHINE with full access, does one thing and closes it again.
#pragma once
#include "../core/str.h"

constexpr char kProductKey[] = "SOFTWARE\\Vellmark\\CVLock";
// The same key, as UNINSTALL names it when it deletes the key (the registry ignores case).
// Both spellings are the product's own; each is kept where the product uses it, so that a
// search for either finds the code.
constexpr char kProductKeyLower[] = "SOFTWARE\\Vellmark\\cvlock";
constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunServicesKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices";
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\cvlock";

// String reads: empty when the key or value is missing; a value that is not a string ends
// the process. The runpath rule applies to both.
Str ReadProductSetting(const char* name);
Str ReadMachineString(const char* keyPath, const char* name);
void DeleteMachineValue(const char* keyPath, const char* name);

// String writes create the key when needed; a refused write ends the process.
void WriteProductSetting(const char* name, const Str& value);
void SetRunEntry(const char* name, const Str& value);
void SetRunServicesEntry(const char* name, const Str& value);
void DeleteRunEntry(const char* name);
void DeleteRunServicesEntry(const char* name);

// Whole keys with every subkey and value; a missing key is left alone.
void DeleteUninstallEntry();
void DeleteProductKey();

Str ShortPath(const Str& path);
