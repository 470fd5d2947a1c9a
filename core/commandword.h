// Splitting the raw command line into arguments and normalising the command word.
#pragma once
#include "str.h"

constexpr std::size_t kMaxArgumentBytes = 4096;

// Reads the argument that starts at or after `cursor` and moves `cursor` past it.
// Bytes 0x01..0x20 outside quotes separate arguments; a double quote opens a run that
// ends at the next double quote or at the end of the line, both quotes dropped; runs that
// touch form one argument; a pair of quotes at the very start of an argument is skipped.
// Bytes past kMaxArgumentBytes are consumed but not kept. Returns false when no argument
// is left.
bool NextArgument(const char*& cursor, Str& argument);

// Argument 1 of a whole command line (the program name is token 0); empty when absent.
Str CommandWord(const char* commandLine);

