// The rule for the text of the runpath setting, kept free of Win32 so it can be tested anywhere.
#pragma once
#include "str.h"

// For a value named "runpath" (any case), removes exactly one trailing backslash, so that a
// drive root "C:\" becomes "C:" and joins such as dir + "\file" address the root again.
// A trail byte of a double-byte character is not a backslash. Any other value is returned
// as stored.
Str ApplyRunpathRule(const char* valueName, const Str& value, LeadBytePredicate isLeadByte);
