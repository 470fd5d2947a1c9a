// The texts of the "Application Error" box: the failure kinds, file errors by code, the two lines.
#include "failuretext.h"
#include "text.h"

const char* FailKindName(FailKind kind) {
    switch (kind) {
    case FailKind::File: return "FileError";
    case FailKind::Registry: return "RegistryError";
    case FailKind::Memory: return "OutOfMemory";
    default: return "InternalError";
    }
}

Str FileErrorText(unsigned long code) {
    switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case kReadBeyondEndOfFile: return "Read beyond end of file";
    case kDiskFull: return "Disk full";
    default: {
        Str text = "I/O error ";
        AppendDecimal(text, code);
        return text;
    }
    }
}

Str FailureText(const char* kind, const char* module, std::uint32_t address, const Str& message) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    Str text = "Exception ";
    text += kind;
    text += " in module ";
    text += module;
    text += " at ";
    for (int shift = 28; shift >= 0; shift -= 4) text += kHex[(address >> shift) & 0xF];
    text += ".\n";
    text += message;
    if (message.empty() || message.back() != '.') text += '.';
    return text;
}
