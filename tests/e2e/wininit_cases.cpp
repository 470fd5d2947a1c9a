// WININIT.INI as other programs see it: the system's own profile reader as the judge, the
// system's profile cache, and several UNINSTALL runs ending at the same moment.
#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include "product.h"

namespace {

// Every section of a profile file as the system reads it: name (lower case) -> entries.
// The first section of a name hides any later one, as it does for every reader.
std::map<std::string, std::string> ReadSections(const std::string& path) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // nothing stale in this process
    std::vector<char> names(65536), entries(65536);
    GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), path.c_str());
    std::map<std::string, std::string> sections;
    for (const char* name = names.data(); *name; name += std::strlen(name) + 1) {
        const DWORD length =
            GetPrivateProfileSectionA(name, entries.data(), static_cast<DWORD>(entries.size()), path.c_str());
        std::string key = name;
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        sections[key] = std::string(entries.data(), length);
    }
    return sections;
}

std::set<std::string> Entries(const std::string& section) {
    std::set<std::string> entries;
    for (size_t at = 0; at < section.size(); at = section.find('\0', at) + 1) entries.insert(section.c_str() + at);
    return entries;
}

// Every shape of WININIT.INI met: UNINSTALL keeps what the system's reader saw in every
// section and adds our two lines to [Rename]; where `after` is given, byte for byte.
void ShapeCases() {
    const std::string cvvchk = "NUL=" + WindowsDir() + "\\cvvchk.exe";
    std::string huge = "[Rename]\r\nNUL=C:\\OTHER.TMP\r\n[Big]\r\n";
    while (huge.size() < 1024 * 1024) huge += "K" + std::to_string(huge.size()) + "=0123456789abcdef\r\n";
    const struct {
        const char* name;
        std::string before, after;
        DWORD attributes = 0;  // hidden or system: kept when the new text is swapped in
    } files[] = {
        {"another program's line, then another section",
         "[rename]\r\nNUL=C:\\OTHER.TMP\r\n\r\n[Other]\r\nA=1\r\n",
         "[rename]\r\nNUL=C:\\OTHER.TMP\r\n" + OurLines() + "\r\n[Other]\r\nA=1\r\n"},
        {"no [Rename] and no final line break", "[Other]\r\nA=1", "[Other]\r\nA=1\r\n[Rename]\r\n" + OurLines()},
        {"[Rename] last without a final line break", "[Rename]\r\nNUL=C:\\OTHER.TMP",
         "[Rename]\r\nNUL=C:\\OTHER.TMP\r\n" + OurLines()},
        {"[Rename] twice", "[Rename]\r\nX=1\r\n[rename]\r\nY=2\r\n",
         "[Rename]\r\nX=1\r\n" + OurLines() + "[rename]\r\nY=2\r\n"},
        {"our lines already there", "[Rename]\r\n" + OurLines(), "[Rename]\r\n" + OurLines()},
        {"blank lines", "\r\n[Rename]\r\n\r\nNUL=C:\\A\r\n\r\n\r\n[X]\r\n",
         "\r\n[Rename]\r\n\r\nNUL=C:\\A\r\n" + OurLines() + "\r\n\r\n[X]\r\n"},
        {"bare line feeds", "[Rename]\nNUL=C:\\A\n", "[Rename]\nNUL=C:\\A\n" + OurLines()},
        {"1 MB", huge, "[Rename]\r\nNUL=C:\\OTHER.TMP\r\n" + OurLines() + huge.substr(huge.find("[Big]"))},
        {"hidden and system", "[Rename]\r\n[X]\r\n", "[Rename]\r\n" + OurLines() + "[X]\r\n",
         FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
        {"blanks in and around the header", "  [ Rename ]  \r\nNUL=C:\\OTHER.TMP\r\n[Keep]\r\nA=1\r\n", ""},
        {"comments and other case",
         "; set up by another program\r\n[RENAME]\r\n; pending\r\nNUL=C:\\OTHER.TMP\r\n", ""},
        {"two [Rename] sections, ours in the second",
         "[Rename]\r\nNUL=C:\\OTHER.TMP\r\n[Keep]\r\nA=1\r\n[rename]\r\n" + cvvchk + "\r\n", ""},
        {"blank lines after the last section", "[Rename]\r\nNUL=C:\\OTHER.TMP\r\n\r\n\r\n", ""},
    };
    for (const auto& file : files) {
        BeginCase(std::string("WININIT.INI after UNINSTALL: ") + file.name);
        ResetMachine();
        WriteBytes(Wininit(), file.before);
        if (file.attributes) SetFileAttributesA(Wininit().c_str(), file.attributes);
        std::map<std::string, std::string> before = ReadSections(Wininit());
        const Run run = RunMaint("UNINSTALL");
        CheckEqual(run.exitCode, 0, "exit code");
        CheckBoxes(run, {UninstallMessage()});
        if (!file.after.empty()) CheckEqual(BytesOr(Wininit()), file.after, "WININIT.INI");
        if (file.attributes)
            CheckEqual(GetFileAttributesA(Wininit().c_str()) & file.attributes, file.attributes, "attributes");
        std::map<std::string, std::string> after = ReadSections(Wininit());
        std::set<std::string> expected = Entries(before["rename"]);
        expected.insert("NUL=" + WindowsDir() + "\\System\\ctgcpl.cpl");
        expected.insert(cvvchk);
        const std::set<std::string> renamed = Entries(after["rename"]);
        Check(renamed == expected, "[Rename] holds what it held and both our lines");
        before.erase("rename");
        after.erase("rename");
        Check(after == before, "every other section reads as before");
        CheckEqual(EditLeftovers(), "", "nothing left beside WININIT.INI");
    }
}

void ProfileCacheCases() {
    // UNINSTALL asks the system to write out its cached copy of WININIT.INI first; where the
    // system holds none, the request must not create the file.
    BeginCase("flushing the profile cache of a missing file creates nothing");
    ResetMachine();
    Check(!Exists(Wininit()), "no WININIT.INI to begin with");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Wininit().c_str());
    Check(!Exists(Wininit()), "still none after the flush");

    // A line another program just wrote through the system's profile writer is on the disk
    // for UNINSTALL to keep.
    BeginCase("UNINSTALL right after another program's profile write");
    ResetMachine();
    WritePrivateProfileStringA("Rename", "C:\\NEW.SYS", "C:\\OLD.SYS", Wininit().c_str());
    {
        const Run run = RunMaint("UNINSTALL");
        CheckEqual(run.exitCode, 0, "exit code");
        const std::set<std::string> renamed = Entries(ReadSections(Wininit())["rename"]);
        Check(renamed.count("C:\\NEW.SYS=C:\\OLD.SYS") == 1, "the other program's line stands");
        Check(renamed.count("NUL=" + WindowsDir() + "\\cvvchk.exe") == 1, "our line stands");
    }
}

