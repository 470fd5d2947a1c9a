// The product's places in the registry and on disk, and putting the machine back to no
// product at all.
#pragma once
#include "rig.h"

extern const std::string kProduct;
extern const std::string kUninstall;
extern const std::string kInstallDir;

std::string Wininit();  // WININIT.INI, in the Windows directory

// Removes every trace of the product and of earlier runs.
void ResetMachine();
// The product key with runpath = `installDir`, made as a directory.
void InstallProduct(const std::string& installDir);
