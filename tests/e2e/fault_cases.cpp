// Bad input and faults, end to end: every case states the exit code, every box shown, and
// what may change; everything else on the machine must stay as it was.
#include "product.h"

namespace {

struct FaultCase {
    std::string name;
    std::function<void()> setup;
    std::string command;  // the cvmaint command line after the program name
    DWORD exitCode;
    std::vector<ExpectedBox> boxes;
    // Checks what the command was meant to change; gets the snapshots around the run.
    std::function<void(const std::string& before, const std::string& after)> verify;
    std::string heldOpen = {};  // a file held open while the command runs, closed before `verify`
    DWORD heldSharing = 0;      // what the holder lets others do with it
    DWORD heldAccess = GENERIC_READ | GENERIC_WRITE;
};

void Unchanged(const std::string& before, const std::string& after) { CheckEqual(after, before, "machine unchanged"); }


// Only the product's own start-up entries, settings and WININIT.INI may differ.
std::string WithoutProductState(std::string snapshot) {
    std::string kept, line;
    for (size_t at = 0; at < snapshot.size();) {
        size_t end = snapshot.find('\n', at);
        if (end == std::string::npos) end = snapshot.size();
        line = snapshot.substr(at, end - at);
        at = end + 1;
        if (line.empty() || line.find(": cvlock =") != std::string::npos || line.find(": enabled =") != std::string::npos ||
            line.find("<no key SOFTWARE\\Vellmark") == 0 || line.find("WININIT.INI") == 0 ||
            line.find("Uninstall\\cvlock") != std::string::npos || line.find("SOFTWARE\\Vellmark\\CVLock") == 0 ||
            line.find("windows 0 ") == 0)  // the Windows directory's own write time, moved by WININIT.INI
            continue;
        kept += line + "\n";
    }
    return kept;
}

void OnlyProductStateChanged(const std::string& before, const std::string& after) {
    CheckEqual(WithoutProductState(after), WithoutProductState(before), "nothing else changed");
}

void SetRunpathRaw(const std::string& bytes, DWORD type) { SetBinary(kProduct, "runpath", bytes, type); }


std::vector<FaultCase> MaintenanceFaults() {
    std::vector<FaultCase> cases;
    const std::string marker = kInstallDir + "\\cvl.ini";

    for (const NotAString& type : kNotStrings) {
        const auto setup = [=] {
            InstallProduct(kInstallDir);
            SetBinary(kRun, "runkey", type.bytes, type.type);
        };
        cases.push_back({std::string("runkey as ") + type.name + ", ENABLED", setup,
                         "ENABLED", 1, {Failure("Invalid data type for 'runkey'.")},
                         [=](const std::string&, const std::string&) {
                             CheckEqual(ValueOr(kRunServices, "cvlock"), "<absent>", "stopped before RunServices");
                             Check(!Exists(marker), "stopped before the marker file");
                             std::string data;
                             Check(ReadValue(kRun, "runkey", data) && data == type.bytes, "runkey kept as it was");
                         }});
        cases.push_back({std::string("runkey as ") + type.name + ", UNINSTALL deletes it without reading it", setup,
                         "UNINSTALL", 0, {UninstallMessage()},
                         [](const std::string&, const std::string&) {
                             CheckEqual(ValueOr(kRun, "runkey"), "<absent>", "runkey deleted");
                         }});
    }

    const std::string longPath = "C:\\" + std::string(9997, 'L');
    cases.push_back({"runpath of 10,000 bytes, ENABLED",
                     [=] { SetString(kProduct, "runpath", longPath); }, "ENABLED", 1, {Failure("I/O error 206.")},
                     [=](const std::string& before, const std::string& after) {
                         CheckEqual(ValueOr(kRunServices, "cvlock"), WindowsDir() + "\\CVCFG.EXE VCHECK " + longPath,
                                    "RunServices names the long path unchanged");
                         OnlyProductStateChanged(before, after);
                     }});
    cases.push_back({"runpath of 10,000 bytes, VCHECK", [=] { SetString(kProduct, "runpath", longPath); }, "VCHECK",
                     0, {}, Unchanged});
    cases.push_back({"runpath of 10,000 bytes, UNINSTALL", [=] { SetString(kProduct, "runpath", longPath); },
                     "UNINSTALL", 0, {UninstallMessage()}, OnlyProductStateChanged});

    const std::string fileNotDir = "C:\\corvane-file";
    for (const bool enable : {true, false}) {
        cases.push_back({std::string("runpath names a file, ") + (enable ? "ENABLED" : "UNINSTALL"),
                         [=] {
                             WriteBytes(fileNotDir, "data");
                             SetString(kProduct, "runpath", fileNotDir);
                         },
                         enable ? "ENABLED" : "UNINSTALL", enable ? 1u : 0u,
                         {enable ? Failure("Invalid filename.") : UninstallMessage()},
                         [=](const std::string& before, const std::string& after) {
                             CheckEqual(BytesOr(fileNotDir), "data", "the file is untouched");
                             OnlyProductStateChanged(before, after);
                             Remove(fileNotDir);
                         }});
    }

    // The deepest directory CreateDirectory allows, so that "\cvl.ini" still fits MAX_PATH.
    const std::string nearMax = "C:\\" + std::string(120, 'N') + "\\" + std::string(120, 'M');
    cases.push_back({"installation directory near MAX_PATH, ENABLED",
                     [=] {
                         MakeDirs(nearMax);
                         SetString(kProduct, "runpath", nearMax);
                     },
                     "ENABLED", 0, {},
                     [=](const std::string&, const std::string&) {
                         Check(Exists(nearMax + "\\cvl.ini"), "marker written");
                         RemoveTree("C:\\" + std::string(120, 'N'));
                     }});
    const std::string pastMax = nearMax + "\\" + std::string(40, 'P');
    cases.push_back({"installation directory past MAX_PATH, ENABLED",
                     [=] { SetString(kProduct, "runpath", pastMax); }, "ENABLED", 1, {Failure("I/O error 206.")},
                     OnlyProductStateChanged});

    cases.push_back({"marker file held open without sharing, ENABLED",
                     [=] {
                         InstallProduct(kInstallDir);
                         WriteBytes(marker, "old\r\n");
                     },
                     "ENABLED", 1, {Failure("I/O error 32.")},
                     [=](const std::string&, const std::string&) {
                         CheckEqual(BytesOr(marker), "old\r\n", "marker kept");
                     },
                     marker});

    const std::string held = kInstallDir + "\\cvl.exe";
    cases.push_back({"a product file held open without sharing, UNINSTALL",
                     [=] {
                         InstallProduct(kInstallDir);
                         WriteBytes(held, "exe");
                         WriteBytes(kInstallDir + "\\cvl.hlp", "hlp");
                     },
                     "UNINSTALL", 0, {UninstallMessage()},
                     [=](const std::string&, const std::string&) {
                         Check(!Exists(kInstallDir + "\\cvl.hlp"), "the next file was still deleted");
                         CheckEqual(BytesOr(Wininit()), "[Rename]\r\n" + OurLines(), "WININIT.INI written");
                     },
                     held});

    // Windows 95 deletes a file that another program has open. Wine, like NT, defers the
    // deletion of a file opened with delete sharing until its holder closes it: in both,
    // a file in use would be gone once the holder lets go, unless it is left alone.
    cases.push_back({"a product file held open with delete sharing, UNINSTALL",
                     [=] {
                         InstallProduct(kInstallDir);
                         WriteBytes(held, "exe");
                         WriteBytes(kInstallDir + "\\cvl.hlp", "hlp");
                         WriteBytes(kInstallDir + "\\cvnew.dat", "new");
                     },
                     "UNINSTALL", 0, {UninstallMessage()},
                     [=](const std::string&, const std::string&) {
                         CheckEqual(BytesOr(held), "exe", "the file in use is still there after its holder closed it");
                         Check(!Exists(kInstallDir + "\\cvl.hlp") && !Exists(kInstallDir + "\\cvnew.dat"),
                               "the files not in use were deleted");
                     },
                     held, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE});
    // A reader (the help viewer with cvl.hlp) that lets others read and delete: an open of
    // ours that shares reading would join it, and the deletion would take the file.
    cases.push_back({"a product file held open for reading, sharing reading and deletion, UNINSTALL",
                     [=] { InstallProduct(kInstallDir); WriteBytes(held, "exe"); }, "UNINSTALL", 0, {UninstallMessage()},
                     [=](const std::string&, const std::string&) {
                         CheckEqual(BytesOr(held), "exe", "the file in use is still there after its holder closed it");
                     },
                     held, FILE_SHARE_READ | FILE_SHARE_DELETE, GENERIC_READ});

    cases.push_back({"read-only WININIT.INI",
                     [] { WriteBytes(Wininit(), "[Rename]\r\nNUL=C:\\OTHER.TMP\r\n"); SetReadOnly(Wininit(), true); },
                     "UNINSTALL", 0, {UninstallMessage()},
                     [](const std::string&, const std::string&) {
                         CheckEqual(BytesOr(Wininit()), "[Rename]\r\nNUL=C:\\OTHER.TMP\r\n", "left as it was");
                         SetReadOnly(Wininit(), false);
                     }});
    cases.push_back({"WININIT.INI held open without sharing",
                     [] { WriteBytes(Wininit(), "[Rename]\r\nNUL=C:\\OTHER.TMP\r\n"); }, "UNINSTALL", 0,
                     {UninstallMessage()},
                     [](const std::string&, const std::string&) {
                         CheckEqual(BytesOr(Wininit()), "[Rename]\r\nNUL=C:\\OTHER.TMP\r\n", "left as it was");
                         CheckEqual(EditLeftovers(), "", "no staging files left");
                     },
                     Wininit()});

    const std::string base(512, 'B');
    for (const auto& image : {std::make_pair("cvnew.dat", 0), std::make_pair("cvnew.dat", 511),
                              std::make_pair("cvval.dat", 0), std::make_pair("cvval.dat", 100),
                              std::make_pair("cvval.dat", 511)}) {
        const std::string name = image.first;
        const size_t size = static_cast<size_t>(image.second);
        cases.push_back({"boot image " + name + " of " + std::to_string(size) + " bytes",
                         [=] {
                             InstallProduct(kInstallDir);
                             WriteBytes(kInstallDir + "\\cvnew.dat", base);
                             WriteBytes(kInstallDir + "\\cvval.dat", base);
                             WriteBytes(kInstallDir + "\\" + name, base.substr(0, size));
                         },
                         "VCHECK", 1, {Failure("Read beyond end of file.")}, Unchanged});
    }

    // Each names the real directory, where the marker is written.
    const struct {
        const char* name;
        std::string bytes;
        DWORD type;
    } runpaths[] = {
        {"runpath with a zero byte inside", kInstallDir + std::string("\0junk\0", 6), REG_SZ},
        {"runpath without a terminating zero", kInstallDir, REG_SZ},
        {"runpath as an expandable string", kInstallDir + std::string("\\\0", 2), REG_EXPAND_SZ},
    };
    for (const auto& r : runpaths)
        cases.push_back({r.name, [=] { MakeDirs(kInstallDir); SetRunpathRaw(r.bytes, r.type); }, "ENABLED", 0, {},
                         [=](const std::string&, const std::string&) { Check(Exists(marker), "marker in the real directory"); }});
    cases.push_back({"command word of 10,000 bytes", [] { InstallProduct(kInstallDir); },
                     std::string(10000, 'E'), 0, {}, Unchanged});
    cases.push_back({"ENABLED with a 10,000-byte tail", [] { InstallProduct(kInstallDir); },
                     "ENABLED " + std::string(10000, 'x'), 0, {},
                     [=](const std::string&, const std::string&) { Check(Exists(marker), "enabled"); }});
    cases.push_back({"deeply nested product and uninstall keys",
                     [] {
                         InstallProduct(kInstallDir);
                         std::string key = kProduct, entry = kUninstall;
                         for (int i = 0; i < 12; ++i) {
                             key += "\\Level" + std::to_string(i);
                             entry += "\\Sub" + std::to_string(i);
                             SetString(key, "v", "x");
                             SetString(entry, "v", "x");
                             CreateKey(key + "\\Sibling");
                         }
                     },
                     "UNINSTALL", 0, {UninstallMessage()},
                     [](const std::string&, const std::string&) {
                         Check(!KeyExists(kProduct) && !KeyExists(kUninstall), "both trees gone");
                     }});
    return cases;
}

void RunMaintenanceFaults() {
    for (const FaultCase& c : MaintenanceFaults()) {
        BeginCase("fault: " + c.name);
        ResetMachine();
        c.setup();
        const std::string before = MachineSnapshot();
        Run run;
        {
            FileHold hold(c.heldOpen, c.heldSharing, c.heldAccess);
            Check(hold.Held() == !c.heldOpen.empty(), "holding " + c.heldOpen);
            run = RunMaint(c.command);
        }
        CheckEqual(run.exitCode, c.exitCode, "exit code");
        CheckBoxes(run, c.boxes);
        c.verify(before, MachineSnapshot());
    }
}

// The probe where writing winver.ini cannot work, or its directory is unusual.
void RunProbeFaults() {
    BeginCase("fault: probe at the root of a drive");
    ResetMachine();
    CopyFileA(g_paths.probe.c_str(), "C:\\cvprobe.exe", FALSE);
    CopyFileA(g_paths.standIn.c_str(), "C:\\cvcfg.exe", FALSE);
    SetWineVersion("cvprobe.exe", "win98");
    {
        const Run run = RunProgram("C:\\cvprobe.exe", "cvprobe");
        CheckEqual(run.exitCode, 0, "exit code");
        CheckBoxes(run, {});
        CheckEqual(WaitForLog("C:\\cvcfg.exe.log"), "cmdline=C:\\cvcfg.exe install\nshow=1\nwinver=2\r\n\n", "started");
    }
    for (const char* name : {"C:\\cvprobe.exe", "C:\\cvcfg.exe", "C:\\cvcfg.exe.log", "C:\\winver.ini"}) Remove(name);

    // Prepared by run-wine.sh: a directory the test user may not write to.
    const std::string ro = "C:\\readonly-setup\\";
    BeginCase("fault: probe in a read-only directory");
    if (!Exists(ro + "cvprobe.exe")) {
        Check(false, "run-wine.sh did not prepare " + ro);
    } else {
        SetWineVersion("cvprobe.exe", "win95");
        Remove("C:\\cvtest\\standin-fallback.log");
        const Run run = RunProgram(ro + "cvprobe.exe", "\"" + ro + "cvprobe.exe\"");
        CheckEqual(run.exitCode, 0, "exit code");
        CheckBoxes(run, {});
        Check(!Exists(ro + "winver.ini"), "no winver.ini could be written");
        CheckEqual(WaitForLog("C:\\cvtest\\standin-fallback.log"),
                   "cmdline=" + ro + "cvcfg.exe install\nshow=1\nwinver=<absent>\n", "started with install");
    }
}

}  // namespace

void RunFaultCases() {
    RunMaintenanceFaults();
    RunProbeFaults();
    RunWininitCases();
}
