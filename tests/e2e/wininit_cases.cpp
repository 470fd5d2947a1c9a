// WININIT.INI as other programs see it: the system's own profile reader as the judge, the
// system's profile cache, and several UNINSTALL runs ending at the same moment.
#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include "product.h"

namespace {

std::set<std::string> Entries(const std::string& section) {
    std::set<std::string> entries;
    for (size_t at = 0; at < section.size(); at = section.find('\0', at) + 1) entries.insert(section.c_str() + at);
    return entries;
}

// UNINSTALL's message alone: its caption and text, OK only, no icon, no owner; exit code 0.
void CheckUninstalled(const Run& run) {
    CheckEqual(std::to_string(run.exitCode), "0", "exit code");
    Check(run.boxes.size() == 1, "one box");
    for (const Box& box : run.boxes)
        CheckEqual(BoxText(box), "box \"Dialog\", no icon, buttons OK, no owner\n  Vellmark Software Corvane is "
                                 "now uninstalled, you will need to restart your computer.\n", "the message");
}

}  // namespace

ProfileSections ReadSections(const std::string& path) {
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

void CheckReaderAgrees(ProfileSections before) {
    ProfileSections after = ReadSections(Wininit());
    std::set<std::string> expected = Entries(before["rename"]);
    std::istringstream ours(OurLines());
    for (std::string line; std::getline(ours, line);) expected.insert(line.substr(0, line.size() - 1));  // no CR
    Check(Entries(after["rename"]) == expected,
          "[Rename] holds what it held and both our lines, as the system reads it");
    before.erase("rename");
    after.erase("rename");
    Check(after == before, "every other section reads as before");
}

namespace {

void ProfileCacheCases() {
    // UNINSTALL asks the system to write out its cached copy of WININIT.INI first; where the
    // system holds none, the request must not create the file.
    BeginCase("flushing the profile cache of a missing file creates nothing");
    ResetMachine();
    Check(!Exists(Wininit()), "no WININIT.INI to begin with");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Wininit().c_str());
    Check(!Exists(Wininit()), "still none after the flush");

    // What this shows is only that the line stands: Wine's profile writer writes through at
    // once, so the line is on the disk whether or not UNINSTALL asks for the cache to be
    // written out. That request is held by the recorded UNINSTALL rows, among their calls.
    BeginCase("UNINSTALL keeps a line another program wrote with the system's profile writer");
    ResetMachine();
    WritePrivateProfileStringA("Rename", "C:\\NEW.SYS", "C:\\OLD.SYS", Wininit().c_str());
    {
        const Run run = RunProgram(g_paths.maint, "\"" + g_paths.maint + "\" UNINSTALL");
        CheckEqual(std::to_string(run.exitCode), "0", "exit code");
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
        for (const Run& run : runs) CheckUninstalled(run);
        CheckEqual(BytesOr(Wininit()), expected, "every line stands, ours once each");
        CheckEqual(WindowsFileNames(), names, "no file left or lost in the Windows directory");
    }
}

}  // namespace

void RunWininitCases() {
    ProfileCacheCases();
    ConcurrentCases();
}
