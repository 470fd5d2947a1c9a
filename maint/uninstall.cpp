// UNINSTALL: removes the product's files and registry entries, tells the user to restart,
// and names for deletion at the next Windows start two files that may be in use now.
#include "../platform/win32.h"
#include "commands.h"
#include "regpaths.h"
#include "../core/wininitedit.h"

static constexpr const char* kInstallationFiles[] = {
    "\\cvnew.dat",  "\\cvval.dat",  "\\vernum.ini", "\\winver.ini",   "\\cvl.exe",     "\\cvl.gid",
    "\\cvl.hlp",    "\\cvl.cnt",    "\\cvprobe.exe", "\\cvl.ini",     "\\cvmaint.exe", "\\ctmbr.sys",
    "\\ctboot.sys", "\\ctdata.sys", "\\cvlock.vxd", "\\cvback.dat",   "\\ctback.dat",  "\\ctback1.dat",
    "\\ctback2.dat", "\\readme.txt", "\\unin.ini",
};

static constexpr const char* kWindowsFiles[] = {
    "\\cvback.dat",
    "\\cvvchk.exe",
    "\\cvcfg.exe",
    "\\Start Menu\\Programs\\Vellmark Software\\Corvane Configuration.lnk",
    "\\system\\iosubsys\\cvlock.vxd",
};

static constexpr char kUninstalledText[] =
    "Vellmark Software Corvane is now uninstalled, you will need to restart your computer.";

// Several of our runs may end at once; they take turns at WININIT.INI.
static constexpr char kWininitLock[] = "Vellmark.Corvane.WININIT.INI";
static constexpr unsigned long kWininitLockWait = 5000;  // ms; a run never hangs on another

// Adds both deletions to the [Rename] section of WININIT.INI beside whatever other programs
// put there. A read-only, locked or unreadable file is left as it is.
static void ScheduleRebootDeletions() {
    const Str lines[] = {
        "NUL=" + WindowsDirectory() + "\\System\\ctgcpl.cpl",
        "NUL=" + WindowsDirectory() + "\\cvvchk.exe",
    };
    const MachineLock turn(kWininitLock, kWininitLockWait);
    SystemEditFiles files;
    AddLinesToWininit(files, WindowsDirectory(), lines, 2);
}

void Uninstall(const Str& installDir) {
    // Without an installation directory these names would address the root of the current drive.
    const bool installed = !installDir.empty();
    if (installed)
        for (const char* name : kInstallationFiles) DeleteFileAt(installDir + name);
    for (const char* name : kWindowsFiles) DeleteFileAt(WindowsDirectory() + name);
    DeleteRunEntry("cvlock");
    DeleteRunEntry("runkey");
    DeleteRunServicesEntry("cvlock");
    if (installed) DeleteFileAt(installDir + "\\cvl.ini");
    DeleteProductKey();
    DeleteUninstallEntry();
    ShowMessage(kUninstalledText, "Dialog");
    ScheduleRebootDeletions();
    if (installed) DeleteFileAt(installDir + "\\cvcfg.exe");
    DeleteFileAt(WindowsDirectory() + "\\System\\ctgcpl.cpl");
}
