// ENABLED and DISABLED: the product's start-up entries and its enable marker file.
#include "../core/text.h"
#include "../platform/win32.h"
#include "commands.h"
#include "../core/datepicture.h"
#include "regpaths.h"

static Str MarkerFilePath(const Str& installDir) { return installDir + "\\cvl.ini"; }

static Str LocaleName(DateName which, unsigned index) {
    switch (which) {
    case DateName::ShortDay: return LocaleDayName(index, true);
    case DateName::LongDay: return LocaleDayName(index, false);
    case DateName::ShortMonth: return LocaleMonthName(index, true);
    case DateName::LongMonth: return LocaleMonthName(index, false);
    default: return LocaleEraName();
    }
}

static Str TodayInShortDateFormat() {
    return FormatDatePicture(LocaleShortDatePicture(), LocaleDateSeparator(), TodayLocal(), LocaleName,
                             IsCodePageLeadByte);
}

void EnableLock(const Str& installDir) {
    WriteProductSetting("enabled", "1");
    SetRunEntry("cvlock", WindowsDirectory() + "\\CVVCHK.EXE VCHECK");
    // A start-up entry of older setups that ran the verifier: it goes when it names it.
    if (ContainsText(ReadMachineString(kRunKey, "runkey"), "cvvchk")) DeleteMachineValue(kRunKey, "runkey");
    SetRunServicesEntry("cvlock", WindowsDirectory() + "\\CVCFG.EXE VCHECK " + ShortPath(installDir));
    // With no installation directory the marker would land in the root of the current drive.
    if (!installDir.empty()) WriteNewFile(MarkerFilePath(installDir), TodayInShortDateFormat() + "\r\n");
}

void DisableLock(const Str& installDir) {
    WriteProductSetting("enabled", "0");
    DeleteRunEntry("cvlock");
    DeleteRunServicesEntry("cvlock");
    if (!installDir.empty()) DeleteFileAt(MarkerFilePath(installDir));
}
