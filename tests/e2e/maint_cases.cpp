// cvmaint end to end: dispatch, BROWSE, VCHECK, ENABLED, DISABLED and UNINSTALL.
#include <cstring>
#include "product.h"

namespace {

void DispatchCases() {
    for (const char* arguments : {"", "FOO", "ENABLE", "ENABLED2", "\"EN ABLED\"", "XENABLED", "\"\"", "v\xe9" "check"}) {
        BeginCase(std::string("no command: [") + arguments + "]");
        ResetMachine();
        const std::string before = MachineSnapshot();
        const Run run = RunMaint(arguments);
        CheckEqual(run.exitCode, 0, "exit code");
        CheckNoBox(run, "no command");
        Check(!KeyExists(kProduct), "product key stays absent");
        CheckEqual(MachineSnapshot(), before, "nothing changed");
    }

    RegisterBrowser();
    for (const char* arguments : {"browse", "\"\" BrOwSe", "BR\"OW\"SE", "\tBROWSE extra words", "BROWSE VCHECK"}) {
        BeginCase(std::string("browse: [") + arguments + "]");
        ResetMachine();
        const Run run = RunMaint(arguments);
        CheckEqual(run.exitCode, 0, "exit code");
        CheckNoBox(run, "browse");
        const std::string log = WaitForLog(g_paths.recorder + ".log");
        CheckEqual(CountStarts(log), 1, "browser started once");
        Check(log.find(kHomePage) != std::string::npos, "browser given the home page: " + log);
        Check(log.find("show=0\n") != std::string::npos, "browser shown hidden: " + log);
        Check(!KeyExists(kProduct), "product key stays absent");
    }

    // A runpath that is not a string ends every run before it does anything.
    for (const NotAString& type : kNotStrings) {
        for (const char* arguments : {"", "ENABLED", "DISABLED", "UNINSTALL", "BROWSE", "VCHECK", "FOO"}) {
            BeginCase(std::string("runpath as ") + type.name + ": [" + arguments + "]");
            ResetMachine();
            SetBinary(kProduct, "runpath", type.bytes, type.type);
            const std::string before = MachineSnapshot();
            const Run run = RunMaint(arguments);
            CheckFailure(run, "Invalid data type for 'runpath'.", "failure");
            CheckEqual(MachineSnapshot(), before, "nothing changed");
            Check(!Exists(g_paths.recorder + ".log"), "no browser");
        }
    }
}

// ---- VCHECK ------------------------------------------------------------------------------
std::string Image(size_t size, char fill = 'A') {
    std::string bytes(size, fill);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + fill) & 0xFF);
    return bytes;
}

std::string Flip(std::string bytes, size_t at) {
    bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
    return bytes;
}

void BootHeaderCases() {
    const std::string base = Image(512);
    const struct {
        const char* name;
        std::string current, validated;
        bool warns;
    } cases[] = {
        {"identical", base, base, false},
        {"differ at byte 300", base, Flip(base, 300), false},
        {"differ at byte 511", base, Flip(base, 511), false},
        {"differ after byte 511", Image(600), Flip(Image(600), 550), false},
        {"differ at byte 0", base, Flip(base, 0), true},
        {"differ at byte 255", base, Flip(base, 255), true},
        {"differ at byte 256", base, Flip(base, 256), false},
        {"differ at byte 10, longer files", Image(4096), Flip(Image(4096), 10), true},
    };
    const std::string current = kInstallDir + "\\cvnew.dat";
    const std::string validated = kInstallDir + "\\cvval.dat";
    // The command word's letter case takes turns across the cases.
    const char* const words[] = {"VCHECK", "vcheck", "Vcheck"};
    for (const auto& c : cases) {
        const char* word = words[(&c - cases) % 3];
        BeginCase(std::string("vcheck ") + c.name + " as " + word);
        ResetMachine();
        InstallProduct(kInstallDir + "\\");
        WriteBytes(current, c.current);
        WriteBytes(validated, c.validated);
        const std::string before = ListDirectory(kInstallDir);
        Sleep(20);
        const Run run = RunMaint(word);
        CheckEqual(run.exitCode, 0, "exit code");
        if (c.warns)
            CheckUserMessage(run, "Corvane", kWarning, "warning");
        else
            CheckNoBox(run, "no warning");
        CheckEqual(ListDirectory(kInstallDir), before, "images untouched, timestamps too");
        CheckEqual(BytesOr(current), c.current, "current image bytes");
    }

    const struct {
        const char* name;
        bool writeCurrent, writeValidated, holdValidated;
    } silent[] = {
        {"current missing", false, true, false},
        {"validated missing", true, false, false},
        {"both missing", false, false, false},
        {"image held open without sharing", true, true, true},
    };
    for (const auto& c : silent) {
        BeginCase(std::string("vcheck ") + c.name);
        ResetMachine();
        InstallProduct(kInstallDir);
        if (c.writeCurrent) WriteBytes(current, base);
        if (c.writeValidated) WriteBytes(validated, Flip(base, 1));
        FileHold hold(c.holdValidated ? validated : std::string());
        Check(hold.Held() == c.holdValidated, "holding the image as the case says");
        const Run run = RunMaint("VCHECK");
        CheckEqual(run.exitCode, 0, "exit code");
        CheckNoBox(run, "silent");
    }

    BeginCase("vcheck read-only validated image still checked");
    ResetMachine();
    InstallProduct(kInstallDir);
    WriteBytes(current, base);
    WriteBytes(validated, Flip(base, 10));
    SetReadOnly(validated, true);
    {
        const Run run = RunMaint("VCHECK");
        CheckEqual(run.exitCode, 0, "exit code");
        CheckUserMessage(run, "Corvane", kWarning, "warning");
    }
    SetReadOnly(validated, false);
}

