// The product's places in the registry and on disk, and the checks the cases share.
#pragma once
#include "rig.h"

extern const std::string kProduct;
extern const std::string kRun;
extern const std::string kRunServices;
extern const std::string kUninstall;
extern const std::string kInstallDir;
extern const std::string kWarning;
extern const std::string kUninstalled;
extern const std::string kHomePage;

// Registry values that are not strings, as a setting may be damaged into: a name for the
// case, the type, the data.
struct NotAString {
    const char* name;
    DWORD type;
    std::string bytes;
};
extern const NotAString kNotStrings[3];

// WININIT.INI, and the two lines UNINSTALL adds to its [Rename] section, each with CR LF.
std::string Wininit();
std::string OurLines();
// The names of every file in the Windows directory, one a line, sorted: what an edit of
// WININIT.INI may have left beside it shows here.
std::string WindowsFileNames();
// The files an edit of WININIT.INI writes beside it under fresh names (cvw*.tmp).
std::string EditLeftovers();

// The stand-in web browser: registered as the handler of http addresses.
void RegisterBrowser();

// A probe copied into `directory` (with its trailing backslash) of a machine reset, with the
// stand-in configuration program beside it when `withConfig`.
struct ProbeSetup {
    std::string directory;
    std::string probe;
    std::string config;
};
ProbeSetup PlaceProbe(const std::string& directory, bool withConfig = true);

// Removes every trace of the product and of earlier cases.
void ResetMachine();
// A full installation: the runpath setting (with a trailing backslash), every file, start-up
// entry, setting and uninstall entry of the product, beside other programs' values and files.
void InstallFully();
extern const char* const kInstallFiles[21];  // in the installation directory
extern const char* const kWindowsFiles[5];   // in the Windows directory
// The product key with runpath = `installDir` (created as a directory when `create`).
void InstallProduct(const std::string& installDir, bool create = true);

Run RunMaint(const std::string& arguments, const std::function<void(const Box&)>& onBox = nullptr);

// The boxes a run must show, in order: user messages (OK only, no icon, no owner) by caption
// and text, the failure box ("Application Error", error icon, no owner) by its second line.
struct ExpectedBox {
    std::string caption;
    std::string text;
};
ExpectedBox Failure(const std::string& message);
ExpectedBox UninstallMessage();
void CheckBoxes(const Run& run, const std::vector<ExpectedBox>& expected, const std::string& what = "");
void CheckNoBox(const Run& run, const std::string& what);
void CheckUserMessage(const Run& run, const std::string& caption, const std::string& text, const std::string& what);
// The failure box alone, and exit code 1.
void CheckFailure(const Run& run, const std::string& message, const std::string& what);

// The record a stand-in program leaves; waits for it, since nobody waits for the stand-in.
std::string WaitForLog(const std::string& log);
int CountStarts(const std::string& log);

// Everything under the keys and directories a command may touch, for before/after checks.
std::string MachineSnapshot();
