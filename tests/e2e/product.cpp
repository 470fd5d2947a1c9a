// The product's places in the registry and on disk, and the checks the cases share.
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
const std::string kHomePage = "http://www.vellmark.com/";

const NotAString kNotStrings[3] = {{"REG_BINARY", REG_BINARY, std::string("C:\\X\0\0", 6)},
                                   {"REG_MULTI_SZ", REG_MULTI_SZ, std::string("C:\\X\0\0", 6)},
                                   {"REG_DWORD", REG_DWORD, std::string("\x01\0\0\0", 4)}};

std::string Wininit() { return WindowsDir() + "\\WININIT.INI"; }
std::string OurLines() {
    return "NUL=" + WindowsDir() + "\\System\\ctgcpl.cpl\r\nNUL=" + WindowsDir() + "\\cvvchk.exe\r\n";
}

std::string WindowsFileNames() {
    const std::string listing = ListDirectory(WindowsDir());  // "name size time" lines
    std::string names;
    for (size_t at = 0; at < listing.size();) {
        const size_t end = listing.find('\n', at);
        const std::string entry = listing.substr(at, end - at);
        names += entry.substr(0, entry.rfind(' ', entry.rfind(' ') - 1)) + "\n";
        at = end + 1;
    }
    return names;
}

std::string EditLeftovers() {
    const std::string names = "\n" + WindowsFileNames();
    std::string found;
    for (size_t at = names.find("\ncvw"); at != std::string::npos; at = names.find("\ncvw", at + 1))
        found += names.substr(at + 1, names.find('\n', at + 1) - at);
    return found;
}

void RegisterBrowser() {
    SetString("SOFTWARE\\Classes\\http", "URL Protocol", "");
    SetString("SOFTWARE\\Classes\\http\\shell\\open\\command", "", "\"" + g_paths.recorder + "\" \"%1\"");
}

ProbeSetup PlaceProbe(const std::string& directory, bool withConfig) {
    ResetMachine();
    MakeDirs(directory.substr(0, directory.size() - 1));
    ProbeSetup s{directory, directory + "cvprobe.exe", directory + "cvcfg.exe"};
    CopyFileA(g_paths.probe.c_str(), s.probe.c_str(), FALSE);
    if (withConfig) CopyFileA(g_paths.standIn.c_str(), s.config.c_str(), FALSE);
    return s;
}

