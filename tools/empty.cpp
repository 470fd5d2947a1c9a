// The benchmark's floor: imports from the same four system DLLs as the shipped programs and
// does nothing, so that starting it costs what loading any such program costs. With one of
// the words below after its name it makes just that one system call, the floor for a run
// whose cost is mostly that call:
//   box            a message box, OK only (answered by the benchmark)
//   exec <line>    WinExec(<line>, SW_SHOWNORMAL)
//   shell <file>   ShellExecute(desktop, "OPEN", <file>, NULL, NULL, SW_HIDE)
#include <windows.h>
#include <shellapi.h>

static const char* After(const char* text, const char* word) {
    for (; *text; ++text) {
        const char* a = text;
        const char* b = word;
        while (*b && *a == *b) ++a, ++b;
        if (!*b) return a;
    }
    return nullptr;
}

extern "C" void EntryPoint() {
    const char* line = GetCommandLineA();
    if (After(line, " box"))
        MessageBoxA(nullptr, "floor", "floor", MB_OK);
    else if (const char* command = After(line, " exec "))
        WinExec(command, SW_SHOWNORMAL);
    else if (const char* file = After(line, " shell "))
        ShellExecuteA(GetDesktopWindow(), "OPEN", file, nullptr, nullptr, SW_HIDE);
    void* volatile imports[] = {reinterpret_cast<void*>(&RegCloseKey)};
    (void)imports;
    ExitProcess(0);
}
