// Runs every end-to-end case. Arguments: the cvmaint.exe, cvprobe.exe and stand-in program
// to test, as Windows paths. The programs are copied into C:\cvtest first.
#include <cstdio>
#include <cstdlib>
#include "rig.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::printf("usage: e2e cvmaint.exe cvprobe.exe standin.exe [scenarios|wininit|demo|bench [rounds]]...\n");
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
    bool all = argc == 4;
    auto wanted = [&](const char* group) {
        if (all) return true;
        for (int i = 4; i < argc; ++i)
            if (std::string(argv[i]) == group) return true;
        return false;
    };
    if (wanted("scenarios")) RunScenarios();
    if (wanted("wininit")) RunWininitCases();
    if (!all && wanted("bench")) {
        RunBench(BesideRig("empty.exe"), argc > 5 ? std::atoi(argv[5]) : 21);
        return 0;
    }
    if (!all && wanted("demo")) return RunDemo();
    return FinishAll();
}