// ---- ENABLED and DISABLED ----------------------------------------------------------------
std::string LocaleName(LCTYPE item) {
    char buffer[128] = {};
    GetLocaleInfoA(GetThreadLocale(), item, buffer, sizeof buffer);
    return buffer;
}

void CheckEnabledState(const std::string& installDir, const std::string& what) {
    const std::string windows = WindowsDir();
    CheckEqual(ValueOr(kProduct, "enabled"), "1", what + ": enabled");
    CheckEqual(ValueOr(kRun, "cvlock"), windows + "\\CVVCHK.EXE VCHECK", what + ": Run entry");
    const std::string shortDir = installDir.empty() ? "" : ShortName(installDir);
    CheckEqual(ValueOr(kRunServices, "cvlock"), windows + "\\CVCFG.EXE VCHECK " + shortDir, what + ": RunServices entry");
}

void CheckDisabledState(const std::string& what) {
    CheckEqual(ValueOr(kProduct, "enabled"), "0", what + ": enabled");
    CheckEqual(ValueOr(kRun, "cvlock"), "<absent>", what + ": Run entry");
    CheckEqual(ValueOr(kRunServices, "cvlock"), "<absent>", what + ": RunServices entry");
}

void LockCases() {
    const std::string marker = kInstallDir + "\\cvl.ini";
    SYSTEMTIME now;

    BeginCase("enabled on a fresh machine, runpath stored with a trailing backslash");
    ResetMachine();
    InstallProduct(kInstallDir + "\\");
    SetString(kRun, "other", "C:\\other.exe");
    SetString(kRunServices, "other", "C:\\otherservice.exe");
    {
        const Run run = RunMaint("ENABLED");
        GetLocalTime(&now);
        CheckEqual(run.exitCode, 0, "exit code");
        CheckNoBox(run, "enabled");
        CheckEnabledState(kInstallDir, "enabled");
        Check(ValueOr(kRunServices, "cvlock").find("~") != std::string::npos, "RunServices uses the short form");
        char expected[64];
        GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, expected, sizeof expected);
        CheckEqual(BytesOr(marker), std::string(expected) + "\r\n", "marker file holds today's date");
        CheckEqual(ValueOr(kRun, "other"), "C:\\other.exe", "other Run value untouched");
        CheckEqual(ValueOr(kRunServices, "other"), "C:\\otherservice.exe", "other RunServices value untouched");
    }

    // The picture the user sets, and the same picture in the system's own letters: the
    // system writes the expected date, with the locale's separator for each slash.
    const struct {
        const char* picture;
        const char* separator;
        const char* systemPicture;
    } pictures[] = {
        {"dd/MMM/yyyy", "-", "dd/MMM/yyyy"},
        {"'Day' d \"of\" MMMM, yy", "/", "'Day' d 'of' MMMM, yy"},
        {"yyyy-mm-dd", "/", "yyyy-MM-dd"},
        {"ddd, DDDD d", "/", "ddd, dddd d"},
    };
    for (const auto& p : pictures) {
        BeginCase(std::string("enabled with short date format ") + p.picture + " and separator " + p.separator);
        ResetMachine();
        InstallProduct(kInstallDir);
        SetString("Control Panel\\International", "sShortDate", p.picture, REG_SZ, HKEY_CURRENT_USER);
        SetString("Control Panel\\International", "sDate", p.separator, REG_SZ, HKEY_CURRENT_USER);
        const Run run = RunMaint("enabled");
        GetLocalTime(&now);
        std::string system;
        for (const char* c = p.systemPicture; *c; ++c)
            system += *c == '/' ? "'" + LocaleName(LOCALE_SDATE) + "'" : std::string(1, *c);
        char expected[128] = {};
        GetDateFormatA(LOCALE_USER_DEFAULT, 0, &now, system.c_str(), expected, sizeof expected);
        CheckEqual(run.exitCode, 0, "exit code");
        CheckEqual(BytesOr(marker), std::string(expected) + "\r\n", "marker file");
    }

    const struct {
        const char* value;
        bool deletedByEnable;
    } runkeys[] = {
        {"C:\\WINDOWS\\cvvchk.exe", true},
        {"C:\\WINDOWS\\CVVCHK.EXE", false},
        {"run xcvvchky now", true},
        {"C:\\other.exe", false},
    };
    for (const auto& r : runkeys) {
        for (const char* word : {"ENABLED", "DISABLED"}) {
            BeginCase(std::string(word) + " with runkey " + r.value);
            ResetMachine();
            InstallProduct(kInstallDir);
            SetString(kRun, "runkey", r.value);
            const Run run = RunMaint(word);
            CheckEqual(run.exitCode, 0, "exit code");
            const bool deleted = r.deletedByEnable && std::strcmp(word, "ENABLED") == 0;
            CheckEqual(ValueOr(kRun, "runkey"), deleted ? "<absent>" : r.value, "runkey");
        }
    }

    BeginCase("enabled with runkey not a string");
    ResetMachine();
    InstallProduct(kInstallDir);
    SetDword(kRun, "runkey", 1);
    {
        const Run run = RunMaint("ENABLED");
        CheckFailure(run, "Invalid data type for 'runkey'.", "failure");
        CheckEqual(ValueOr(kProduct, "enabled"), "1", "step 1 done");
        CheckEqual(ValueOr(kRun, "cvlock"), WindowsDir() + "\\CVVCHK.EXE VCHECK", "step 2 done");
        CheckEqual(ValueOr(kRunServices, "cvlock"), "<absent>", "step 4 not done");
        Check(!Exists(marker), "step 5 not done");
    }

    BeginCase("enabled with a read-only marker file");
    ResetMachine();
    InstallProduct(kInstallDir);
    WriteBytes(marker, "old\r\n");
    SetReadOnly(marker, true);
    {
        const Run run = RunMaint("ENABLED");
        CheckFailure(run, "File access denied.", "failure");
        CheckEnabledState(kInstallDir, "registry steps done");
        CheckEqual(BytesOr(marker), "old\r\n", "marker kept");
    }
    SetReadOnly(marker, false);

    BeginCase("enabled with the installation directory missing");
    ResetMachine();
    InstallProduct(kInstallDir, false);
    {
        const Run run = RunMaint("ENABLED");
        CheckFailure(run, "Invalid filename.", "failure");
        CheckEnabledState(kInstallDir, "registry steps done");
    }

    BeginCase("disabled after enabled");
    ResetMachine();
    InstallProduct(kInstallDir);
    RunMaint("ENABLED");
    Check(Exists(marker), "marker written by ENABLED");
    {
        const Run run = RunMaint("DISABLED");
        CheckEqual(run.exitCode, 0, "exit code");
        CheckNoBox(run, "disabled");
        CheckDisabledState("disabled");
        Check(!Exists(marker), "marker deleted");
    }

    BeginCase("disabled on a machine never enabled");
    ResetMachine();
    {
        const std::string before = MachineSnapshot();
        const Run run = RunMaint("DISABLED");
        CheckEqual(run.exitCode, 0, "exit code");
        CheckNoBox(run, "disabled");
        CheckEqual(DumpKey(kProduct), kProduct + " : enabled = 1:3000\n", "only enabled = 0 in the product key");
        CheckEqual(MachineSnapshot().substr(MachineSnapshot().find(kRun)), before.substr(before.find(kRun)),
                   "nothing else changed");
    }

    BeginCase("empty installation directory");
    ResetMachine();
    InstallProduct("");
    WriteBytes("C:\\cvl.ini", "keep\r\n");
    {
        const Run run = RunMaint("ENABLED");
        CheckEqual(run.exitCode, 0, "enabled exit code");
        CheckEnabledState("", "enabled");
        CheckEqual(ValueOr(kRunServices, "cvlock"), WindowsDir() + "\\CVCFG.EXE VCHECK ", "RunServices ends in a blank");
        CheckEqual(BytesOr("C:\\cvl.ini"), "keep\r\n", "no file written at the root");
        const Run disabled = RunMaint("DISABLED");
        CheckEqual(disabled.exitCode, 0, "disabled exit code");
        CheckEqual(BytesOr("C:\\cvl.ini"), "keep\r\n", "no file deleted at the root");
    }

    BeginCase("enabled twice is enabled once");
    ResetMachine();
    InstallProduct(kInstallDir);
    RunMaint("ENABLED");
    {
        const std::string once = DumpKey("SOFTWARE\\Vellmark") + DumpKey(kRun) + DumpKey(kRunServices) + BytesOr(marker);
        const Run run = RunMaint("ENABLED");
        CheckEqual(run.exitCode, 0, "exit code");
        CheckEqual(DumpKey("SOFTWARE\\Vellmark") + DumpKey(kRun) + DumpKey(kRunServices) + BytesOr(marker), once,
                   "same state");
    }
}

