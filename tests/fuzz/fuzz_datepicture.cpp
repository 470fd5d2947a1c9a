// Fuzz target: any date picture formats without reading past its end.
#include <cstdint>
#include "fuzz_check.h"
#include "core/datepicture.h"
#include "core/text.h"

static Str Names(DateName which, unsigned index) {
    FUZZ_CHECK(which == DateName::Era || index <= 12);
    return Str(1 + index % 9, static_cast<char>('A' + static_cast<int>(which)));
}

static bool IsSpecial(char c) {
    const char lower = LowerAscii(c);
    return lower == 'd' || lower == 'm' || lower == 'y' || lower == 'g' || lower == 'e' || c == '/' || c == '\'' ||
           c == '"';
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6) return 0;
    const CalendarDate date{1u + (data[0] | (data[1] << 8)) % 9999u, 1u + data[2] % 12u, 1u + data[3] % 31u,
                            data[4] % 7u};
    const bool dbcs = data[5] & 1;
    const Str picture(reinterpret_cast<const char*>(data + 6), size - 6);
    const Str out = FormatDatePicture(picture, "-", date, Names, dbcs ? ShiftJisLead : NoLeadBytes);
    // Every picture byte yields at most one field of at most 9 bytes (or its own byte).
    FUZZ_CHECK(out.size() <= 9 * (picture.empty() ? 6 : picture.size()));
    bool plain = !picture.empty();
    for (char c : picture) plain = plain && !IsSpecial(c);
    if (plain) FUZZ_CHECK(out == picture);  // nothing to replace: printed unchanged
    return 0;
}
