// Rules for the text read from the registry, kept free of Win32 so they can be tested anywhere.
#pragma once
#include "../platform/str.h"

// For a value named "runpath" (any case), removes exactly one trailing backslash, so that a
// drive root "C:\" becomes "C:" and joins such as dir + "\file" address the root again.
// A trail byte of a double-byte character is not a backslash. Any other value is returned
// as stored.
Str ApplyRunpathRule(const char* valueName, const Str& value, LeadBytePredicate isLeadByte);

// A key path that begins with a backslash is taken from the root key.
const char* KeyPathFromRoot(const char* keyPath);

// Whether `text` contains `part`, compared byte for byte (with case).
bool ContainsText(const Str& text, const char* part);