// ---- UNINSTALL ---------------------------------------------------------------------------
void UninstallCases() {
    const std::string windows = WindowsDir();
    const std::string wininit = windows + "\\WININIT.INI";

    BeginCase("uninstall a fully installed product");
    ResetMachine();
    InstallFully();
    {
        bool wininitClean = false, configStillThere = false;
        const Run run = RunMaint("UNINSTALL", [&](const Box&) {
            wininitClean = BytesOr(wininit, "").find("cvvchk") == std::string::npos;
            configStillThere = Exists(kInstallDir + "\\cvcfg.exe") && Exists(windows + "\\System\\ctgcpl.cpl");
        });
        CheckEqual(run.exitCode, 0, "exit code");
        CheckUserMessage(run, "Dialog", kUninstalled, "message");
        Check(wininitClean, "WININIT.INI untouched while the message is open");
        Check(configStillThere, "cvcfg.exe and ctgcpl.cpl still there while the message is open");
        for (const char* name : kInstallFiles) Check(!Exists(kInstallDir + "\\" + name), std::string("deleted ") + name);
        for (const char* name : kWindowsFiles) Check(!Exists(windows + "\\" + name), std::string("deleted ") + name);
        Check(!Exists(kInstallDir + "\\cvcfg.exe"), "deleted cvcfg.exe");
        Check(!Exists(windows + "\\System\\ctgcpl.cpl"), "deleted ctgcpl.cpl");
        Check(Exists(kInstallDir + "\\keep.txt") && Exists(windows + "\\keep.txt"), "other files kept");
        Check(Exists(kInstallDir), "installation directory kept");
        Check(!KeyExists(kProduct), "product key gone");
        Check(!KeyExists(kUninstall), "uninstall entry gone");
        CheckEqual(ValueOr("SOFTWARE\\Vellmark\\Other", "keep"), "1", "other Vellmark key kept");
        for (const std::string& key : {kRun, kRunServices}) {
            CheckEqual(ValueOr(key, "cvlock"), "<absent>", key + " cvlock gone");
            CheckEqual(ValueOr(key, "other"), "keep", key + " other value kept");
        }
        CheckEqual(ValueOr(kRun, "runkey"), "<absent>", "runkey gone");
        CheckEqual(BytesOr(wininit), "[Rename]\r\n" + OurLines(), "WININIT.INI created with our two lines");
    }

    BeginCase("uninstall on a machine with nothing left");
    ResetMachine();
    {
        const Run run = RunMaint("UNINSTALL");
        CheckEqual(run.exitCode, 0, "exit code");
        CheckUserMessage(run, "Dialog", kUninstalled, "message");
        CheckEqual(BytesOr(wininit), "[Rename]\r\n" + OurLines(), "both lines added");
    }

    BeginCase("uninstall with an empty installation directory keeps the drive root");
    ResetMachine();
    InstallProduct("");
    WriteBytes("C:\\readme.txt", "keep");
    WriteBytes("C:\\cvl.ini", "keep");
    {
        const Run run = RunMaint("UNINSTALL");
        CheckEqual(run.exitCode, 0, "exit code");
        CheckEqual(BytesOr("C:\\readme.txt"), "keep", "C:\\readme.txt kept");
        CheckEqual(BytesOr("C:\\cvl.ini"), "keep", "C:\\cvl.ini kept");
        Check(!KeyExists(kProduct), "product key gone");
    }
}

}  // namespace

void RunMaintenanceCases() {
    DispatchCases();
    BootHeaderCases();
    LockCases();
    UninstallCases();
}
