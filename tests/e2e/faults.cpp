// A test-only library that the rig loads into a program under test before its first
// instruction: it takes the program's import slots of the calls below, answers them as a
// failing system would, and the clock with a fixed date. CV_PLAY says what, a line each:
// "clock YYYY-MM-DD", and the fault lines of scenarios.txt (its head gives their grammar).
// Each answer played is told on the debug channel ("played: ..."), where the rig finds it in
// Wine's trace. CV_PLAY is taken away again, so that what the program starts is started as it
// would be. The rig asks Refusal first whether a row's lines can be played.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shlwapi.h>

namespace {

struct Fault {
    const char *function, *name, *answer;  // words of CV_PLAY
    char kind;  // 'f' fails with `code`, 's' falls short by `code` bytes, 'a' answers `answer`
    DWORD code;
    int first, last, seen;
    HANDLE files[8];  // the files opened under `name`
};
Fault g_faults[4];
int g_count;
SYSTEMTIME g_clock;
char g_refusal[128];  // why the lines read cannot be played, or empty
bool Hooked(const char* function);

bool Same(const char* a, const char* b) { return lstrcmpiA(a, b) == 0; }

bool Contains(const char* text, const char* part) { return StrStrIA(text, part) != nullptr; }

DWORD Digits(const char*& at) {
    DWORD value = 0;
    for (; *at >= '0' && *at <= '9'; ++at) value = value * 10 + (*at - '0');
    return value;
}

// Reads the line at `at`, its words cut apart in place, and moves `at` past it.
void ReadLine(char*& at) {
    const char* w[16] = {"", "", "", "", "", "", "", "", "", "", "", "", "", "", "", ""};
    int n = 0;
    for (char* start = at; *at && *at != '\n'; ++at)
        if (*at == ' ') *at = 0;
        else if ((at == start || !at[-1]) && n < 15) w[n++] = at;
    if (*at) *at++ = 0;
    if (Same(w[0], "clock")) {  // YYYY-MM-DD
        g_clock.wYear = static_cast<WORD>(Digits(w[1]));
        g_clock.wMonth = static_cast<WORD>(Digits(++w[1]));
        g_clock.wDay = static_cast<WORD>(Digits(++w[1]));
    } else if (n && (g_count == 4 || !Hooked(w[0]))) {
        wsprintfA(g_refusal, g_count == 4 ? "more than 4 faults" : "no fault can name %s", w[0]);
    } else if (n) {
        Fault& f = g_faults[g_count++];
        f = Fault{w[0], "", "", 'f', 0, 1, 0x7fffffff, 0, {}};
        for (int i = 1; i < n; ++i) {
            const char* value = w[i + 1];
            if (Same(w[i], "of")) f.name = value;
            if (Same(w[i], "call")) f.first = f.last = static_cast<int>(Digits(value));
            if (Same(w[i], "call") && Same(w[i - 1], "from")) f.last = 0x7fffffff;
            if (Same(w[i], "with") || Same(w[i], "by")) f.code = Digits(value);
            if (Same(w[i], "short") || Same(w[i], "answers")) f.kind = w[i][0];
            if (Same(w[i], "answers")) f.answer = value;
        }
    }
}

// The fault of `function` that this call, naming `subject` or on `file`, plays, or null.
Fault* Playing(const char* function, const char* subject, HANDLE file = nullptr) {
    for (int i = 0; i < g_count; ++i) {
        Fault& f = g_faults[i];
        bool named = !f.name[0] || (subject && Contains(subject, f.name));
        for (HANDLE held : f.files) named = named || (file && held == file);
        if (Same(f.function, function) && named && ++f.seen >= f.first && f.seen <= f.last) return &f;
    }
    return nullptr;
}

// Tells what `f` played: `format` filled in with `values`.
template <class... Values> void Tell(const Fault& f, const char* format, Values... values) {
    char what[64], line[1100];  // as much as wsprintfA writes
    wsprintfA(what, format, values...);
    wsprintfA(line, "played: %s%s%s, call %d: %s", f.function, f.name[0] ? " of " : "", f.name, f.seen, what);
    OutputDebugStringA(line);
}

template <class Result> Result Fails(const Fault& f, Result failed) {
    Tell(f, "fails with %lu", f.code);
    SetLastError(f.code);
    return failed;
}

struct Hook { const char* name; void* hook; void* real; };
extern Hook g_hooks[];

void* Real(const char* name) {
    for (Hook* h = g_hooks;; ++h)
        if (Same(h->name, name)) return h->real;
}
bool Hooked(const char* function) {  // by a fault: every hook but the last, the clock's
    for (Hook* h = g_hooks; h[1].name; ++h)
        if (Same(h->name, function)) return true;
    return false;
}
#define REAL(function) reinterpret_cast<decltype(&function)>(Real(#function))
// A hook that plays its fault, answering `failed`, or calls through: what the call names,
// and the open file it is on, choose the fault.
#define FAILING(Result, function, subject, file, failed, parameters, arguments)     \
    Result WINAPI On##function parameters {                                           \
        if (Fault* f = Playing(#function, subject, file)) return Fails(*f, failed); \
        return REAL(function) arguments;                                             \
    }
using P = LPDWORD;
FAILING(LONG, RegSetValueExA, n, nullptr, LONG(f->code), (HKEY k, LPCSTR n, DWORD r, DWORD t, const BYTE* d, DWORD s),
        (k, n, r, t, d, s))
FAILING(LONG, RegQueryValueExA, n, nullptr, LONG(f->code), (HKEY k, LPCSTR n, P r, P t, LPBYTE d, P s),
        (k, n, r, t, d, s))
FAILING(LONG, RegCreateKeyExA, n, nullptr, LONG(f->code),
        (HKEY k, LPCSTR n, DWORD r, LPSTR c, DWORD o, REGSAM a, LPSECURITY_ATTRIBUTES s, PHKEY h, P d),
        (k, n, r, c, o, a, s, h, d))
FAILING(LONG, RegEnumKeyExA, nullptr, nullptr, LONG(f->code), (HKEY k, DWORD i, LPSTR n, P l, P r, LPSTR c, P m,
        PFILETIME t), (k, i, n, l, r, c, m, t))
FAILING(LONG, RegQueryInfoKeyA, nullptr, nullptr, LONG(f->code), (HKEY k, LPSTR c, P l, P r, P s, P m, P x, P v, P w,
        P y, P z, PFILETIME t), (k, c, l, r, s, m, x, v, w, y, z, t))
FAILING(BOOL, FlushFileBuffers, nullptr, h, FALSE, (HANDLE h), (h))
FAILING(DWORD, SetFilePointer, nullptr, h, INVALID_SET_FILE_POINTER, (HANDLE h, LONG d, PLONG e, DWORD m), (h, d, e, m))
FAILING(UINT, GetTempFileNameA, d, nullptr, 0u, (LPCSTR d, LPCSTR p, UINT u, LPSTR n), (d, p, u, n))
FAILING(BOOL, MoveFileA, from, nullptr, FALSE, (LPCSTR from, LPCSTR to), (from, to))
FAILING(LPVOID, HeapAlloc, nullptr, nullptr, nullptr, (HANDLE h, DWORD fl, SIZE_T n), (h, fl, n))
FAILING(BOOL, GetVersionExA, nullptr, nullptr, FALSE, (LPOSVERSIONINFOA v), (v))
HANDLE WINAPI OnCreateFileA(LPCSTR n, DWORD a, DWORD s, LPSECURITY_ATTRIBUTES sa, DWORD c, DWORD fl, HANDLE t) {
    if (Fault* f = Playing("CreateFileA", n)) return Fails(*f, INVALID_HANDLE_VALUE);
    const HANDLE file = REAL(CreateFileA)(n, a, s, sa, c, fl, t);
    for (int i = 0; i < g_count; ++i)  // remembered under the name it was opened by
        for (int k = 0; g_faults[i].name[0] && Contains(n, g_faults[i].name) && k < 8; ++k)
            if (!g_faults[i].files[k]) g_faults[i].files[k] = file, k = 8;
    return file;
}
BOOL WINAPI OnCloseHandle(HANDLE h) {
    Fault* f = Playing("CloseHandle", nullptr, h);
    for (Fault& each : g_faults)
        for (HANDLE& held : each.files) held = held == h ? nullptr : held;
    return f ? Fails(*f, FALSE) : REAL(CloseHandle)(h);  // a failed close leaves the handle open
}
// Reads and writes fail, or move fewer bytes than asked and say they succeeded.
#define MOVING(function, Buffer)                                                           \
    BOOL WINAPI On##function(HANDLE h, Buffer b, DWORD n, LPDWORD done, LPOVERLAPPED o) { \
        Fault* f = Playing(#function, nullptr, h);                                         \
        if (f && f->kind == 'f') return Fails(*f, FALSE);                                  \
        const DWORD cut = f && f->kind == 's' ? (f->code < n ? f->code : n) : 0;           \
        const BOOL moved = REAL(function)(h, b, n - cut, done, o);                         \
        if (f) Tell(*f, "%lu of %lu bytes", *done, n);                                     \
        return moved;                                                                      \
    }
MOVING(WriteFile, LPCVOID)
MOVING(ReadFile, LPVOID)
// The answer the system gives for a path of the row's: cut to the room, and the room
// given back as its length when it does not fit.
DWORD WINAPI OnGetModuleFileNameA(HMODULE m, LPSTR b, DWORD n) {
    Fault* f = Playing("GetModuleFileNameA", nullptr);
    if (!f || f->kind != 'a') return f ? Fails(*f, 0ul) : REAL(GetModuleFileNameA)(m, b, n);
    lstrcpynA(b, f->answer, static_cast<int>(n));
    const DWORD length = static_cast<DWORD>(lstrlenA(f->answer)), given = length < n ? length : n;
    Tell(*f, "%lu of %lu characters", given, length);
    return given;
}
void WINAPI OnGetLocalTime(LPSYSTEMTIME now) {
    static Fault clock = {"GetLocalTime", "", "", 'a', 0, 1, 1, 0, {}};
    *now = g_clock;
    ++clock.seen;
    Tell(clock, "%04u-%02u-%02u", now->wYear, now->wMonth, now->wDay);
}

#define HOOK(function) {#function, reinterpret_cast<void*>(&On##function), nullptr}
// Every call a fault can name, then the clock.
Hook g_hooks[] = {HOOK(RegSetValueExA),   HOOK(RegQueryValueExA), HOOK(RegCreateKeyExA),    HOOK(RegEnumKeyExA),
                  HOOK(RegQueryInfoKeyA), HOOK(CreateFileA),      HOOK(CloseHandle),        HOOK(WriteFile),
                  HOOK(ReadFile),         HOOK(FlushFileBuffers), HOOK(SetFilePointer),     HOOK(GetTempFileNameA),
                  HOOK(MoveFileA),        HOOK(HeapAlloc),        HOOK(GetVersionExA),      HOOK(GetModuleFileNameA),
                  HOOK(GetLocalTime),       {}};

// Puts `hook` in the program's import slot of `function`, keeping what was there.
void Patch(Hook& hook) {
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); dll->Name; ++dll) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slots = reinterpret_cast<void**>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots)
            if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) &&
                Same(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, hook.name)) {
                hook.real = *slots;
                *slots = hook.hook;
            }
    }
}
}  // namespace

