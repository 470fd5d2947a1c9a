// The short-date picture: the letters users know from the regional settings.
#pragma once
#include "str.h"

struct CalendarDate {
    unsigned year;
    unsigned month;      // 1..12
    unsigned day;        // 1..31
    unsigned dayOfWeek;  // 0 = Sunday .. 6 = Saturday
};

enum class DateName { ShortDay, LongDay, ShortMonth, LongMonth, Era };

// Supplies the locale's names: a day by its day of the week, a month by 1..12, the era.
using DateNameSource = Str (*)(DateName which, unsigned index);

constexpr char kDefaultDatePicture[] = "m/d/yy";

// Formats `date` by `picture`, letters compared without case: d, dd (day), ddd, dddd (day
// names), m, mm (month), mmm, mmmm (month names), yy, yyyy (year), g (era name), e (era
// year); text in single or double quotes prints without its quotes; '/' prints
// `separator`; every other character prints as it is. An empty picture means m/d/yy, an
// empty separator a slash.
Str FormatDatePicture(const Str& picture, const Str& separator, const CalendarDate& date,
                      DateNameSource names, LeadBytePredicate isLeadByte);
