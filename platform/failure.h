// Failures that no command handles: what they say and how they end the process.
#pragma once
#include <cstdint>
#include "str.h"

enum class FailKind { File, Registry, Memory, Internal };

const char* FailKindName(FailKind kind);

// The message for a file failure by its system error code.
Str FileErrorText(unsigned long code);

// "Exception <kind> in module <module> at <address>." LF <message> with a full stop added
// when the message lacks one. The address prints as eight upper-case hex digits.
Str FailureText(const char* kind, const char* module, std::uint32_t address, const Str& message);

// Shows the task-modal "Application Error" box and ends the process with exit code 1.
[[noreturn]] void Fail(FailKind kind, const Str& message);
[[noreturn]] void FailFile(unsigned long code);
