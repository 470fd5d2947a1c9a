// The date and the user's regional settings for it.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "win32.h"

CalendarDate TodayLocal() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return CalendarDate{now.wYear, now.wMonth, now.wDay, now.wDayOfWeek};
}

static Str LocaleText(LCTYPE item) {
    char buffer[128];
    const int length = GetLocaleInfoA(GetThreadLocale(), item, buffer, sizeof buffer);
    return length > 0 ? Str(buffer) : Str();
}

Str LocaleShortDatePicture() { return LocaleText(LOCALE_SSHORTDATE); }
Str LocaleDateSeparator() { return LocaleText(LOCALE_SDATE); }

Str LocaleDayName(unsigned dayOfWeek, bool abbreviated) {
    // The locale numbers its day names from Monday; the calendar counts from Sunday.
    const LCTYPE first = abbreviated ? LOCALE_SABBREVDAYNAME1 : LOCALE_SDAYNAME1;
    return LocaleText(first + (dayOfWeek + 6) % 7);
}

Str LocaleMonthName(unsigned month, bool abbreviated) {
    const LCTYPE first = abbreviated ? LOCALE_SABBREVMONTHNAME1 : LOCALE_SMONTHNAME1;
    return LocaleText(first + (month - 1) % 12);
}

Str LocaleEraName() {
    char buffer[64];
    const int length = GetDateFormatA(GetThreadLocale(), 0, nullptr, "g", buffer, sizeof buffer);
    return length > 0 ? Str(buffer) : Str();
}
