// The probe's rules: the Windows class of a version, the program directory, the hand-off line.
#include "windowsclass.h"
#include "text.h"

int ClassOfVersion(std::uint32_t platformId, std::uint32_t minorVersion) {
    if (platformId == kPlatformWin32Nt) return kWindowsNtClass;
    if (minorVersion < 10) return 1;
    if (minorVersion <= 50) return 2;
    return 3;
}

Str ProgramDirectoryOf(const Str& modulePath, LeadBytePredicate isLeadByte) {
    return modulePath.substr(0, EndOfLastSeparator(modulePath, "\\:", isLeadByte));
}

Str HandOffCommandLine(const Str& programDirectory, int windowsClass) {
    const char* word = windowsClass == kWindowsNtClass ? " noinst" : " install";
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
