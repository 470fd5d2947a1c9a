// ApplyRunpathRule: one trailing backslash taken off the runpath setting.
#include "runpath.h"
#include "text.h"

static bool IsRunpathName(const char* name) {
    static constexpr char kRunpath[] = "runpath";
    for (int i = 0;; ++i) {
        const char c = LowerAscii(name[i]);
        if (c != kRunpath[i]) return false;
        if (c == '\0') return true;
    }
}

Str ApplyRunpathRule(const char* valueName, const Str& value, LeadBytePredicate isLeadByte) {
    if (IsRunpathName(valueName) && !value.empty() && EndOfLastSeparator(value, "\\", isLeadByte) == value.size())
        return value.substr(0, value.size() - 1);
    return value;
}
