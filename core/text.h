// Small text routines shared by both programs.
#pragma once
#include "str.h"

// Index just past the last character of `text` that is one of `separators`, or 0 when
// there is none. A byte that is the second half of a double-byte character is never a
// separator (in Shift-JIS, for one, the trail byte of many characters is 0x5C).
std::size_t EndOfLastSeparator(const Str& text, const char* separators, LeadBytePredicate isLeadByte);

// Appends `value` in decimal, with leading zeros up to `minDigits` digits.
void AppendDecimal(Str& out, unsigned long value, unsigned minDigits = 1);

// Whether `text` contains `part`, compared byte for byte (with case).
bool ContainsText(const Str& text, const char* part);

// Only A to Z and a to z change case; every other byte stays as it is, whatever the code
// page, since no locale rule applies to the words and names compared.
inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
Str UpperCaseAscii(const Str& text);
