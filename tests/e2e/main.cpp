// Runs one group of end-to-end cases. Arguments: the cvmaint.exe, cvprobe.exe and stand-in
// program to test, as Windows paths, then the group: scenarios (by default), demo, or bench
// [rounds]. The programs are copied into C:\cvtest first.
#include <cstdio>
#include <cstdlib>
#include "rig.h"

int main(int argc, char** argv) {
    const std::string group = argc > 4 ? argv[4] : "scenarios";
    if (argc < 4 || (group != "scenarios" && group != "demo" && group != "bench")) {
        std::printf("usage: e2e cvmaint.exe cvprobe.exe standin.exe [scenarios|demo|bench [rounds]]\n");
        return 2;
    }
    MakeDirs("C:\\cvtest");
    const char* names[] = {"C:\\cvtest\\cvmaint.exe", "C:\\cvtest\\cvprobe.exe", "C:\\cvtest\\standin.exe"};
    for (int i = 0; i < 3; ++i) {
        if (!CopyFileA(argv[i + 1], names[i], FALSE)) {
            std::printf("cannot copy %s\n", argv[i + 1]);
            return 2;
        }
    }
    g_paths = Paths{names[0], names[1], names[2]};
    // No window manager runs under Xvfb: a window left to one would make each program that
    // closes a box wait 2 s for a withdrawal that never comes. Wine draws the box the same.
    SetString("Software\\Wine\\X11 Driver", "Managed", "N", REG_SZ, HKEY_CURRENT_USER);
    if (group == "demo") return RunDemo();
    if (group == "bench") {
        RunBench(BesideRig("empty.exe"), argc > 5 ? std::atoi(argv[5]) : 21);
        return 0;
    }
    RunScenarios();
    return FinishAll();
}
