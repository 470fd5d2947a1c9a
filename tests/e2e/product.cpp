// The product's places in the registry and on disk, and what the hand-written cases share.
#include <algorithm>
#include "product.h"

const std::string kProduct = "SOFTWARE\\Vellmark\\CVLock";
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\cvlock";
const std::string kInstallDir = "C:\\Program Files\\Corvane";

std::string Wininit() { return WindowsDir() + "\\WININIT.INI"; }
std::string OurLines() {
    return "NUL=" + WindowsDir() + "\\System\\ctgcpl.cpl\r\nNUL=" + WindowsDir() + "\\cvvchk.exe\r\n";
}

std::string WindowsFileNames() {
    std::vector<std::string> names;
    ForEachEntry(WindowsDir(), [&](const WIN32_FIND_DATAA& found) { names.push_back(found.cFileName); });
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& name : names) out += name + "\n";
    return out;
}

void ResetMachine() {
    DeleteTree("SOFTWARE\\Vellmark");
    for (const char* key : {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices"})
        DeleteValue(key, "cvlock");
    DeleteTree(kUninstall);
    RemoveTree(kInstallDir);
    Remove(Wininit());
    DeleteValue("Control Panel\\International", "sShortDate", HKEY_CURRENT_USER);
    DeleteValue("Control Panel\\International", "sDate", HKEY_CURRENT_USER);
}

void InstallProduct(const std::string& installDir) {
    MakeDirs(installDir);
    SetString(kProduct, "runpath", installDir);
}

Run RunMaint(const std::string& arguments) {
    return RunProgram(g_paths.maint, "\"" + g_paths.maint + "\" " + arguments);
}

void CheckUninstalled(const Run& run) {
    CheckEqual(run.exitCode, 0, "exit code");
    Check(run.boxes.size() == 1, "one box");
    for (const Box& box : run.boxes) {
        CheckEqual(box.caption + "|" + box.text, "Dialog|Vellmark Software Corvane is now uninstalled, you will need "
                                                 "to restart your computer.", "the message");
        Check(!box.hasIcon && !box.owned && box.buttons == std::vector<int>{IDOK}, "OK only, no icon, no owner");
    }
}
