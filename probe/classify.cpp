#include "classify.h"
#include "../platform/text.h"

int ClassOfVersion(std::uint32_t platformId, std::uint32_t minorVersion) {
    if (platformId == kPlatformWin32Nt) return 4;
    if (minorVersion < 10) return 1;
    if (minorVersion <= 50) return 2;
    return 3;
}

Str ProgramDirectoryOf(const Str& modulePath, LeadBytePredicate isLeadByte) {
    return modulePath.substr(0, EndOfLastSeparator(modulePath, "\\:", isLeadByte));
}

Str HandOffCommandLine(const Str& programDirectory, int windowsClass) {
    const char* word = windowsClass == 4 ? " noinst" : " install";
    Str line;
    if (programDirectory.find(' ') != Str::npos) {
        line = '"';
        line += programDirectory;
        line += "cvcfg.exe\"";
    } else {
        line = programDirectory;
        line += "cvcfg.exe";
    }
    line += word;
    return line;
}
