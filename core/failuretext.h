// Failures that no command handles: what they say. The box that shows them is Fail in
// platform/failurebox.cpp.
#pragma once
#include <cstdint>
#include "str.h"

enum class FailKind { File, Registry, Memory, Internal };

const char* FailKindName(FailKind kind);

// File failures of our own, numbered beside the system's error codes.
constexpr unsigned long kReadBeyondEndOfFile = 100;
constexpr unsigned long kDiskFull = 101;

// The message for a file failure by its code.
Str FileErrorText(unsigned long code);

// "Exception <kind> in module <module> at <address>." LF <message> with a full stop added
// when the message lacks one. The address prints as eight upper-case hex digits.
Str FailureText(const char* kind, const char* module, std::uint32_t address, const Str& message);
