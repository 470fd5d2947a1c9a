// The end-to-end rig: starting programs, reading their boxes, registry and file helpers.
#include "rig.h"
#include <shlwapi.h>
#include "snapshot.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <regex>
#include <sstream>

Paths g_paths;

namespace {
int g_passed = 0;
int g_failed = 0;
std::string g_case;

// The pixels, `bits` a pixel, rows from the bottom, that `paint` draws into a w x h bitmap
// compatible with `source`.
std::string Pixels(HDC source, int w, int h, const std::function<void(HDC)>& paint, WORD bits = 32) {
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    paint(memory);
    SelectObject(memory, old);
    BITMAPINFO request = {};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = w;
    request.bmiHeader.biHeight = h;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = bits;
    request.bmiHeader.biCompression = BI_RGB;
    std::string pixels(static_cast<size_t>((w * bits + 31) / 32 * 4) * h, '\0');
    GetDIBits(memory, bitmap, 0, h, &pixels[0], &request, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

// Which standard icon the box's icon control shows, judged by its pixels on the screen:
// the icon belongs to the other process, so its handle cannot be looked into from here.
LPCSTR ShownStandardIcon(HWND control) {
    RECT area;
    GetClientRect(control, &area);
    const int w = area.right, h = area.bottom;
    if (w <= 0 || h <= 0) return nullptr;
    POINT origin = {0, 0};
    ClientToScreen(control, &origin);
    const std::string shown = ScreenPixels(origin.x, origin.y, w, h, 32);
    HDC screen = GetDC(nullptr);
    const COLORREF background = GetPixel(screen, origin.x, origin.y);
    LPCSTR best = nullptr;
    size_t bestDifference = shown.size();
    for (LPCSTR candidate : {IDI_HAND, IDI_EXCLAMATION, IDI_ASTERISK, IDI_QUESTION}) {
        const std::string drawn = Pixels(screen, w, h, [&](HDC memory) {
            HBRUSH brush = CreateSolidBrush(background);
            RECT all = {0, 0, w, h};
            FillRect(memory, &all, brush);
            DeleteObject(brush);
            DrawIconEx(memory, 0, 0, LoadIconA(nullptr, candidate), 0, 0, 0, nullptr, DI_NORMAL);
        });
        size_t difference = 0;
        for (size_t i = 0; i < shown.size(); ++i) difference += (i % 4 != 3) && shown[i] != drawn[i];
        if (difference < bestDifference) {
            bestDifference = difference;
            best = candidate;
        }
    }
    ReleaseDC(nullptr, screen);
    return bestDifference * 10 < shown.size() ? best : nullptr;
}

HWND IconControl(HWND box) {
    for (int id : {0x14, 0x440}) {
        HWND control = GetDlgItem(box, id);
        if (control && IsWindowVisible(control) && SendMessageA(control, STM_GETICON, 0, 0)) return control;
    }
    return nullptr;
}

Box ReadBox(HWND hwnd) {
    Box box;
    box.window = hwnd;
    char buffer[4096] = {};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    box.caption = buffer;
    buffer[0] = 0;
    GetDlgItemTextA(hwnd, 0xFFFF, buffer, sizeof buffer);
    box.text = buffer;
    HWND icon = IconControl(hwnd);
    box.hasIcon = icon != nullptr;
    // The icon may be drawn a moment after the box shows, on a machine under load.
    LPCSTR shown = nullptr;
    for (int i = 0; icon && i < 40 && !(shown = ShownStandardIcon(icon)); ++i) Sleep(50);
    box.errorIcon = shown == IDI_HAND;
    box.owned = GetWindow(hwnd, GW_OWNER) != nullptr;
    for (int id = IDOK; id <= 11; ++id) {
        HWND button = GetDlgItem(hwnd, id);
        if (button && IsWindowVisible(button)) box.buttons.push_back(id);
    }
    return box;
}
}  // namespace

std::string ScreenPixels(int x, int y, int w, int h, WORD bits) {
    HDC screen = GetDC(nullptr);
    const std::string pixels =
        Pixels(screen, w, h, [&](HDC memory) { BitBlt(memory, 0, 0, w, h, screen, x, y, SRCCOPY); }, bits);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Stops at the first visible message box of the process search->first, found into search->second.
static BOOL CALLBACK FindBox(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<std::pair<DWORD, HWND>*>(param);
    DWORD owner = 0;
    char name[64] = {};
    GetWindowThreadProcessId(hwnd, &owner);
    GetClassNameA(hwnd, name, sizeof name);
    const bool found = owner == search->first && std::string(name) == "#32770" && IsWindowVisible(hwnd);
    if (found) search->second = hwnd;
    return !found;
}

// Every top-level window walked: Wine 10's FindWindowEx can hang at a box closing elsewhere.
HWND FindMessageBox(DWORD pid) {
    std::pair<DWORD, HWND> search{pid, nullptr};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// Runs `routine` with `argument` on a thread of its own in the suspended `process` (the
// system's DLLs lie alike in every process); false when it did not run. `result` is its answer.
static bool RunInside(const PROCESS_INFORMATION& process, const void* routine, void* argument, DWORD& result) {
    HANDLE thread = CreateRemoteThread(process.hProcess, nullptr, 0,
        reinterpret_cast<LPTHREAD_START_ROUTINE>(const_cast<void*>(routine)), argument, 0, nullptr);
    const bool ran =
        thread && WaitForSingleObject(thread, 60000) == WAIT_OBJECT_0 && GetExitCodeThread(thread, &result);
    if (thread) CloseHandle(thread);
    return ran;
}

// Every program started suspended, and each program it starts in turn, is held in one job, so
// that the rig can wait for what a run started: nobody else waits for it.
static HANDLE Job() {
    static HANDLE job = CreateJobObjectA(nullptr, nullptr);
    return job;
}

void AwaitStarted() {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION held = {};
    for (int waited = 0; waited < 10000 && QueryInformationJobObject(Job(), JobObjectBasicAccountingInformation, &held,
                                                                     sizeof held, nullptr) && held.ActiveProcesses;
         waited += 20)
        Sleep(20);
}

bool StartProcess(const std::string& exe, const std::string& commandLine, const std::string& directory,
                  PROCESS_INFORMATION& process, UINT givenMode, const std::string& play) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    process = {};
    std::string line = commandLine;
    if (!play.empty()) SetEnvironmentVariableA("CV_PLAY", play.c_str());  // for faults.dll, which takes it away
    const bool started = CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE,
                                        givenMode || !play.empty() ? CREATE_SUSPENDED : 0, nullptr,
                                        directory.c_str(), &startup, &process);
    SetEnvironmentVariableA("CV_PLAY", nullptr);
    if (!started) {
        Check(false, "could not start " + exe);
        return false;
    }
    // Before the program's first instruction: the job, the library that plays the row's
    // answers, and the error mode a parent would hand on (Wine hands none on).
    if (givenMode || !play.empty()) Check(AssignProcessToJobObject(Job(), process.hProcess), "the job holds " + exe);
    DWORD result = 0;
    if (!play.empty()) {  // faults.dll, beside this program
        const std::string path = BesideRig("faults.dll");
        void* remote = VirtualAllocEx(process.hProcess, nullptr, path.size() + 1, MEM_COMMIT, PAGE_READWRITE);
        Check(remote && WriteProcessMemory(process.hProcess, remote, path.c_str(), path.size() + 1, nullptr) &&
                  RunInside(process, reinterpret_cast<void*>(&LoadLibraryA), remote, result) && result,
              "faults.dll put into " + exe);
    }
    if (givenMode)
        Check(RunInside(process, reinterpret_cast<void*>(&SetErrorMode),
                        reinterpret_cast<void*>(static_cast<UINT_PTR>(givenMode)), result),
              "error mode given to " + exe);
    if (givenMode || !play.empty()) ResumeThread(process.hThread);
    return true;
}

std::vector<Run> RunPrograms(const std::string& exe, const std::string& commandLine, int count,
                             const std::string& play, UINT givenMode, const std::function<void(const Box&)>& onBox) {
    std::vector<PROCESS_INFORMATION> processes(count);
    std::vector<Run> runs(count);
    for (int i = 0; i < count; ++i) StartProcess(exe, commandLine, g_paths.directory, processes[i], givenMode, play);
    const DWORD start = GetTickCount();
    for (;;) {
        std::vector<std::pair<int, HWND>> going;  // each run not ended, and the box it shows, if any
        for (int i = 0; i < count; ++i)
            if (processes[i].hProcess && WaitForSingleObject(processes[i].hProcess, 0) == WAIT_TIMEOUT)
                going.emplace_back(i, FindMessageBox(processes[i].dwProcessId));
        if (going.empty()) break;
        if (GetTickCount() - start > 60000) {  // far more than a run takes, on a busy machine too
            for (const auto& [i, box] : going)
                TerminateProcess(processes[i].hProcess, 99), WaitForSingleObject(processes[i].hProcess, 5000);
            Check(false, "program hung: " + commandLine);
            break;
        }
        if (!std::all_of(going.begin(), going.end(), [](const std::pair<int, HWND>& run) { return run.second; })) {
            WaitForSingleObject(processes[going.front().first].hProcess, 50);  // or less, where it ends
            continue;
        }
        // Each run not ended shows a box: all are read, then all answered in the same moment.
        Sleep(100);  // let the boxes finish laying themselves out
        for (const auto& [i, box] : going) {
            runs[i].boxes.push_back(ReadBox(box));
            if (onBox) onBox(runs[i].boxes.back());
        }
        for (const auto& [i, box] : going) PostMessageA(box, WM_COMMAND, IDOK, 0);
        for (const auto& [i, box] : going)
            for (int k = 0; k < 100 && IsWindow(box) && IsWindowVisible(box); ++k) Sleep(20);
    }
    for (int i = 0; i < count; ++i) {
        runs[i].pid = processes[i].dwProcessId;  // all zero where it did not start
        if (!processes[i].hProcess) continue;
        GetExitCodeProcess(processes[i].hProcess, &runs[i].exitCode);
        CloseHandle(processes[i].hThread);
        CloseHandle(processes[i].hProcess);
    }
    return runs;
}

// ---- Wine's trace --------------------------------------------------------------------------
const std::map<std::string, std::string>& CallLines() {
    static std::map<std::string, std::string> lines;
    std::istringstream table(lines.empty() ? BytesOr(BesideRig("traced-calls.txt"), "") : "");
    for (std::string line; std::getline(table, line);) {
        const size_t cut = line.find_first_of("( ");
        if (!line.empty() && line[0] != '#') lines[line.substr(0, cut)] = line.substr(cut);
    }
    return lines;
}

namespace {
// A failure text with its code address (" at 00401234.") written as " at (code address).",
// the same whatever the compiler placed where.
std::string WithoutCodeAddress(const std::string& text) {
    return std::regex_replace(text, std::regex(" at [0-9A-Fa-f]{8}\\."), " at (code address).");
}

// What a record writes for what differs from run to run.
struct Names {
    std::map<std::string, int> handles;  // an open handle as Wine prints it: its number
    int opened = 0;
    std::vector<std::string> made;  // the numbers the system made up, in order, in hex

    // h1, h2... in the order handles first appear; one closed and its value given again is a new one.
    std::string Handle(const std::string& value) {
        if (value == "00000000" || value == "ffffffff" || value >= "80000000") return value;
        if (!handles.count(value)) handles[value] = ++opened;
        return "h" + std::to_string(handles[value]);
    }

    // A string as Wine prints it, with a name made of a made-up number ("cvw2a.tmp") and the
    // code address in a failure text (" at 00401234.") written as they do not vary.
    std::string InString(std::string text) const {
        for (size_t i = 0; i < made.size(); ++i)
            text = std::regex_replace(text, std::regex(made[i] + "\\.tmp", std::regex::icase),
                                      "(u" + std::to_string(i + 1) + ").tmp");
        return WithoutCodeAddress(text);
    }

    std::string Write(char kind, const std::string& value) {
        if (value.find('"') != std::string::npos) return InString(value.substr(value.find('"')));
        if (kind == 'u' && value != "00000000") {  // 0: none was made
            made.push_back(value.substr(value.find_first_not_of('0')));
            return "u" + std::to_string(made.size());
        }
        if (kind == 'p') return value == "00000000" ? value : "&";
        return kind == 'h' || kind == 'c' ? Handle(value) : value;
    }
};

// A call's arguments as Wine prints them: numbers, and strings as their address, a blank and
// their text in quotes (escaped; "..." after one cut short).
std::vector<std::string> Arguments(const std::string& list) {
    std::vector<std::string> arguments(!list.empty());
    bool quoted = false;
    for (size_t at = 0; at < list.size(); ++at) {
        if (list[at] == ',' && !quoted) arguments.emplace_back();
        else arguments.back() += list[at];
        if (quoted && list[at] == '\\' && at + 1 < list.size()) arguments.back() += list[++at];
        else if (list[at] == '"') quoted = !quoted;
    }
    return arguments;
}

// The record of process `pid` in Wine's trace `text` ("pid:thread:Call DLL.Function(...) ret=...",
// "pid:thread:Ret  DLL.Function() retval=... ret=..."): a line "Function(argument,...) = result"
// a call the program itself made, returning into its code (which lies at 0x00400000, the image
// base, within 64 KiB; the system's own calls return elsewhere), and under ShellExecuteExA the
// shell's own account of what it was asked.
std::string RecordOf(const std::string& text, DWORD pid) {
    static const std::string request = "trace:exec:SHELL_execute ";
    char own[16];
    std::snprintf(own, sizeof own, "%04lx:", pid);
    std::string record, letters, closed, asked;  // the last three of the call under way
    Names names;
    std::istringstream trace(text);
    for (std::string line; std::getline(trace, line);) {
        const size_t colon = line.find(':', std::strlen(own)), open = line.find('('), dot = line.find('.');
        if (line.rfind(own, 0) != 0 || colon == std::string::npos) continue;
        const std::string kind = line.substr(colon + 1, 5), name = line.substr(dot + 1, open - dot - 1);
        // The calls the program makes through faults.dll (at 0x10000000) are its own too.
        const std::string returnsTo = line.substr(line.rfind(" ret=") + 5, 4);
        const bool ours = dot < open && (returnsTo == "0040" || returnsTo == "1000");
        const size_t told = line.find(":OutputDebugStringA \"");  // what faults.dll played or counted, as it tells it
        if (told != std::string::npos) record += line.substr(told + 21, line.rfind('"') - told - 21) + "\n";
        if (kind == "Call " && ours) {
            // "(hsn) n": a kind letter for each argument and one for the result, "-" to leave it out
            letters = CallLines().count(name) ? CallLines().at(name) : "";
            letters = letters.substr(0, letters.find(' ', letters.find(')') + 2));
            closed = asked = "";
            if (!letters.empty() && letters.back() == '-') continue;
            const std::vector<std::string> arguments =
                Arguments(line.substr(open + 1, line.rfind(") ret=") - open - 1));
            Check(letters.size() == arguments.size() + 4, "traced-calls.txt gives each argument of " + line);
            for (size_t i = 0; i < arguments.size(); ++i) {
                const char letter = i + 1 < letters.size() ? letters[i + 1] : 'n';
                record += (i ? "," : name + "(") + names.Write(letter, arguments[i]);
                if (letter == 'c') closed = arguments[i];
            }
            record += arguments.empty() ? name + "()" : ")";
            if (letters.empty() || letters.back() == 'v') record += "\n";
        } else if (kind == "Ret  " && ours && !letters.empty() && letters.back() != '-' && letters.back() != 'v') {
            record += " = " + names.Write(letters.back(), line.substr(line.find("retval=") + 7, 8)) + "\n" + asked;
            names.handles.erase(closed);
        } else if (line.compare(colon + 1, request.size() + 5, request + "mask=") == 0) {
            asked = line.substr(colon + 1 + request.size());
            std::string hwnd = asked.substr(asked.find("hwnd=") + 5, 8);
            std::transform(hwnd.begin(), hwnd.end(), hwnd.begin(), ::tolower);  // printed as %p here
            asked = "  the shell was asked: " + asked.replace(asked.find("hwnd=") + 5, 8, names.Handle(hwnd)) + "\n";
        }
    }
    return record;
}
}  // namespace

std::string RunTraced(const std::string& exe, const std::string& commandLine, UINT givenMode, Run& run,
                      const std::string& play, bool relay) {
    char trace[MAX_PATH] = {}, debug[256] = {};
    Check(GetEnvironmentVariableA("CV_TRACE", trace, sizeof trace) > 0, "run-wine.sh names the trace file");
    // The calls of the programs under test alone; the prefix's list of modules to leave out
    // would take precedence.
    DeleteValue("Software\\Wine\\Debug", "RelayFromExclude", HKEY_CURRENT_USER);
    SetString("Software\\Wine\\Debug", "RelayFromInclude", "cvmaint.exe;cvprobe.exe", REG_SZ, HKEY_CURRENT_USER);
    GetEnvironmentVariableA("WINEDEBUG", debug, sizeof debug);
    // For the program alone: what faults.dll played comes on the debug channel.
    SetEnvironmentVariableA("WINEDEBUG", relay ? "+pid,+relay,+exec,+debugstr" : "+pid,+debugstr");
    run = RunPrograms(exe, commandLine, 1, play, givenMode)[0];
    SetEnvironmentVariableA("WINEDEBUG", debug);
    static size_t read = 0;  // how much of the trace the runs before took
    const std::string text = BytesOr(trace, "");
    const std::string record = RecordOf(text.substr(std::min(read, text.size())), run.pid);
    read = text.size();
    return record;
}

std::string BoxText(const Box& box) {
    const char* names[] = {"", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No", "", "", "Try Again",
                           "Continue"};
    std::string buttons;
    for (int id : box.buttons) buttons += std::string(buttons.empty() ? "" : " ") + names[id];
    return "box \"" + box.caption + "\", " + (box.errorIcon ? "error icon" : box.hasIcon ? "an icon" : "no icon") +
           ", buttons " + buttons + ", " + (box.owned ? "owned" : "no owner") + "\n  " +
           Escaped(WithoutCodeAddress(box.text)) + "\n";
}

std::string BesideRig(const std::string& name) {
    char self[MAX_PATH];
    const std::string rig(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
    return rig.substr(0, rig.rfind('\\') + 1) + name;
}

std::string DrawnDirectory() {
    char directory[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("CV_DRAWN", directory, sizeof directory);
    return length > 0 && length < sizeof directory ? std::string(directory) + "\\" : std::string();
}

void BeginCase(const std::string& name) {
    g_case = name;
    std::printf("case %s\n", name.c_str());
    std::fflush(stdout);
}

void Check(bool condition, const std::string& what) {
    if (condition) {
        ++g_passed;
        return;
    }
    ++g_failed;
    std::printf("  FAIL [%s] %s\n", g_case.c_str(), what.c_str());
    std::fflush(stdout);
}

void CheckEqual(const std::string& actual, const std::string& expected, const std::string& what) {
    Check(actual == expected, what + ": got \"" + Escaped(actual) + "\", expected \"" + Escaped(expected) + "\"");
}

int FinishAll() {
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    std::fflush(stdout);
    return g_failed == 0 && g_passed > 0 ? 0 : 1;  // a run that checked nothing has failed too
}

// ---- Registry ----------------------------------------------------------------------------
void SetBinary(const std::string& key, const std::string& name, const std::string& bytes, DWORD type, HKEY root) {
    HKEY k;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) != ERROR_SUCCESS) {
        Check(false, "cannot create key " + key);
        return;
    }
    RegSetValueExA(k, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(k);
}

void SetString(const std::string& key, const std::string& name, const std::string& value, DWORD type, HKEY root) {
    SetBinary(key, name, value + '\0', type, root);
}

void CreateKey(const std::string& key, HKEY root) {
    // The last name is made inside its parent, as DeleteTree deletes by name: Wine's calls
    // take no path from the root past 260 characters.
    const size_t cut = key.rfind('\\');
    HKEY parent = root, k;
    if (cut != std::string::npos && RegCreateKeyExA(root, key.substr(0, cut).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                    nullptr, &parent, nullptr) != ERROR_SUCCESS)
        return;
    if (RegCreateKeyExA(parent, key.substr(cut + 1).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) ==
        ERROR_SUCCESS)
        RegCloseKey(k);
    if (parent != root) RegCloseKey(parent);
}

void DeleteTree(const std::string& key, HKEY root) { SHDeleteKeyA(root, key.c_str()); }  // key by key, by name

void DeleteValue(const std::string& key, const std::string& name, HKEY root) {
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return;
    RegDeleteValueA(k, name.c_str());
    RegCloseKey(k);
}

// ---- Files -------------------------------------------------------------------------------
static void ClearReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path.c_str(), attributes == FILE_ATTRIBUTE_READONLY ? FILE_ATTRIBUTE_NORMAL
                                                                               : attributes & ~FILE_ATTRIBUTE_READONLY);
}
void WriteBytes(const std::string& path, const std::string& bytes) {
    ClearReadOnly(path);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        Check(false, "cannot write " + path);
        return;
    }
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

bool ReadBytes(const std::string& path, std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(h, nullptr), got = 0;
    bytes.assign(size, '\0');
    if (size) ReadFile(h, &bytes[0], size, &got, nullptr);
    bytes.resize(got);
    CloseHandle(h);
    return true;
}

std::string BytesOr(const std::string& path, const std::string& fallback) {
    std::string bytes;
    return ReadBytes(path, bytes) ? bytes : fallback;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Remove(const std::string& path) {
    ClearReadOnly(path);
    DeleteFileA(path.c_str());
}

void MakeDirs(const std::string& path) {
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

void ForEachEntry(const std::string& directory, const std::function<void(const WIN32_FIND_DATAA&)>& visit) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") visit(found);
    } while (FindNextFileA(h, &found));
    FindClose(h);
}

void RemoveTree(const std::string& path) {
    ForEachEntry(path, [&](const WIN32_FIND_DATAA& found) {
        const std::string child = path + "\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
        else Remove(child);
    });
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}


std::string WindowsDir() {
    char buffer[MAX_PATH];
    GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}

void SetWineVersion(const std::string& exeName, const std::string& version) {
    SetString("Software\\Wine\\AppDefaults\\" + exeName, "Version", version, REG_SZ, HKEY_CURRENT_USER);
}
