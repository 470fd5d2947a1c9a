// The records of what the programs ask of the system: for each run below, every call the
// program itself makes, in order, with its arguments and result, as Wine's trace shows it,
// drawn as NAME.txt into CV_DRAWN. run-wine.sh holds each against docs/records byte for
// byte; scripts/records draws them again when a change to them is meant.
#include "product.h"

void RunRecordCases() {
    const std::string dir = kInstallDir + "\\", probe = "C:\\probe\\cvprobe.exe", image(512, 'A');
    const auto images = [&](const std::string& validated) {
        InstallProduct(kInstallDir);
        WriteBytes(dir + "cvnew.dat", image);
        WriteBytes(dir + "cvval.dat", validated);
    };
    const auto probeOn = [&](const char* version) {
        PlaceProbe("C:\\probe\\");
        SetWineVersion("cvprobe.exe", version);
    };
    const struct {
        std::string name, what;
        std::function<void()> setup;
        std::string exe, commandLine;
        std::string held = {};  // a file held open, unshared, while the program runs
    } runs[] = {
        {"maint-enabled", "cvmaint ENABLED, installed, with the short date picture yyyy-MM-dd", [&] {
             InstallProduct(kInstallDir);
             SetString("Control Panel\\International", "sShortDate", "yyyy-MM-dd", REG_SZ, HKEY_CURRENT_USER);
         }, g_paths.maint, "cvmaint ENABLED"},
        {"maint-enabled-no-product-key", "cvmaint ENABLED on a machine without the product key", [] {},
         g_paths.maint, "cvmaint ENABLED"},
        {"maint-disabled", "cvmaint DISABLED, installed and enabled", [&] {
             InstallProduct(kInstallDir);
             SetString(kProduct, "enabled", "1");
             for (const std::string& key : {kRun, kRunServices}) SetString(key, "cvlock", "x");
             WriteBytes(dir + "cvl.ini", "1995-08-24\r\n");
         }, g_paths.maint, "cvmaint DISABLED"},
        {"maint-vcheck-equal", "cvmaint VCHECK, the two boot images equal", [&] { images(image); }, g_paths.maint,
         "cvmaint VCHECK"},
        {"maint-vcheck-differ", "cvmaint VCHECK, the boot images differing in byte 255: the warning box",
         [&] { images(image.substr(0, 255) + "B" + image.substr(256)); }, g_paths.maint, "cvmaint VCHECK"},
        {"maint-uninstall", "cvmaint UNINSTALL of a full installation", InstallFully, g_paths.maint,
         "cvmaint UNINSTALL"},
        {"maint-uninstall-no-runpath", "cvmaint UNINSTALL with an empty runpath", [] { InstallProduct(""); },
         g_paths.maint, "cvmaint UNINSTALL"},
        {"maint-uninstall-in-use",
         "cvmaint UNINSTALL with cvl.exe held open by another program, an uninstall subkey named with 255 "
         "characters, and a [Rename] section that is not the last in WININIT.INI",
         [&] {
             InstallProduct(kInstallDir);
             for (const char* name : {"cvl.exe", "cvl.hlp"}) WriteBytes(dir + name, name);
             CreateKey(kUninstall + "\\" + std::string(255, 'K'));  // the longest name a key may have
             WriteBytes(Wininit(), "[Rename]\r\nNUL=C:\\other.tmp\r\n[Other]\r\nkeep=1\r\n");
         },
         g_paths.maint, "cvmaint UNINSTALL", dir + "cvl.exe"},
        {"maint-browse", "cvmaint BROWSE", RegisterBrowser, g_paths.maint, "cvmaint BROWSE"},
        {"maint-failure", "cvmaint ENABLED with a runpath that is not a string: the failure box",
         [] { SetDword(kProduct, "runpath", 1); }, g_paths.maint, "cvmaint ENABLED"},
        {"probe-win95", "cvprobe on Windows 95", [&] { probeOn("win95"); }, probe, "cvprobe"},
        {"probe-nt40", "cvprobe on Windows NT 4.0", [&] { probeOn("nt40"); }, probe, "cvprobe"},
    };
    const std::string drawn = DrawnDirectory();
    Check(!drawn.empty(), "CV_DRAWN names where the records go");
    for (const auto& run : runs) {
        BeginCase("record " + run.name + ": " + run.what);
        ResetMachine();
        run.setup();
        FileHold hold(run.held);
        Check(hold.Held() == !run.held.empty(), "holding " + run.held);
        // Given an error mode as a parent would hand it on: no open-file and no fault boxes.
        const std::string record = RunTraced(run.exe, run.commandLine, SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
        WriteBytes(drawn + run.name + ".txt", "# " + run.what + "\n" + record);
    }
}
