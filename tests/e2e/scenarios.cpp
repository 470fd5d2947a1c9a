// The scenarios of scenarios.txt, run one after another from the same machine: each row's
// setup, its runs, and its whole outcome written as NAME.txt into CV_DRAWN (run-wine.sh holds
// each against docs/outcomes); then the machine is put back and checked to be as it was.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <set>
#include <sstream>
#include "product.h"
#include "snapshot.h"

namespace {

struct Scenario {
    std::string name, what;
    std::vector<std::pair<std::string, std::string>> lines;  // each setup or run line: its word, the rest
};

std::string After(const std::string& text, const std::string& mark) {
    const size_t at = text.find(mark);
    return at == std::string::npos ? "" : text.substr(at + mark.size());
}
std::string Before(const std::string& text, const std::string& mark) { return text.substr(0, text.find(mark)); }
bool Has(const std::string& text, const char* word) { return text.find(word) != std::string::npos; }
bool Says(const Scenario& row, const std::string& word) {
    return std::any_of(row.lines.begin(), row.lines.end(), [&](const auto& line) { return line.first == word; });
}
// The rest of the row's first line of `word`, or empty.
std::string LineOf(const Scenario& row, const std::string& word) {
    for (const auto& [each, rest] : row.lines)
        if (each == word) return rest;
    return "";
}
std::string Environment(const char* name, const char* otherwise) {
    char value[256];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length && length < sizeof value ? value : otherwise;
}
HKEY Root(const std::string& path) { return path.rfind("HKCU\\", 0) == 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

// Rows "[name] what it shows", each followed by its lines; "use NAME" takes the lines of the
// block "setup NAME" in its place. A mistake in the table fails the run, naming the row.
std::vector<Scenario> ReadScenarios(const std::string& text) {
    std::vector<Scenario> rows;
    std::map<std::string, Scenario> setups;
    Scenario* current = nullptr;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const std::string word = Before(line, " "), rest = After(line, " ");
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            rows.push_back({Before(line.substr(1), "]"), After(line, "] "), {}});
            current = &rows.back();
            const auto same = [&](const Scenario& row) { return row.name == current->name; };
            Check(std::none_of(rows.begin(), rows.end() - 1, same), "scenarios.txt: two rows named " + current->name);
        } else if (word == "setup") {
            current = &setups[rest];
        } else if (word == "use" && current) {
            Check(setups.count(rest), "scenarios.txt: [" + current->name + "] uses no setup named " + rest);
            current->lines.insert(current->lines.end(), setups[rest].lines.begin(), setups[rest].lines.end());
        } else if (current) {
            current->lines.emplace_back(word, rest);
        } else {
            Check(false, "scenarios.txt: a line outside a row: " + line);
        }
    }
    return rows;
}

