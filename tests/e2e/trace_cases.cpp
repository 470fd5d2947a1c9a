// What the programs ask of the system, read from Wine's trace of their calls: the requests
// whose effect Wine shows the same whether they are right or wrong.
#include <cstdio>
#include <cstring>
#include "product.h"

namespace {

// Given to every traced run, as a parent would hand it on: no open-file and no fault boxes.
constexpr UINT kGiven = SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX;

// A number as the trace shows it.
std::string Word(unsigned long value, const char* format = "%08lx") {
    char text[16];
    return std::string(text, std::snprintf(text, sizeof text, format, value));
}

// Whether `text` matches `pattern`, in which * stands for any run of characters.
bool Fits(const char* pattern, const char* text) {
    if (*pattern == '*') return Fits(pattern + 1, text) || (*text && Fits(pattern, text + 1));
    return *pattern ? *pattern == *text && Fits(pattern + 1, text + 1) : !*text;
}

// Each pattern names a call the run makes after the one found before it; one that starts
// with ">" right after it, one that starts with "!" a call the run never makes. In a pattern
// "#k" stands for what call k found (counting from 0, the "!" ones aside) returned.
void CheckCalls(const std::vector<std::string>& calls, const std::vector<std::string>& patterns) {
    std::vector<std::string> results;
    size_t at = 0;
    for (std::string pattern : patterns) {
        const char kind = std::strchr(">!", pattern[0]) ? pattern[0] : ' ';
        pattern.erase(0, kind != ' ');
        for (size_t hash; (hash = pattern.find('#')) != std::string::npos;)
            pattern.replace(hash, 2, results.at(pattern[hash + 1] - '0'));
        size_t i = kind == '!' ? 0 : at;
        while (i < calls.size() && !Fits(pattern.c_str(), calls[i].c_str()) && kind != '>') ++i;
        const bool found = i < calls.size() && Fits(pattern.c_str(), calls[i].c_str());
        Check(found == (kind != '!'), (kind == '!' ? "no " : kind == '>' ? "right then " : "then ") + pattern);
        if (kind == '!') continue;
        if (!found) return;
        results.push_back(calls[i].substr(calls[i].rfind(' ') + 1));
        at = i + 1;
    }
}

struct TraceRow {
    std::string name;
    std::function<void()> setup;
    std::string exe, commandLine;
    std::vector<std::string> calls;
    std::string held = {};  // a file held open, unshared, while the program runs
};

}  // namespace

void RunTraceCases() {
    const std::string dir = kInstallDir + "\\", probe = "C:\\probe\\", alone = "," + Word(GENERIC_READ) + ",00000000,*";
    // The first SetErrorMode learns the given mode, the next adds ours to it; the given mode
    // is set back right before another program is started.
    const std::string learn = "SetErrorMode(*) " + Word(kGiven), back = "SetErrorMode(" + Word(kGiven) + ")*",
                      add = "SetErrorMode(" + Word(kGiven | SEM_FAILCRITICALERRORS) + ")*";
    MakeDirs(kInstallDir);  // for its short name
    const std::string run = WindowsDir() + "\\CVVCHK.EXE VCHECK";
    const std::string services = WindowsDir() + "\\CVCFG.EXE VCHECK " + ShortName(kInstallDir);
    const TraceRow rows[] = {
        {"UNINSTALL: each deletion right after an open alone and its close, none of a file held, a subkey of 255 characters",
         [&] {
             InstallProduct(kInstallDir);
             for (const char* name : {"cvl.exe", "cvl.hlp", "readme.txt"}) WriteBytes(dir + name, name);
             CreateKey(kUninstall + "\\" + std::string(255, 'K'));  // the longest name a key may have
         },
         g_paths.maint, "cvmaint UNINSTALL",
         {learn, add, "CreateFileA(" + dir + "cvl.exe" + alone + ") ffffffff", "!DeleteFileA(" + dir + "cvl.exe)*",
          "CreateFileA(" + dir + "cvl.hlp" + alone, ">CloseHandle(#3) 00000001", ">DeleteFileA(" + dir + "cvl.hlp)*",
          "CreateFileA(" + dir + "readme.txt" + alone, ">CloseHandle(#6) 00000001", ">DeleteFileA(" + dir + "readme.txt)*",
          "RegEnumKeyExA(*,00000000,*) 00000000"},
         dir + "cvl.exe"},
        {"ENABLED stores each string with its zero byte counted, as Windows 95 does not add it",
         [&] { InstallProduct(kInstallDir); }, g_paths.maint, "cvmaint ENABLED",
         {learn, add, "RegSetValueExA(*,enabled,00000000," + Word(REG_SZ) + ",*," + Word(2) + ") 00000000",
          "RegSetValueExA(*,cvlock,00000000," + Word(REG_SZ) + ",*," + Word(run.size() + 1) + ") 00000000",
          "RegSetValueExA(*,cvlock,00000000," + Word(REG_SZ) + ",*," + Word(services.size() + 1) + ") 00000000"}},
        {"BROWSE asks the shell to wait for DDE and show no boxes, hidden, owned by the desktop", RegisterBrowser,
         g_paths.maint, "cvmaint BROWSE",
         {learn, add, back, ">ShellExecuteExA(*",  // then what Wine's shell prints of what it was asked
          "trace:exec:SHELL_execute mask=0x" + Word(SEE_MASK_FLAG_DDEWAIT | SEE_MASK_FLAG_NO_UI) + " hwnd=" +
              Word(reinterpret_cast<UINT_PTR>(GetDesktopWindow()), "%08lX") + " verb=L\"OPEN\" file=L\"" + kHomePage +
              "\" parm=(null) dir=(null) show=0x" + Word(SW_HIDE) + " *"}},
        {"the probe writes and closes winver.ini before WinExec",
         [&] {
             PlaceProbe(probe);
             SetWineVersion("cvprobe.exe", "win95");
         },
         probe + "cvprobe.exe", "cvprobe",
         {learn, add,
          "CreateFileA(" + probe + "winver.ini," + Word(GENERIC_WRITE) + "," + Word(FILE_SHARE_READ) + ",*," +
              Word(CREATE_ALWAYS) + ",*",
          "WriteFile(#2,*," + Word(3) + ",*) 00000001", "CloseHandle(#2) 00000001", back,
          ">WinExec(" + probe + "cvcfg.exe install," + Word(SW_SHOWNORMAL) + ")*"}},
    };
    for (const TraceRow& row : rows) {
        BeginCase("traced: " + row.name);
        ResetMachine();
        row.setup();
        FileHold hold(row.held);
        Check(hold.Held() == !row.held.empty(), "holding " + row.held);
        std::vector<std::string> calls;
        CheckEqual(RunTraced(row.exe, row.commandLine, kGiven, ",+exec", calls).exitCode, 0, "exit code");
        CheckCalls(calls, row.calls);
    }
}
