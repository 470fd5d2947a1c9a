// Small text routines both programs share: separators, decimals, substrings, letter case.
#include "text.h"

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

void AppendDecimal(Str& out, unsigned long value, unsigned minDigits) {
    char digits[24];
    unsigned count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count < minDigits && count < sizeof digits) digits[count++] = '0';
    while (count > 0) out += digits[--count];
}

bool ContainsText(const Str& text, const char* part) { return text.find(part) != Str::npos; }

Str UpperCaseAscii(const Str& text) {
    Str upper = text;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}