void SetUp(const std::string& word, const std::string& line) {
    const bool empty = line.size() > 1 && line.compare(line.size() - 2, 2, " =") == 0;  // "file PATH =": no bytes
    const std::string rest = empty ? line + " " : line;
    const std::string path = Unescaped(Before(rest, " = ")), data = Unescaped(After(rest, " = "));
    const std::string folder = path.substr(0, path.rfind('\\'));
    if (word == "value") {  // value ROOT\KEY : NAME = TYPE BYTES
        const std::string key = After(Before(path, " : "), "\\"), name = After(path, " : ");
        DWORD type = 0;
        while (type < 12 && TypeName(type) != Before(data, " ")) ++type;
        Check(type < 12, "scenarios.txt: a value's type: " + rest);
        SetBinary(key, name == "@" ? "" : name, After(data, " "), type, Root(path));
    } else if (word == "key") {
        CreateKey(After(path, "\\"), Root(path));
    } else if (word == "dir") {
        MakeDirs(path);
    } else if (word == "file") {  // file PATH = BYTES
        MakeDirs(folder);
        WriteBytes(path, data);
    } else if (word == "copy") {  // copy PATH = cvprobe, or standin
        MakeDirs(folder);
        const std::string& from = data == "cvprobe" ? g_paths.probe : g_paths.standIn;
        Check(CopyFileA(from.c_str(), path.c_str(), FALSE), "copy " + rest);
    } else if (word == "attributes") {  // attributes PATH = read-only hidden system
        SetFileAttributesA(path.c_str(), (Has(data, "read-only") ? FILE_ATTRIBUTE_READONLY : 0) |
                                             (Has(data, "hidden") ? FILE_ATTRIBUTE_HIDDEN : 0) |
                                             (Has(data, "system") ? FILE_ATTRIBUTE_SYSTEM : 0));
    } else if (word == "profile") {  // profile PATH : SECTION : NAME = VALUE, by the system's profile writer
        const std::string file = Before(path, " : "), section = After(path, " : "), name = After(section, " : ");
        WritePrivateProfileStringA(Before(section, " : ").c_str(), name.c_str(), data.c_str(), file.c_str());
    } else if (word == "date-picture" || word == "date-separator") {
        SetString("Control Panel\\International", word == "date-picture" ? "sShortDate" : "sDate", Unescaped(rest), REG_SZ,
                  HKEY_CURRENT_USER);
    } else if (!std::regex_match(word, std::regex("run|hold|recorded|profile-reader|clock|fault|lock|windows|error-mode|directory|locale|"
                                                  "together|rounds|swept|given"))) {
        Check(false, "scenarios.txt: no such line: " + word + " " + rest);
    }
}

// hold PATH [= sharing read write delete, for reading]: held open while the row runs.
HANDLE Hold(const std::string& rest) {
    const std::string how = After(rest, " = ");
    const DWORD share = (Has(how, "read") ? FILE_SHARE_READ : 0) | (Has(how, "write") ? FILE_SHARE_WRITE : 0) |
                        (Has(how, "delete") ? FILE_SHARE_DELETE : 0);
    HANDLE hold = CreateFileA(Before(rest, " = ").c_str(), Has(how, "for reading") ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                              share, nullptr, OPEN_EXISTING, 0, nullptr);
    Check(hold != INVALID_HANDLE_VALUE, "holding " + rest);
    return hold;
}

// lock held NAME, lock abandoned NAME: the machine-wide lock of that name held by the rig
// while the row runs, or taken by a thread of the rig's that ended without letting go.
DWORD WINAPI TakeAndEnd(void* name) {
    return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(CreateMutexA(nullptr, TRUE, static_cast<char*>(name))));
}

HANDLE TakeLock(const std::string& rest) {
    std::string name = After(rest, " ");
    if (Before(rest, " ") == "held") return CreateMutexA(nullptr, TRUE, name.c_str());
    HANDLE thread = CreateThread(nullptr, 0, TakeAndEnd, &name[0], 0, nullptr);
    DWORD mutex = 0;
    Check(WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0 && GetExitCodeThread(thread, &mutex) && mutex,
          "the lock taken by a thread that ended");
    CloseHandle(thread);
    return reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(mutex));
}

std::set<std::string> Entries(const std::string& section) {
    std::set<std::string> entries;
    for (size_t at = 0; at < section.size(); at = section.find('\0', at) + 1) entries.insert(section.c_str() + at);
    return entries;
}

// Every section of a profile file as the system's own reader reads it: name (lower case) ->
// its entries. The first section of a name hides any later one, as it does for every reader.
using Sections = std::map<std::string, std::string>;
Sections ReadSections(const std::string& path) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // nothing stale in this process
    std::vector<char> names(65536), entries(65536);
    GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), path.c_str());
    Sections sections;
    for (const char* name = names.data(); *name; name += std::strlen(name) + 1) {
        const DWORD length =
            GetPrivateProfileSectionA(name, entries.data(), static_cast<DWORD>(entries.size()), path.c_str());
        std::string key = name;
        sections[CharLowerA(&key[0])] = std::string(entries.data(), length);
    }
    return sections;
}

