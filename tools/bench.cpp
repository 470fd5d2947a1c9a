// Wall time of each command and of the probe against a do-nothing program that loads the
// same system DLLs, run alternately, from process start to process end.
#include <algorithm>
#include <cstdio>
#include "product.h"

namespace {

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds from CreateProcess to the end of the process; boxes are answered at once.
double TimeRun(const std::string& exe, const std::string& commandLine) {
    PROCESS_INFORMATION process;
    const double start = Seconds();
    if (!StartProcess(exe, commandLine, "C:\\", process)) return -1;
    while (WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
        if (HWND box = FindMessageBox(process.dwProcessId)) PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    const double elapsed = (Seconds() - start) * 1000;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Subject {
    std::string name;
    std::string exe;
    std::string commandLine;
    std::string sameCall;  // the do-nothing program's arguments for the one system call the run must make
};

}  // namespace

void RunBench(const std::string& emptyExe, int rounds) {
    ResetMachine();
    const std::string maint = "\"" + g_paths.maint + "\" ";
    MakeDirs("C:\\benchprobe");
    CopyFileA(g_paths.probe.c_str(), "C:\\benchprobe\\cvprobe.exe", FALSE);
    CopyFileA(g_paths.standIn.c_str(), "C:\\benchprobe\\cvcfg.exe", FALSE);
    SetWineVersion("cvprobe.exe", "win98");
    SetString("SOFTWARE\\Classes\\http\\shell\\open\\command", "", "\"" + g_paths.standIn + "\" \"%1\"");
    const std::vector<Subject> subjects = {
        {"ENABLED", g_paths.maint, maint + "ENABLED", ""},
        {"DISABLED", g_paths.maint, maint + "DISABLED", ""},
        {"VCHECK (images equal)", g_paths.maint, maint + "VCHECK", ""},
        {"VCHECK (warning box)", g_paths.maint, maint + "VCHECK", "box"},
        {"UNINSTALL (message box)", g_paths.maint, maint + "UNINSTALL", "box"},
        {"BROWSE", g_paths.maint, maint + "BROWSE", "shell http://www.vellmark.com/"},
        {"no command word", g_paths.maint, maint, ""},
        {"cvprobe", "C:\\benchprobe\\cvprobe.exe", "C:\\benchprobe\\cvprobe.exe",
         "exec C:\\benchprobe\\cvcfg.exe install"},
    };
    std::vector<std::vector<double>> times(subjects.size()), floors(subjects.size()), callFloors(subjects.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < subjects.size(); ++i) {
            InstallProduct(kInstallDir);
            WriteBytes(kInstallDir + "\\cvnew.dat", std::string(512, 'A'));
            const bool warns = subjects[i].name.find("warning") != std::string::npos;
            WriteBytes(kInstallDir + "\\cvval.dat", (warns ? "B" : "A") + std::string(511, 'A'));
            Remove(WindowsDir() + "\\WININIT.INI");
            // Alternate which one goes first, so neither gains from what the other warmed up.
            const bool call = !subjects[i].sameCall.empty();
            if (round % 2 == 0) floors[i].push_back(TimeRun(emptyExe, "empty"));
            if (round % 2 == 0 && call) callFloors[i].push_back(TimeRun(emptyExe, "empty " + subjects[i].sameCall));
            times[i].push_back(TimeRun(subjects[i].exe, subjects[i].commandLine));
            if (round % 2 == 1) floors[i].push_back(TimeRun(emptyExe, "empty"));
            if (round % 2 == 1 && call) callFloors[i].push_back(TimeRun(emptyExe, "empty " + subjects[i].sameCall));
        }
    }
    std::printf("median of %d runs each, milliseconds; \"same call\": the do-nothing program making the one\n"
                "system call the run must make (the message box, ShellExecute, WinExec)\n\n", rounds);
    std::printf("%-24s %8s %8s %6s %10s %6s\n", "run", "program", "empty", "ratio", "same call", "ratio");
    for (size_t i = 0; i < subjects.size(); ++i) {
        const double program = Median(times[i]), floor = Median(floors[i]);
        std::printf("%-24s %8.1f %8.1f %6.2f", subjects[i].name.c_str(), program, floor, program / floor);
        if (!callFloors[i].empty()) {
            const double callFloor = Median(callFloors[i]);
            std::printf(" %10.1f %6.2f", callFloor, program / callFloor);
        }
        std::printf("\n");
    }
    ResetMachine();
    RemoveTree("C:\\benchprobe");
}