char g_play[2048];  // CV_PLAY

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH || !GetEnvironmentVariableA("CV_PLAY", g_play, sizeof g_play)) return TRUE;
    SetEnvironmentVariableA("CV_PLAY", nullptr);
    for (char* at = g_play; *at;) ReadLine(at);
    FILETIME day;  // the day of the week, from the date
    SystemTimeToFileTime(&g_clock, &day);
    FileTimeToSystemTime(&day, &g_clock);
    for (Hook* hook = g_hooks; hook->name; ++hook) Patch(*hook);
    return TRUE;
}

// Why `play` cannot be played as it stands (too long, a fault too many, a function not
// hooked), or empty.
extern "C" __declspec(dllexport) const char* Refusal(const char* play) {
    static char copy[sizeof g_play];
    g_count = 0;
    g_refusal[0] = 0;
    if (lstrlenA(play) >= static_cast<int>(sizeof copy)) return "its lines are longer than faults.dll reads";
    for (char* at = lstrcpyA(copy, play); *at && !g_refusal[0];) ReadLine(at);
    return g_refusal;
}

// The functions a fault can name, each followed by a blank.
extern "C" __declspec(dllexport) const char* FaultFunctions() {
    static char names[512];
    if (!names[0])
        for (Hook* h = g_hooks; h[1].name; ++h) lstrcatA(lstrcatA(names, h->name), " ");
    return names;
}
