// The product's places in the registry and on disk, WININIT.INI as the system's profile
// reader sees it, and putting the machine back to no product at all.
#pragma once
#include <map>
#include "rig.h"

extern const std::string kProduct;
extern const std::string kUninstall;
extern const std::string kInstallDir;

// WININIT.INI, and the two lines UNINSTALL adds to its [Rename] section, each with CR LF.
std::string Wininit();
std::string OurLines();
// The names of every file in the Windows directory, one a line, sorted: what an edit of
// WININIT.INI may have left beside it shows here.
std::string WindowsFileNames();

// Every section of a profile file as the system's own reader reads it: name (lower case) ->
// its entries. The first section of a name hides any later one, as it does for every reader.
using ProfileSections = std::map<std::string, std::string>;
ProfileSections ReadSections(const std::string& path);
// WININIT.INI read after an UNINSTALL as `before`, with our two lines added to [Rename].
void CheckReaderAgrees(ProfileSections before);

// Removes every trace of the product and of earlier runs.
void ResetMachine();
// The product key with runpath = `installDir`, made as a directory.
void InstallProduct(const std::string& installDir);
