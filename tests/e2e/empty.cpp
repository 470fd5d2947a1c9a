// Does nothing, but imports from the same four system DLLs as the shipped programs, so that
// starting it costs what loading any such program costs.
#include <windows.h>
#include <shellapi.h>

extern "C" void EntryPoint() {
    void* volatile imports[] = {reinterpret_cast<void*>(&MessageBoxA), reinterpret_cast<void*>(&RegCloseKey),
                                reinterpret_cast<void*>(&ShellExecuteA)};
    (void)imports;
    ExitProcess(0);
}
