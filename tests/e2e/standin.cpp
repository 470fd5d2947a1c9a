// Stands in for the programs that cvmaint and cvprobe start (the web browser, the
// configuration program, a decoy): appends to "<own path>.log" how it was started (its
// command line, show state and current directory) and what winver.ini beside it held then
// (in C:\\cvtest\\standin-fallback.log when its own directory is read-only).
#include <windows.h>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string directory = self;
    directory.erase(directory.find_last_of('\\') + 1);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;

    std::string winver = "(none)";
    HANDLE file = CreateFileA((directory + "winver.ini").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char buffer[64];
        DWORD got = 0;
        ReadFile(file, buffer, sizeof buffer, &got, nullptr);
        CloseHandle(file);
        winver.assign(buffer, got);
    }
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    const std::string record = std::string("cmdline=") + GetCommandLineA() + "\nshow=" + std::to_string(show) +
                               "\ndir=" + current + "\nwinver=" + winver + "\n";
    HANDLE log = CreateFileA((std::string(self) + ".log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                             OPEN_ALWAYS, 0, nullptr);
    if (log == INVALID_HANDLE_VALUE)  // its own directory is read-only
        log = CreateFileA("C:\\cvtest\\standin-fallback.log", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                          OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(log, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(log);
    return 0;
}
