// cvprobe end to end, with the Windows version Wine reports set per case.
#include "product.h"

namespace {

Run RunProbe(const ProbeSetup& s, const std::string& version, const std::string& arguments = "") {
    SetWineVersion("cvprobe.exe", version);
    return RunProgram(s.probe, "\"" + s.probe + "\"" + arguments, nullptr, "C:\\");
}

void CheckStarted(const ProbeSetup& s, const std::string& expectedLine, const std::string& expectedWinver) {
    const std::string log = WaitForLog(s.config + ".log");
    CheckEqual(CountStarts(log), 1, "configuration program started once");
    CheckEqual(log, "cmdline=" + expectedLine + "\nshow=1\nwinver=" + expectedWinver + "\n",
               "hand-off line, show state and the winver.ini it found");
}

}  // namespace

void RunProbeCases() {
    const struct {
        const char* version;
        const char* digit;
    } families[] = {
        {"win95", "1"}, {"win98", "2"}, {"winme", "3"}, {"nt40", ""}, {"win2k", ""}, {"winxp", ""},
    };
    for (const auto& f : families) {
        BeginCase(std::string("probe on ") + f.version);
        const ProbeSetup s = PlaceProbe("C:\\probe\\");
        const bool nt = *f.digit == '\0';
        if (nt) WriteBytes(s.directory + "winver.ini", "old content\r\n");
        const Run run = RunProbe(s, f.version);
        CheckEqual(run.exitCode, 0, "exit code");
        CheckNoBox(run, "probe");
        const std::string winver = nt ? "old content\r\n" : std::string(f.digit) + "\r\n";
        CheckEqual(BytesOr(s.directory + "winver.ini"), winver, "winver.ini");
        CheckStarted(s, s.directory + (nt ? "cvcfg.exe noinst" : "cvcfg.exe install"), winver);
    }

    BeginCase("probe with no winver.ini on NT writes none");
    {
        const ProbeSetup s = PlaceProbe("C:\\probe\\");
        const Run run = RunProbe(s, "winxp");
        CheckEqual(run.exitCode, 0, "exit code");
        CheckStarted(s, "C:\\probe\\cvcfg.exe noinst", "<absent>");
        Check(!Exists(s.directory + "winver.ini"), "no winver.ini");
    }

    BeginCase("probe cuts an older, longer winver.ini");
    {
        const ProbeSetup s = PlaceProbe("C:\\probe\\");
        WriteBytes(s.directory + "winver.ini", "9\r\nsomething much longer\r\n");
        const Run run = RunProbe(s, "win98");
        CheckEqual(run.exitCode, 0, "exit code");
        CheckStarted(s, "C:\\probe\\cvcfg.exe install", "2\r\n");
    }

    BeginCase("probe with a read-only winver.ini");
    {
        const ProbeSetup s = PlaceProbe("C:\\probe\\");
        WriteBytes(s.directory + "winver.ini", "old\r\n");
        SetReadOnly(s.directory + "winver.ini", true);
        const Run run = RunProbe(s, "win95");
        CheckEqual(run.exitCode, 0, "exit code");
        CheckNoBox(run, "silent");
        CheckStarted(s, "C:\\probe\\cvcfg.exe install", "old\r\n");
        SetReadOnly(s.directory + "winver.ini", false);
    }

    BeginCase("probe in a directory with a blank, a decoy at the prefix");
    {
        const ProbeSetup s = PlaceProbe("C:\\Corvane Setup\\");
        CopyFileA(g_paths.standIn.c_str(), "C:\\Corvane.exe", FALSE);
        const Run run = RunProbe(s, "win98");
        CheckEqual(run.exitCode, 0, "exit code");
        CheckStarted(s, "\"C:\\Corvane Setup\\cvcfg.exe\" install", "2\r\n");
        Check(!Exists("C:\\Corvane.exe.log"), "the decoy never ran");
        Remove("C:\\Corvane.exe");
    }

    for (const char* arguments : {" noinst", " ENABLED x y", " \"\" /?"}) {
        BeginCase(std::string("probe ignores arguments:") + arguments);
        const ProbeSetup s = PlaceProbe("C:\\probe\\");
        const Run run = RunProbe(s, "winme", arguments);
        CheckEqual(run.exitCode, 0, "exit code");
        CheckNoBox(run, "probe");
        CheckStarted(s, "C:\\probe\\cvcfg.exe install", "3\r\n");
    }

    BeginCase("probe without a configuration program");
    {
        const ProbeSetup s = PlaceProbe("C:\\probe\\", false);
        const Run run = RunProbe(s, "win95");
        CheckEqual(run.exitCode, 0, "exit code");
        CheckNoBox(run, "probe");
        CheckEqual(BytesOr(s.directory + "winver.ini"), "1\r\n", "winver.ini still written");
    }
}

