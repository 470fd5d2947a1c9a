// What the programs ask of the system, read from Wine's trace of their calls: the requests
// whose effect Wine shows the same whether they are right or wrong.
#include <cstdio>
#include "product.h"

namespace {

// Given to every traced run, as a parent would hand it on: no open-file and no fault boxes.
constexpr UINT kGiven = SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX;

std::string Word(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lx", value);
    return text;
}

// A call a run must make, after the one before it, or right after it (`next`); `none`: no
// such call in the whole run. An argument or result "" matches any, "#k" what the k-th
// expected call returned.
struct Expected {
    std::string function;
    std::vector<std::string> args = {};
    std::string result = "";
    bool next = false, none = false;
};

void CheckCalls(const std::vector<Call>& calls, const std::vector<Expected>& expected) {
    std::vector<std::string> results;
    size_t at = 0;
    for (const Expected& e : expected) {
        const auto fits = [&](const std::string& want, const std::string& got) {
            return want.empty() || (want[0] == '#' ? lstrcmpiA(results[std::stoul(want.substr(1))].c_str(),
                                                              got.c_str()) == 0 : want == got);
        };
        size_t i = e.none ? 0 : at;
        for (; i < calls.size() && !(i > at && e.next); ++i) {
            bool match = calls[i].function == e.function && fits(e.result, calls[i].result);
            for (size_t a = 0; match && a < e.args.size(); ++a)
                match = a < calls[i].args.size() && fits(e.args[a], calls[i].args[a]);
            if (match) break;
        }
        const bool found = i < calls.size() && !(i > at && e.next);
        std::string what = e.function + "(";
        for (const std::string& arg : e.args) what += arg + (&arg == &e.args.back() ? "" : ",");
        Check(found != e.none, (e.none ? "no " : e.next ? "right then " : "then ") + what + ") " + e.result);
        if (e.none) continue;
        if (!found) return;
        results.push_back(calls[i].result);
        at = i + 1;
    }
}

struct TraceRow {
    std::string name;
    std::function<void()> setup;
    std::string exe, commandLine;
    std::vector<Expected> calls;
    std::string held = {};  // a file held open, unshared, while the program runs
};

}  // namespace

void RunTraceCases() {
    const std::string dir = kInstallDir + "\\", probe = "C:\\probe\\", shown = "0x" + Word(SW_HIDE);
    // The first SetErrorMode learns the given mode, the next adds ours to it; the mode given
    // is set back right before another program is started.
    const Expected learn{"SetErrorMode", {}, Word(kGiven)}, add{"SetErrorMode", {Word(kGiven | SEM_FAILCRITICALERRORS)}},
        back{"SetErrorMode", {Word(kGiven)}};
    const std::string read = Word(GENERIC_READ), alone = Word(0), failed = Word(0xFFFFFFFF);
    const TraceRow rows[] = {
        {"UNINSTALL deletes a file right after it opened it alone and closed it, no file held, and names a subkey of 255 characters",
         [&] {
             InstallProduct(kInstallDir);
             for (const char* name : {"cvl.exe", "cvl.hlp", "readme.txt"}) WriteBytes(dir + name, name);
             HKEY entry;  // a subkey named with 255 characters, the most a name may have
             RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstall.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &entry, nullptr);
             CreateKey(std::string(255, 'K'), entry);
             RegCloseKey(entry);
         },
         g_paths.maint, "cvmaint UNINSTALL",
         {learn, add, {"CreateFileA", {dir + "cvl.exe", read, alone}, failed}, {"DeleteFileA", {dir + "cvl.exe"}, "", false, true},
          {"CreateFileA", {dir + "cvl.hlp", read, alone}}, {"CloseHandle", {"#3"}, Word(1), true},
          {"DeleteFileA", {dir + "cvl.hlp"}, "", true}, {"CreateFileA", {dir + "readme.txt", read, alone}},
          {"CloseHandle", {"#6"}, Word(1), true}, {"DeleteFileA", {dir + "readme.txt"}, "", true},
          {"RegEnumKeyExA", {"", Word(0)}, Word(0)}},
         dir + "cvl.exe"},
        {"BROWSE asks the shell to wait for DDE and show no boxes, hidden, owned by the desktop", RegisterBrowser,
         g_paths.maint, "cvmaint BROWSE",
         {learn, add, {"GetDesktopWindow"}, back, {"ShellExecuteExA", {}, "", true},
          {"trace:exec:SHELL_execute",  // as Wine's shell prints what it is asked: mask, owner, verb, file...
           {"0x" + Word(SEE_MASK_FLAG_DDEWAIT | SEE_MASK_FLAG_NO_UI), "#2", "L\"OPEN\"", "L\"" + kHomePage + "\"",
            "(null)", "(null)", shown}}}},
        {"the probe writes and closes winver.ini before WinExec",
         [&] {
             MakeDirs(probe);
             CopyFileA(g_paths.probe.c_str(), (probe + "cvprobe.exe").c_str(), FALSE);
             CopyFileA(g_paths.standIn.c_str(), (probe + "cvcfg.exe").c_str(), FALSE);
             SetWineVersion("cvprobe.exe", "win95");
         },
         probe + "cvprobe.exe", "cvprobe",
         {learn, add,
          {"CreateFileA", {probe + "winver.ini", Word(GENERIC_WRITE), Word(FILE_SHARE_READ), "", Word(CREATE_ALWAYS)}},
          {"WriteFile", {"#2", "", Word(3)}, Word(1)}, {"CloseHandle", {"#2"}, Word(1)}, back,
          {"WinExec", {probe + "cvcfg.exe install", Word(SW_SHOWNORMAL)}, "", true}}},
    };
    for (const TraceRow& row : rows) {
        BeginCase("traced: " + row.name);
        ResetMachine();
        row.setup();
        FileHold hold(row.held);
        Check(hold.Held() == !row.held.empty(), "holding " + row.held);
        std::vector<Call> calls;
        CheckEqual(RunTraced(row.exe, row.commandLine, kGiven, ",+exec", calls).exitCode, 0, "exit code");
        CheckCalls(calls, row.calls);
    }
}