void ResetMachine() {
    DeleteTree("SOFTWARE\\Vellmark");
    for (const std::string& key : {kRun, kRunServices}) {
        for (const char* name : {"cvlock", "runkey", "other"}) DeleteValue(key, name);
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

const char* const kInstallFiles[21] = {
    "cvnew.dat",  "cvval.dat",  "vernum.ini", "winver.ini", "cvl.exe",    "cvl.gid",     "cvl.hlp",
    "cvl.cnt",    "cvprobe.exe", "cvl.ini",   "cvmaint.exe", "ctmbr.sys", "ctboot.sys",  "ctdata.sys",
    "cvlock.vxd", "cvback.dat", "ctback.dat", "ctback1.dat", "ctback2.dat", "readme.txt", "unin.ini",
};
const char* const kWindowsFiles[5] = {
    "cvback.dat", "cvvchk.exe", "cvcfg.exe", "Start Menu\\Programs\\Vellmark Software\\Corvane Configuration.lnk",
    "system\\iosubsys\\cvlock.vxd",
};

static void PutFile(const std::string& path) {
    MakeDirs(path.substr(0, path.find_last_of('\\')));
    WriteBytes(path, "x");
}

void InstallFully() {
    const std::string windows = WindowsDir();
    InstallProduct(kInstallDir + "\\");
    SetString(kProduct, "enabled", "1");
    CreateKey(kProduct + "\\Nested\\Deeper");
    SetString(kProduct + "\\Nested", "x", "y");
    SetString(kUninstall, "DisplayName", "Corvane");
    CreateKey(kUninstall + "\\Sub");
    SetString("SOFTWARE\\Vellmark\\Other", "keep", "1");
    for (const std::string& key : {kRun, kRunServices}) {
        SetString(key, "cvlock", "x");
        SetString(key, "other", "keep");
    }
    SetString(kRun, "runkey", "C:\\WINDOWS\\CVVCHK.EXE");
    for (const char* name : kInstallFiles) PutFile(kInstallDir + "\\" + name);
    for (const char* name : kWindowsFiles) PutFile(windows + "\\" + name);
    PutFile(kInstallDir + "\\cvcfg.exe");
    PutFile(windows + "\\System\\ctgcpl.cpl");
    PutFile(kInstallDir + "\\keep.txt");
    PutFile(windows + "\\keep.txt");
}

void InstallProduct(const std::string& installDir, bool create) {
    if (create && !installDir.empty()) MakeDirs(installDir);
    SetString(kProduct, "runpath", installDir);
}

Run RunMaint(const std::string& arguments, const std::function<void(const Box&)>& onBox) {
    return RunProgram(g_paths.maint, "\"" + g_paths.maint + "\" " + arguments, onBox);
}

ExpectedBox Failure(const std::string& message) { return ExpectedBox{"Application Error", message}; }
ExpectedBox UninstallMessage() { return ExpectedBox{"Dialog", kUninstalled}; }

void CheckBoxes(const Run& run, const std::vector<ExpectedBox>& expected, const std::string& what) {
    const std::string prefix = what.empty() ? "" : what + ": ";
    CheckEqual(static_cast<long long>(run.boxes.size()), static_cast<long long>(expected.size()), prefix + "boxes");
    for (size_t i = 0; i < run.boxes.size(); ++i) {
        const Box& box = run.boxes[i];
        if (i >= expected.size()) {
            CheckEqual(box.caption + " | " + box.text, "", prefix + "unexpected box");
            continue;
        }
        CheckEqual(box.caption, expected[i].caption, prefix + "caption");
        Check(!box.owned, prefix + "no owner");
        if (expected[i].caption == "Application Error") {
            const size_t lineFeed = box.text.find('\n');
            const std::string first = box.text.substr(0, lineFeed);
            Check(first.rfind("Exception ", 0) == 0 && first.find(" in module cvmaint.exe at ") != std::string::npos &&
                      first.back() == '.',
                  prefix + "first line \"" + first + "\"");
            CheckEqual(lineFeed == std::string::npos ? "" : box.text.substr(lineFeed + 1), expected[i].text,
                       prefix + "failure message");
            Check(box.errorIcon, prefix + "error icon");
        } else {
            CheckEqual(box.text, expected[i].text, prefix + "text");
            Check(!box.hasIcon, prefix + "no icon");
            Check(box.buttons == std::vector<int>{IDOK}, prefix + "OK button only");
        }
    }
}

void CheckNoBox(const Run& run, const std::string& what) { CheckBoxes(run, {}, what); }

void CheckUserMessage(const Run& run, const std::string& caption, const std::string& text, const std::string& what) {
    CheckBoxes(run, {ExpectedBox{caption, text}}, what);
}

void CheckFailure(const Run& run, const std::string& message, const std::string& what) {
    CheckEqual(run.exitCode, 1, what + ": exit code");
    CheckBoxes(run, {Failure(message)}, what);
}

std::string WaitForLog(const std::string& log) {
    for (int waited = 0; waited < 5000 && !Exists(log); waited += 100) Sleep(100);
    Sleep(200);
    return BytesOr(log, "");
}

int CountStarts(const std::string& log) {
    int n = 0;
    for (size_t at = log.find("cmdline="); at != std::string::npos; at = log.find("cmdline=", at + 1)) ++n;
    return n;
}

std::string MachineSnapshot() {
    const std::string windows = WindowsDir();
    return DumpKey("SOFTWARE\\Vellmark") + DumpKey(kRun) + DumpKey(kRunServices) +
           DumpKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall") + ListDirectory(kInstallDir) +
           ListDirectory(windows) + ListDirectory(windows + "\\System") + ListDirectory("C:\\");
}
