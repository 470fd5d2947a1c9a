#include "product.h"

const std::string kProduct = "SOFTWARE\\Vellmark\\CVLock";
const std::string kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kRunServices = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\cvlock";
const std::string kInstallDir = "C:\\Program Files\\Corvane";
const std::string kWarning =
    "Vellmark Software Corvane Warning:\rBoot header checksum failure.  Possible cause could be any program "
    "that modifies the master boot record including boot loader programs and MBR viruses.  Boot from your "
    "Emergency boot floppy and type CVL FIX to restore the last good boot image";
const std::string kUninstalled =
    "Vellmark Software Corvane is now uninstalled, you will need to restart your computer.";

void ResetMachine() {
    DeleteTree("SOFTWARE\\Vellmark");
    for (const std::string& key : {kRun, kRunServices}) {
        DeleteValue(key, "cvlock");
        DeleteValue(key, "runkey");
    }
    DeleteTree(kUninstall);
    RemoveTree(kInstallDir);
    RemoveTree("C:\\Corvane Setup");
    RemoveTree("C:\\probe");
    const std::string windows = WindowsDir();
    for (const char* name : {"\\WININIT.INI", "\\cvback.dat", "\\cvvchk.exe", "\\cvcfg.exe", "\\keep.txt",
                             "\\System\\ctgcpl.cpl", "\\system\\iosubsys\\cvlock.vxd",
                             "\\Start Menu\\Programs\\Vellmark Software\\Corvane Configuration.lnk"})
        Remove(windows + name);
    for (const char* name : {"C:\\cvl.ini", "C:\\readme.txt", "C:\\cvnew.dat", "C:\\cvval.dat", "C:\\Corvane.exe",
                             "C:\\Corvane.exe.log", "C:\\cvtest\\standin.exe.log"})
        Remove(name);
    DeleteValue("Control Panel\\International", "sShortDate", HKEY_CURRENT_USER);
    DeleteValue("Control Panel\\International", "sDate", HKEY_CURRENT_USER);
}

void InstallProduct(const std::string& installDir, bool create) {
    if (create && !installDir.empty()) MakeDirs(installDir);
    SetString(kProduct, "runpath", installDir);
}

Run RunMaint(const std::string& arguments, const std::function<void(const Box&)>& onBox) {
    return RunProgram(g_paths.maint, "\"" + g_paths.maint + "\" " + arguments, onBox);
}

void CheckNoBox(const Run& run, const std::string& what) {
    CheckEqual(static_cast<long long>(run.boxes.size()), 0, what + ": message boxes");
    for (const Box& box : run.boxes) CheckEqual(box.caption + " | " + box.text, "", what + ": unexpected box");
}

void CheckUserMessage(const Run& run, const std::string& caption, const std::string& text, const std::string& what) {
    CheckEqual(static_cast<long long>(run.boxes.size()), 1, what + ": message boxes");
    if (run.boxes.empty()) return;
    const Box& box = run.boxes[0];
    CheckEqual(box.caption, caption, what + ": caption");
    CheckEqual(box.text, text, what + ": text");
    Check(!box.hasIcon, what + ": no icon");
    Check(!box.owned, what + ": no owner");
    Check(box.buttons == std::vector<int>{IDOK}, what + ": OK button only");
}

void CheckFailure(const Run& run, const std::string& message, const std::string& what) {
    CheckEqual(run.exitCode, 1, what + ": exit code");
    CheckEqual(static_cast<long long>(run.boxes.size()), 1, what + ": message boxes");
    if (run.boxes.empty()) return;
    const Box& box = run.boxes[0];
    CheckEqual(box.caption, "Application Error", what + ": caption");
    const size_t lineFeed = box.text.find('\n');
    const std::string first = box.text.substr(0, lineFeed);
    Check(first.rfind("Exception ", 0) == 0 && first.find(" in module cvmaint.exe at ") != std::string::npos &&
              first.size() > 9 && first.back() == '.',
          what + ": first line \"" + first + "\"");
    CheckEqual(lineFeed == std::string::npos ? "" : box.text.substr(lineFeed + 1), message, what + ": message");
    Check(box.errorIcon, what + ": error icon");
    Check(!box.owned, what + ": no owner");
}

std::string MachineSnapshot() {
    const std::string windows = WindowsDir();
    return DumpKey("SOFTWARE\\Vellmark") + DumpKey(kRun) + DumpKey(kRunServices) +
           DumpKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall") + ListDirectory(kInstallDir) +
           ListDirectory(windows) + ListDirectory(windows + "\\System") + ListDirectory("C:\\");
}