// WININIT.INI, read after an UNINSTALL, as `before` with our two lines added to [Rename].
void CheckReaderAgrees(Sections before) {
    Sections after = ReadSections(Wininit());
    std::set<std::string> expected = Entries(before["rename"]);
    expected.insert({"NUL=" + WindowsDir() + "\\System\\ctgcpl.cpl", "NUL=" + WindowsDir() + "\\cvvchk.exe"});
    Check(Entries(after["rename"]) == expected,
          "[Rename] holds what it held and both our lines, as the system reads it");
    before.erase("rename");
    after.erase("rename");
    Check(after == before, "every other section reads as before");
}

std::string Hash(const std::string& bytes) {  // FNV-1a
    unsigned long long hash = 14695981039346656037ull;
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
    char sum[32];
    std::snprintf(sum, sizeof sum, "%016llx", hash);
    return sum;
}

std::string Shown(const std::string& bytes) {
    const std::string text = "\"" + Escaped(bytes) + "\"";
    return text.size() > 2048 ? "(" + std::to_string(bytes.size()) + " bytes, hash " + Hash(bytes) + ")" : text;
}

bool Equal(const Entry* a, const Entry* b) { return a == b || (a && b && Same(*a, *b)); }
const Entry* At(const Snapshot& s, const std::string& name) {
    const auto it = s.find(name);
    return it == s.end() ? nullptr : &it->second;
}
// The changes from `a` to `b`, the names GetTempFileNameA makes up written so that they do not vary.
std::string Steady(const Snapshot& a, const Snapshot& b) {
    const std::string changes = Changes(a, b, [](const Entry& e) { return Shown(e.data); }, false);
    return std::regex_replace(changes, std::regex("cvw[0-9A-Fa-f]+\\.tmp"), "cvw(u).tmp");
}

// Whether the i-th of a list is this share's: CV_SHARE K/N takes every N-th from the K-th.
bool Ours(size_t i) {
    const std::string share = Environment("CV_SHARE", "1/1");
    return static_cast<int>(i % std::stoi(After(share, "/"))) == std::stoi(share) - 1;
}

// Whether the row is swept: never with CV_SWEEP=0 (the other Debian release).
bool Swept(const Scenario& row) { return Environment("CV_SWEEP", "1") != "0" && Says(row, "swept"); }

// The failure box, with every failure text the programs know.
const std::regex kFailureBox("box \"Application Error\", error icon, buttons OK, no owner\n  Exception \\w+ in module "
                             "cv(maint|probe)\\.exe at \\(code address\\)\\.<LF>(File not found|Invalid filename|Too "
                             "many open files|File access denied|Read beyond end of file|Disk full|I/O error [0-9]+|Out "
                             "of memory|(Failed to get data|Invalid data type|Failed to set data) for '[a-z]+')\\.\n");

