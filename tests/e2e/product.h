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

// Removes every trace of the product and of earlier cases.
void ResetMachine();
// The product key with runpath = `installDir` (created as a directory when `create`).
void InstallProduct(const std::string& installDir, bool create = true);

Run RunMaint(const std::string& arguments, const std::function<void(const Box&)>& onBox = nullptr);

// Message box expectations: a user message (OK only, no icon, no owner) or the failure box.
void CheckNoBox(const Run& run, const std::string& what);
void CheckUserMessage(const Run& run, const std::string& caption, const std::string& text, const std::string& what);
void CheckFailure(const Run& run, const std::string& message, const std::string& what);

// Everything under the keys and directories a command may touch, for before/after checks.
std::string MachineSnapshot();
