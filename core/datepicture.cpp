// FormatDatePicture: a date written by the short-date picture of the regional settings.
#include "datepicture.h"
#include "text.h"

static void AppendField(Str& out, char letter, std::size_t run, const CalendarDate& date,
                        DateNameSource names) {
    switch (letter) {
    case 'd':
        if (run <= 2)
            AppendDecimal(out, date.day, static_cast<unsigned>(run));
        else
            out += names(run == 3 ? DateName::ShortDay : DateName::LongDay, date.dayOfWeek);
        break;
    case 'm':
        if (run <= 2)
            AppendDecimal(out, date.month, static_cast<unsigned>(run));
        else
            out += names(run == 3 ? DateName::ShortMonth : DateName::LongMonth, date.month);
        break;
    case 'y':
        if (run <= 2)
            AppendDecimal(out, date.year % 100, 2);
        else
            AppendDecimal(out, date.year, 4);
        break;
    case 'g':
        out += names(DateName::Era, 0);
        break;
    default:  // 'e': the year within the era, which for the Gregorian calendar is the year
        AppendDecimal(out, date.year, run == 1 ? 1 : 2);
        break;
    }
}

Str FormatDatePicture(const Str& picture, const Str& separator, const CalendarDate& date,
                      DateNameSource names, LeadBytePredicate isLeadByte) {
    const Str& pattern = picture.empty() ? Str(kDefaultDatePicture) : picture;
    const Str& slash = separator.empty() ? Str("/") : separator;
    Str out;
    std::size_t i = 0;
    const std::size_t n = pattern.size();
    while (i < n) {
        const char c = pattern[i];
        if (isLeadByte(static_cast<unsigned char>(c)) && i + 1 < n) {
            out.append(pattern, i, 2);
            i += 2;
            continue;
        }
        const char letter = LowerAscii(c);
        if (c == '\'' || c == '"') {
            std::size_t close = pattern.find(c, i + 1);
            if (close == Str::npos) close = n;
            out.append(pattern, i + 1, close - i - 1);
            i = close < n ? close + 1 : n;
        } else if (c == '/') {
            out += slash;
            ++i;
        } else if (letter == 'd' || letter == 'm' || letter == 'y' || letter == 'g' || letter == 'e') {
            std::size_t run = 1;
            while (i + run < n && LowerAscii(pattern[i + run]) == letter) ++run;
            AppendField(out, letter, run, date, names);
            i += run;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}
