// Splitting the raw command line into arguments: the command word is argument 1.
#include "commandword.h"

static bool IsSeparator(char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte >= 0x01 && byte <= 0x20;
}

bool NextArgument(const char*& cursor, Str& argument) {
    argument.clear();
    const char* p = cursor;
    for (;;) {
        while (IsSeparator(*p)) ++p;
        if (p[0] == '"' && p[1] == '"')
            p += 2;
        else
            break;
    }
    if (*p == '\0') {
        cursor = p;
        return false;
    }
    while (*p != '\0' && !IsSeparator(*p)) {
        if (*p == '"') {
            ++p;
            while (*p != '\0' && *p != '"') {
                if (argument.size() < kMaxArgumentBytes) argument += *p;
                ++p;
            }
            if (*p == '"') ++p;
        } else {
            if (argument.size() < kMaxArgumentBytes) argument += *p;
            ++p;
        }
    }
    cursor = p;
    return true;
}

Str CommandWord(const char* commandLine) {
    Str argument;
    if (commandLine == nullptr || !NextArgument(commandLine, argument)) return Str();
    if (!NextArgument(commandLine, argument)) return Str();
    return argument;
}