// Six UNINSTALL runs answered at the same moment, ten rounds; a WININIT.INI whose
// [Rename] is followed by another section (the new text is swapped in) and one where it is
// last (our lines are appended) take turns.
void ConcurrentCases() {
    const std::string other = "NUL=C:\\OTHER.TMP\r\nC:\\NEW.SYS=C:\\OLD.SYS\r\n";
    for (int round = 1; round <= 10; ++round) {
        const bool swapped = round % 2 == 1;
        BeginCase("six UNINSTALL runs at once, round " + std::to_string(round) +
                  (swapped ? ", [Rename] first" : ", [Rename] last"));
        ResetMachine();
        const std::string before = swapped ? "[Rename]\r\n" + other + "[Keep]\r\nA=1\r\n"
                                           : "[Keep]\r\nA=1\r\n[Rename]\r\n" + other;
        const std::string expected = swapped ? "[Rename]\r\n" + other + OurLines() + "[Keep]\r\nA=1\r\n"
                                             : before + OurLines();
        WriteBytes(Wininit(), before);
        const std::string names = WindowsFileNames();
        const std::vector<Run> runs = RunTogether(g_paths.maint, "\"" + g_paths.maint + "\" UNINSTALL", 6);
        for (const Run& run : runs) {
            CheckEqual(run.exitCode, 0, "exit code");
            CheckBoxes(run, {UninstallMessage()});
        }
        CheckEqual(BytesOr(Wininit()), expected, "every line stands, ours once each");
        CheckEqual(WindowsFileNames(), names, "no file left or lost in the Windows directory");
    }
}

}  // namespace

void RunWininitCases() {
    ShapeCases();
    ProfileCacheCases();
    ConcurrentCases();
}