// swept: the row's one run played again with each call it makes that can fail failing (the k-th
// of its function, counted in the record, or by faults.dll where the record leaves it out), and
// each read or write a byte short; in share K of N (CV_SHARE) the K-th of every N. What each
// must hold and how it is told: docs/testing.md, "The sweep".
std::string Sweep(const Scenario& row, const std::string& exe, const std::string& commandLine, const std::string& play,
                  const std::string& record, const Run& whole, const Snapshot& before, const Snapshot& after) {
    std::vector<std::pair<std::string, std::string>> faults;  // each fault, and its call as the record writes it
    std::map<std::string, int> seen;
    std::istringstream calls(record);
    for (std::string line; std::getline(calls, line);) {
        const std::string f = Before(line, "("), how = CallLines().count(f) ? CallLines().at(f) : "";
        const std::string call = f + " call " + std::to_string(++seen[f]);
        if (Has(how, " fails ")) faults.emplace_back(call + " fails", line);
        if (Has(how, " short ")) faults.emplace_back(call + " falls short by 1", line);
    }
    std::smatch counted;  // "counted: FUNCTION, N calls": of a call the record leaves out
    for (auto at = record.cbegin(); std::regex_search(at, record.cend(), counted, std::regex("counted: (\\w+), (\\d+) calls")); at = counted[0].second)
        for (int k = 1; k <= std::stoi(counted[2]); ++k) faults.emplace_back(counted[1].str() + " call " + std::to_string(k) + " fails", "");
    std::string out = "# " + row.name + ", swept: each call that can fail, failing; each read and write, a byte short\n";
    Snapshot now = after;
    for (size_t i = 0; i < faults.size(); ++i) {
        const auto& [fault, call] = faults[i];
        if (!Ours(i)) continue;  // another share's
        const std::string function = Before(fault, " "), number = Before(After(fault, "call "), " ");
        const std::string where = "[" + row.name + "] " + fault + ": ";
        Restore(before, now);
        Run run;
        const std::string told = RunTraced(exe, commandLine, 0, run, play + fault + "\n", false);
        AwaitStarted();
        now = TakeSnapshot();
        const std::string answer = Before(After(told, "played: " + function + ", call " + number + ": "), "\n");
        Check(!answer.empty(), where + "never played: the run is not the same up to it");
        std::string shown;  // each box by its caption, a failure box by its message
        for (const Box& box : run.boxes)
            shown += (shown.empty() ? ", box " : ", ") + (box.caption == "Application Error" ? "\"" + After(box.text, "\n") + "\"" : box.caption);
        std::vector<Box> boxes = run.boxes;
        const bool reported = run.exitCode == 1 && !boxes.empty() && std::regex_match(BoxText(boxes.back()), kFailureBox);
        if (reported) boxes.pop_back();
        Check(run.exitCode == 0 || reported || (run.exitCode == 1 && function == "MessageBoxA"),
              where + "exit code " + std::to_string(run.exitCode) + shown);
        const auto alike = [](const Box& a, const Box& b) { return BoxText(a) == BoxText(b); };
        Check(boxes.size() <= whole.boxes.size() && std::equal(boxes.begin(), boxes.end(), whole.boxes.begin(), alike),
              where + "boxes the whole run does not show" + shown);
        Snapshot names = before;  // every name of either
        names.insert(now.begin(), now.end());
        int changed = 0;
        std::string more;  // the changes the whole run does not make
        for (const auto& [name, any] : names) {
            const Entry *was = At(before, name), *is = At(now, name), *meant = At(after, name);
            changed += !Equal(was, is);
            if (Equal(was, is) || Equal(is, meant)) continue;
            const std::string line = Before(Steady(was ? Snapshot{{name, *was}} : Snapshot(), is ? Snapshot{{name, *is}} : Snapshot()), "\n");
            const bool first = run.exitCode == 1 && is && meant && is->kind == 'f' && is->type == meant->type &&
                               !Has(name, "WININIT.INI") && meant->data.compare(0, is->data.size(), is->data) == 0;
            bool given = false;
            for (const auto& [word, rest] : row.lines)
                given = given || (word == "given" && Before(rest, " ") == function && line.rfind(After(rest, " "), 0) == 0);
            Check(first || given, where + "a change the whole run does not make: " + line);
            more += (first ? "; a first part: " : "; as meant: ") + line;
        }
        std::smatch named;  // what the call names: its first string, or the handle it is given
        const std::string arguments = After(call, "(");
        const bool subject = std::regex_search(arguments, named, std::regex("\"([^\"\\\\]|\\\\.)*\"")) ||
                             std::regex_search(arguments, named, std::regex("^h[0-9]+"));
        out += fault + (subject ? " " + named.str().substr(0, 60) : "") + ": " + answer + "; exit code " +
               std::to_string(run.exitCode) + shown + "; " + std::to_string(changed) + " changes (" + Hash(Steady(before, now)) + ")" + more + "\n";
    }
    Restore(after, now);
    return out;
}

