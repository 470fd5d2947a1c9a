// The date picture: every field, quotes, separators and double-byte text.
#include <gtest/gtest.h>
#include "core/datepicture.h"
#include "tests/testdata.h"

namespace {


Str EnglishNames(DateName which, unsigned index) {
    static const char* const kShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kLongDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    static const char* const kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char* const kLongMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                              "July",    "August",   "September", "October", "November", "December"};
    switch (which) {
    case DateName::ShortDay: return kShortDays[index];
    case DateName::LongDay: return kLongDays[index];
    case DateName::ShortMonth: return kShortMonths[index - 1];
    case DateName::LongMonth: return kLongMonths[index - 1];
    default: return "A.D.";
    }
}

constexpr CalendarDate kTuesday{2026, 12, 8, 2};
constexpr CalendarDate kEarly{2005, 3, 4, 5};

struct PictureCase {
    const char* picture;
    const char* separator;
    CalendarDate date;
    const char* text;
};

TEST(DatePicture, FormatsEveryField) {
    const PictureCase cases[] = {
        {"M/d/yy", "/", kTuesday, "12/8/26"},
        {"m/d/yy", "-", kEarly, "3-4-05"},
        {"dd/MM/yyyy", ".", kEarly, "04.03.2005"},
        {"DD/mmm/YYYY", "/", kTuesday, "08/Dec/2026"},
        {"dddd, MMMM d, yyyy", "/", kTuesday, "Tuesday, December 8, 2026"},
        {"ddd dd MMM", "/", kEarly, "Fri 04 Mar"},
        {"dddddd", "/", kEarly, "Friday"},  // a longer run is the long name
        {"y yyy", "/", kEarly, "05 2005"},
        {"g e ee", "/", kEarly, "A.D. 2005 2005"},
        {"yyyy-MM-dd", "/", kEarly, "2005-03-04"},
        {"'day' d \"of\" m", "/", kEarly, "day 4 of 3"},
        {"d 'it''s'", "/", kEarly, "4 its"},
        {"d 'unclosed / mm", "/", kEarly, "4 unclosed / mm"},
        {"d/m", "", kEarly, "4/3"},        // no separator from the locale: a slash
        {"", "-", kTuesday, "12-8-26"},     // no picture from the locale: m/d/yy
        {"d.m.yy#%x", "/", kEarly, "4.3.05#%x"},
        {"yy", "/", CalendarDate{2000, 1, 1, 6}, "00"},
        {"yyyy", "/", CalendarDate{999, 1, 1, 6}, "0999"},
    };
    for (const PictureCase& c : cases)
        EXPECT_EQ(FormatDatePicture(c.picture, c.separator, c.date, EnglishNames, NoLeadBytes), c.text) << c.picture;
}

TEST(DatePicture, CopiesDoubleByteCharactersWhole) {
    // 0x93 0x64 is one Shift-JIS character whose second byte is the letter d.
    EXPECT_EQ(FormatDatePicture("yyyy\x93\x64m", "/", kEarly, EnglishNames, ShiftJisLead), "2005\x93\x64" "3");
    EXPECT_EQ(FormatDatePicture("yyyy\x93\x64m", "/", kEarly, EnglishNames, NoLeadBytes), "2005\x93" "43");
}

}  // namespace
