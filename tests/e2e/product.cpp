// The product's places in the registry and on disk, and putting the machine back to no product.
#include "product.h"

const std::string kProduct = "SOFTWARE\\Vellmark\\CVLock";
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\cvlock";
const std::string kInstallDir = "C:\\Program Files\\Corvane";

std::string Wininit() { return WindowsDir() + "\\WININIT.INI"; }

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