// The row's outcome, and where it is swept, its sweep; `before` ends as the machine the row leaves.
std::string RunRow(const Scenario& row, Snapshot& before, std::string& sweep) {
    std::string outcome = "# " + row.name + ": " + row.what + "\n", faults;
    std::vector<std::string> runs, clocks;  // the date of each run, its row's last for the rest
    const bool recorded = Says(row, "recorded"), reader = Says(row, "profile-reader");
    for (const auto& [word, rest] : row.lines) {
        SetUp(word, rest);
        if (word == "run") runs.push_back(rest);
        if (word == "clock") clocks.push_back(rest);
        if (word == "fault") faults += Unescaped(rest) + "\n";
    }
    const bool swept = Swept(row);
    // Windows 95 unless the row names another: Wine's answers as that version, and faults.dll's.
    const std::string windows = LineOf(row, "windows").empty() ? "win95" : LineOf(row, "windows");
    for (const char* program : {"cvmaint.exe", "cvprobe.exe"}) SetWineVersion(program, windows);
    g_paths.directory = LineOf(row, "directory").empty() ? "C:\\" : LineOf(row, "directory");
    if (clocks.empty()) clocks.push_back("2000-02-29");
    const std::string play = "windows " + windows + "\n" + faults;
    const int together = std::atoi(LineOf(row, "together").c_str());
    Check(!runs.empty(), "the row runs a program");
    Check(!swept || (runs.size() == 1 && recorded && together < 2), "scenarios.txt: [" + row.name + "] is swept: one run, recorded");
    Check(play.size() < 2048, "scenarios.txt: [" + row.name + "] holds more lines than faults.dll reads");
    const Sections sections = reader ? ReadSections(Wininit()) : Sections();
    before = TakeSnapshot();
    HANDLE hold = nullptr, lock = nullptr;
    bool held = false;  // the lock, not abandoned
    for (const auto& [word, rest] : row.lines) {
        if (word == "hold") hold = Hold(rest);
        if (word == "lock") lock = TakeLock(rest), held = Before(rest, " ") == "held";
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        // run PROGRAM [ARGUMENTS]: cvmaint, cvprobe, or a path, in quotes where it holds a blank
        const std::string& line = runs[i], played = "clock " + clocks[std::min(i, clocks.size() - 1)] + "\n" + play;
        const size_t end = line[0] == '"' ? line.find('"', 1) + 1 : std::min(line.find(' '), line.size());
        const std::string name = Unescaped(line[0] == '"' ? line.substr(1, end - 2) : line.substr(0, end));
        const std::string exe = name == "cvmaint" ? g_paths.maint : name == "cvprobe" ? g_paths.probe : name;
        const std::string commandLine =
            "\"" + exe + "\"" + (end < line.size() ? " " + Unescaped(line.substr(end + 1)) : "");
        std::vector<Run> done(1);
        std::string record;
        const DWORD start = GetTickCount();
        // The error mode a parent hands on: the row's (hex), or for a recorded run no open-file and no fault boxes.
        const std::string mode = LineOf(row, "error-mode");
        const UINT givenMode = !mode.empty() ? std::stoul(mode, nullptr, 16) : recorded ? SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX : 0;
        if (together > 1) done = RunPrograms(exe, commandLine, together, played);
        else record = RunTraced(exe, commandLine, givenMode, done[0], played + (swept ? "count\n" : ""), recorded);
        AwaitStarted();
        // How long is no proof of an abandoned lock taken at once (a run may take 5 s on a busy
        // machine): the wait's answer among the calls is.
        Check(!held || GetTickCount() - start >= 5000, "a lock held is waited for 5 s");
        if (i + 1 == runs.size() && hold) CloseHandle(hold);
        const Snapshot after = TakeSnapshot();
        outcome += "\n$ " + Escaped(commandLine);
        outcome += together > 1 ? " (" + std::to_string(together) + " at once)\n" : "\n";
        for (const Run& run : done) {
            outcome += "exit code " + std::to_string(run.exitCode) + "\n";
            for (const Box& box : run.boxes) outcome += BoxText(box);
        }
        const std::string changes = Changes(before, after, [](const Entry& e) { return Shown(e.data); });
        outcome += changes.empty() ? "nothing changed\n" : changes;
        // The heap calls counted for a sweep are left out: each compiler's program makes its own number.
        const std::string calls = std::regex_replace(record, std::regex("counted: [^\n]*\n"), "");
        outcome += (recorded ? "calls:\n" : "") + std::regex_replace(calls, std::regex("(^|\n)(?=.)"), "$1  ");
        if (swept) sweep = Sweep(row, exe, commandLine, played, record, done[0], before, after);
        before = after;
    }
    if (lock) ReleaseMutex(lock), CloseHandle(lock);
    if (reader) CheckReaderAgrees(sections);
    for (const auto& [word, rest] : row.lines) {  // FUNCTION [of NAME] ...: "played: FUNCTION [of NAME],"
        const std::string of = After(rest, " of ");
        const std::string told = Before(rest, " ") + (Has(rest, " of ") ? " of " + Before(of, " ") : "") + ",";
        Check(word != "fault" || Has(outcome, ("played: " + told).c_str()),
              "scenarios.txt: [" + row.name + "] fault " + rest + ": played in no run");
    }
    return outcome;
}

}  // namespace

