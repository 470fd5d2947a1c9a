#include "mbcs.h"

std::size_t EndOfLastSeparator(const Str& text, const char* separators, LeadBytePredicate isLeadByte) {
    std::size_t end = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (isLeadByte(byte) && i + 1 < text.size()) {
            i += 2;
            continue;
        }
        for (const char* s = separators; *s != '\0'; ++s)
            if (text[i] == *s) end = i + 1;
        ++i;
    }
    return end;
}
