// End-to-end test rig: runs inside the Wine session of the programs under test, prepares
// registry and files, starts a program, reads and dismisses every message box it shows,
// and checks what a user would see.
#pragma once
#include <windows.h>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct Box {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    bool hasIcon = false;
    bool errorIcon = false;
    bool owned = false;
    std::vector<int> buttons;  // IDs of the visible push buttons
};

struct Run {
    DWORD pid = 0;
    DWORD exitCode = 0xFFFFFFFF;
    std::vector<Box> boxes;
};

// Runs `exe` in g_paths.directory with the full command line `commandLine`, `count` times at once, each
// started with `givenMode` and `play` (see StartProcess). Whenever each run not yet ended shows
// a box, all are read, seen by `onBox`, and answered with OK in the same moment; a run alone
// so has each of its boxes answered in turn. A run that is not over after 60 s is ended.
std::vector<Run> RunPrograms(const std::string& exe, const std::string& commandLine, int count = 1,
                             const std::string& play = "", UINT givenMode = 0,
                             const std::function<void(const Box&)>& onBox = nullptr);

// Starts `exe` with the full command line `commandLine` in `directory`; a failure to start
// is a failed check. A `givenMode` other than 0 is the error mode the process starts with,
// as a parent on Windows hands its own on (Wine hands none on: every process starts with 0).
// A `play` other than empty is what faults.dll, put into the process before its first
// instruction, plays there: lines "clock DATE" and "FUNCTION ... fails with CODE" (faults.cpp).
bool StartProcess(const std::string& exe, const std::string& commandLine, const std::string& directory,
                  PROCESS_INFORMATION& process, UINT givenMode = 0, const std::string& play = "");

// Waits until every program that the programs started suspended started in turn has ended.
void AwaitStarted();

// Runs `exe` alone as RunPrograms does, into `run`, and hands back the record of the run:
// every call the program itself made, in order, as Wine's trace shows it (in the file that
// run-wine.sh names in CV_TRACE), written so that it is the same on every run
// (tests/data/traced-calls.txt), with what faults.dll played among them; without `relay`,
// only what it played.
std::string RunTraced(const std::string& exe, const std::string& commandLine, UINT givenMode, Run& run,
                      const std::string& play = "", bool relay = true);

// Each call's line of tests/data/traced-calls.txt by the call's name, from its kinds on:
// how a record writes it, and how it fails.
const std::map<std::string, std::string>& CallLines();

// A box as an outcome writes it: caption, icon, buttons, owner, then its text on a line of its own.
std::string BoxText(const Box& box);

// The path of the file `name` that run-wine.sh placed beside this program.
std::string BesideRig(const std::string& name);

// Where a run leaves what it draws, the pictures of boxes and the outcomes of scenarios
// (CV_DRAWN, a directory, with its trailing backslash), or empty for nowhere.
std::string DrawnDirectory();

// The visible message box of process `pid`, or null.
HWND FindMessageBox(DWORD pid);

// What the screen shows in the w x h area at x, y: `bits` a pixel, rows from the bottom,
// each padded to four bytes, as a device-independent bitmap holds them.
std::string ScreenPixels(int x, int y, int w, int h, WORD bits);

// Check reporting, Wine conformance-test style: one line per fact that fails.
void Check(bool condition, const std::string& what);
void CheckEqual(const std::string& actual, const std::string& expected, const std::string& what);
void BeginCase(const std::string& name);
int FinishAll();  // prints the closing line, returns the process exit code

// Registry under HKEY_LOCAL_MACHINE unless a root is given.
void SetString(const std::string& key, const std::string& name, const std::string& value, DWORD type = REG_SZ,
               HKEY root = HKEY_LOCAL_MACHINE);
void SetBinary(const std::string& key, const std::string& name, const std::string& bytes, DWORD type,
               HKEY root = HKEY_LOCAL_MACHINE);
void CreateKey(const std::string& key, HKEY root = HKEY_LOCAL_MACHINE);
void DeleteTree(const std::string& key, HKEY root = HKEY_LOCAL_MACHINE);
void DeleteValue(const std::string& key, const std::string& name, HKEY root = HKEY_LOCAL_MACHINE);

// Files.
void WriteBytes(const std::string& path, const std::string& bytes);
bool ReadBytes(const std::string& path, std::string& bytes);
std::string BytesOr(const std::string& path, const std::string& fallback = "<absent>");
bool Exists(const std::string& path);
void Remove(const std::string& path);  // clears read-only first
void MakeDirs(const std::string& path);
void RemoveTree(const std::string& path);
// Calls `visit` for every entry of `directory` but "." and "..".
void ForEachEntry(const std::string& directory, const std::function<void(const WIN32_FIND_DATAA&)>& visit);

std::string WindowsDir();

// The Windows version Wine reports to one program, by its file name ("win95", "nt40", ...).
void SetWineVersion(const std::string& exeName, const std::string& version);

struct Paths {
    std::string maint;    // the cvmaint.exe under test
    std::string probe;    // the cvprobe.exe under test
    std::string standIn;  // the stand-in program: configuration program and web browser
    std::string directory = "C:\\";  // where each program is started
};
extern Paths g_paths;

void RunScenarios();     // the rows of scenarios.txt (CV_ROW names one to run alone)
int RunDemo();  // the exit code
void RunBench(const std::string& emptyExe, int rounds);