void RunScenarios() {
    const std::string only = Environment("CV_ROW", "");
    const std::string drawn = DrawnDirectory(), table = BytesOr(BesideRig("scenarios.txt"), "");
    BeginCase("scenarios.txt");
    Check(!drawn.empty(), "CV_DRAWN names where the outcomes go");
    const std::vector<Scenario> rows = ReadScenarios(table);
    Check(only.empty() || std::any_of(rows.begin(), rows.end(), [&](const Scenario& row) { return row.name == only; }),
          "CV_ROW names no row of scenarios.txt: " + only);
    ResetMachine();
    // UNINSTALL asks the system to write out its cached copy of WININIT.INI first; where the
    // system holds none, the request must not create the file.
    Check(!Exists(Wininit()), "no WININIT.INI to begin with");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Wininit().c_str());
    Check(!Exists(Wininit()), "the system's profile cache flushed for a missing file creates none");
    const Snapshot base = TakeSnapshot();
    for (size_t i = 0; i < rows.size(); ++i) {
        const Scenario& row = rows[i];
        // A swept row runs in every share, each making its part of the sweep; the outcome is one share's.
        const bool ours = Ours(i);
        const bool locale = LineOf(row, "locale") == Environment("CV_LOCALE", "");  // run-wine.sh runs each locale's rows apart
        if ((!only.empty() && row.name != only) || (!ours && !Swept(row)) || !locale) continue;
        BeginCase(row.name + ": " + row.what);
        // rounds N: played N times from the same machine, each round's outcome the same.
        std::string first;
        for (int round = 1; round <= std::max(1, std::atoi(LineOf(row, "rounds").c_str())); ++round) {
            Snapshot left;
            std::string sweep;
            const std::string outcome = RunRow(row, left, sweep);
            if (Swept(row)) WriteBytes(drawn + row.name + ".sweep", sweep);
            Restore(base, left);
            const std::string back =
                Changes(base, TakeSnapshot(), [](const Entry& e) { return Escaped(e.data); }, false);
            Check(back.empty(), "the machine put back as it was:\n" + back);
            if (round == 1) first = outcome;
            else CheckEqual(outcome, first, "round " + std::to_string(round) + " as the first");
        }
        if (ours) WriteBytes(drawn + row.name + ".txt", first);
    }
}
