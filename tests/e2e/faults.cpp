// A test-only library that the rig loads into a program under test before its first
// instruction: it takes each import slot of the program that traced-calls.txt (beside it)
// names, answers a call there as a failing system would where CV_PLAY asks (failing as that
// table says the call fails, falling short, answering a path), passes every other call on, and
// answers the clock with a fixed date. CV_PLAY holds a line each: "clock YYYY-MM-DD", "count",
// and the fault lines of scenarios.txt (its head gives their grammar). Each answer played is
// told on the debug channel ("played: ..."), and with "count" how often each call that Wine's
// trace leaves out was made ("counted: ..."), where the rig finds them in Wine's trace. CV_PLAY
// is taken away again, so that what the program starts is started as it would be. A fault that
// cannot be played so (more than four, a call that cannot fail so) never plays.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shlwapi.h>
#include <utility>

namespace {

// An import, as its line of traced-calls.txt has it: "NAME(KINDS) RESULT fails R [E] [zero N]
// [short N]" or "... cannot fail".
struct Import {
    char *name, kinds[16];  // the kind of each argument, then of the result
    int arguments, zero, shortens;  // argument numbers: the count a failure leaves 0, the size a short answer cuts
    int calls;
    bool fails, code;               // it can fail; by returning its error code, as the registry does
    DWORD result, error;            // what a failure returns and leaves as the last error (0: none)
    void* real;
};
Import g_imports[64];
int g_importCount;

struct Fault {
    const Import* import;
    const char *name, *answer;
    char kind;  // 'f' fails (with `code` where `coded`), 's' falls short by `code` bytes, 'a' answers `answer`
    bool coded;
    DWORD code;
    int first, last, seen;
};
Fault g_faults[4];
int g_count;
SYSTEMTIME g_clock;
bool g_counting;      // "count": at the end, how often each call the record leaves out was made
DWORD g_nine;         // "windows win95", "win98", "winme": 95, 98, 99 (Me); 0 for the NT family
struct Opened {
    DWORD handle;
    char name[MAX_PATH];
} g_opened[32];  // the handles calls gave out, by what those calls named

bool Same(const char* a, const char* b) { return lstrcmpiA(a, b) == 0; }

DWORD Number(const char* at, DWORD base = 10) {
    DWORD value = 0;
    for (DWORD digit; (digit = *at >= 'a' ? *at - 'a' + 10 : *at - '0') < base; ++at) value = value * base + digit;
    return value;
}

const Import* Find(const char* name) {
    for (int i = 0; i < g_importCount; ++i)
        if (Same(g_imports[i].name, name)) return &g_imports[i];
    return nullptr;
}

// Reads a line of traced-calls.txt, its words `w`.
void ReadImport(char** w, int n) {
    char* open = StrChrA(w[0], '(');
    if (!open || g_importCount == 64) return;
    Import& f = g_imports[g_importCount++];
    f = Import{w[0], {}, static_cast<int>(StrChrA(open, ')') - open - 1), 0, 0, 0, false, false, 0, 0, nullptr};
    *open = 0;
    lstrcpynA(f.kinds, open + 1, f.arguments + 1);
    f.kinds[f.arguments] = *w[1];
    for (int i = 2; i < n; ++i) {
        if (Same(w[i], "fails")) f.fails = true, f.code = Same(w[i + 1], "code"), f.result = Number(w[i + 1], 16);
        if (Same(w[i], "fails") && *w[i + 2] >= '0' && *w[i + 2] <= '9') f.error = Number(w[i + 2]);
        if (Same(w[i], "zero")) f.zero = static_cast<int>(Number(w[i + 1]));
        if (Same(w[i], "short")) f.shortens = static_cast<int>(Number(w[i + 1]));
    }
}

// Reads a line of CV_PLAY, its words `w`.
void ReadPlay(char** w, int n) {
    const Import* f = Find(w[0]);
    if (Same(w[0], "clock")) {  // YYYY-MM-DD
        g_clock = SYSTEMTIME{static_cast<WORD>(Number(w[1])), static_cast<WORD>(Number(w[1] + 5)), 0,
                             static_cast<WORD>(Number(w[1] + 8)), 0, 0, 0, 0};
    } else if (Same(w[0], "count")) {
        g_counting = true;
    } else if (Same(w[0], "windows")) {
        g_nine = Same(w[1], "win95") ? 95 : Same(w[1], "win98") ? 98 : Same(w[1], "winme") ? 99 : 0;
    } else if (n && g_count < 4 && f && f->fails) {  // any other never plays, which fails its row
        Fault& p = g_faults[g_count++];
        p = Fault{f, "", "", 'f', false, 0, 1, 0x7fffffff, 0};
        for (int i = 1; i < n; ++i) {
            if (Same(w[i], "of")) p.name = w[i + 1];
            if (Same(w[i], "call")) p.first = p.last = static_cast<int>(Number(w[i + 1]));
            if (Same(w[i], "call") && Same(w[i - 1], "from")) p.last = 0x7fffffff;
            if (Same(w[i], "with") || Same(w[i], "by")) p.code = Number(w[i + 1]), p.coded = true;
            if (Same(w[i], "short") || Same(w[i], "answers")) p.kind = w[i][0], p.answer = w[i + 1];
        }
        if ((p.kind == 's' && !f->shortens) || (p.kind == 'a' && !Same(w[0], "GetModuleFileNameA"))) --g_count;
    }
}

// Reads every line of `text`, its words cut apart in place, into `read`.
void ReadLines(char* text, void (*read)(char**, int)) {
    static char none[1];
    for (char* at = text; *at;) {
        char* w[16];
        int n = 0;
        for (char* start = at; *at && *at != '\n'; ++at)
            if (*at == ' ' || *at == '\r') *at = 0;
            else if ((at == start || !at[-1]) && n < 15) w[n++] = at;
        if (*at) *at++ = 0;
        for (int i = n; i < 16; ++i) w[i] = none;
        if (*w[0] != '#') read(w, n);
    }
}

// What a call names: its first string, or the name the first handle it is given was opened by.
const char* Subject(const Import& f, const DWORD* a) {
    for (int i = 0; i < f.arguments; ++i) {
        if (f.kinds[i] == 's' && a[i]) return reinterpret_cast<const char*>(a[i]);
        for (const Opened& o : g_opened)
            if ((f.kinds[i] == 'h' || f.kinds[i] == 'c') && a[i] && o.handle == a[i]) return o.name;
    }
    return "";
}

// The fault that this call of `f`, naming `subject`, plays, or null.
Fault* Playing(const Import& f, const char* subject) {
    for (Fault* p = g_faults; p < g_faults + g_count; ++p)
        if (p->import == &f && (!p->name[0] || StrStrIA(subject, p->name)) && ++p->seen >= p->first && p->seen <= p->last)
            return p;
    return nullptr;
}

// Tells what was played: `format` filled in with `values`.
template <class... Values> void Tell(const char* function, const char* name, int seen, const char* format, Values... values) {
    char what[64], line[1100];  // as much as wsprintfA writes
    wsprintfA(what, format, values...);
    wsprintfA(line, "played: %s%s%s, call %d: %s", function, name[0] ? " of " : "", name, seen, what);
    OutputDebugStringA(line);
}

// Calls the import `f` with the arguments at `a`.
template <size_t> using Word = DWORD;
template <class> struct Pass;
template <size_t... I> struct Pass<std::index_sequence<I...>> {
    static DWORD Call(void* f, const DWORD* a) { return reinterpret_cast<DWORD(WINAPI*)(Word<I>...)>(f)(a[I]...); }
};
template <size_t... N> constexpr DWORD (*kPasses[])(void*, const DWORD*) = {Pass<std::make_index_sequence<N>>::Call...};
DWORD CallThrough(const Import& f, const DWORD* a) {
    return kPasses<0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12>[f.arguments](f.real, a);
}
DWORD& Argument(DWORD* a, int number) { return *reinterpret_cast<DWORD*>(a[number - 1]); }

// Windows 95, 98 and Me where they answer otherwise than Wine (docs/win9x-answers.md): before
// the call, an answer of their own (true, in `result`) or the call as they make it; after it
// (`after`), Wine's `result` and last error `left` made theirs. A changed answer is told.
bool Nine(const Import& f, DWORD* a, bool after, DWORD given, DWORD& result, DWORD& left) {
    static DWORD room;        // the size RegQueryValueExA was given
    static char data[16384];  // more than a value holds there
    const auto is = [&](const char* name) { return g_nine && Same(f.name, name); };
    const auto told = [&](const char* what, auto... values) {
        return Tell(f.name, "", f.calls, what, g_nine == 99 ? "Me" : g_nine == 98 ? "98" : "95", values...), true;
    };
    const char* text = reinterpret_cast<const char*>(a[4]);
    if ((is("GetVersionExA") && !after && Argument(a, 1) != 148 && (g_nine == 95 || Argument(a, 1) != 156)) ||
        (is("GetTempFileNameA") && !after && !a[1] && g_nine < 99))
        return result = 0, told("as Windows %s: fails");
    if ((is("CreateFileA") && !after && (a[2] & FILE_SHARE_DELETE)) || (is("RegSetValueExA") && !after && a[3] == REG_SZ && !a[4] && !a[5]))
        return result = Same(f.name, "CreateFileA") ? (left = 87, ~0ul) : 87, told("as Windows %s: fails with 87");
    if (is("RegSetValueExA") && !after && a[3] == REG_SZ && g_nine == 95 && a[5] < sizeof data && (!a[5] || text[a[5] - 1]))
        lstrcpynA(data, text, static_cast<int>(a[5]) + 1), a[4] = DWORD(data), a[5] = DWORD(lstrlenA(data)) + 1;  // with its zero
    HKEY key;  // a key deleted with every key below it
    if (is("RegDeleteKeyA") && !after && g_nine < 99 && !RegOpenKeyExA(HKEY(a[0]), LPCSTR(a[1]), 0, KEY_ALL_ACCESS, &key)) {
        int gone = 0;
        for (; !RegEnumKeyA(key, 0, data, 256) && !SHDeleteKeyA(key, data); ++gone) {}
        RegCloseKey(key);
        if (gone) told("as Windows %s: %d keys below it deleted first", gone);
    }
    if (is("RegQueryValueExA") && !after) room = a[5] ? Argument(a, 6) : 0;
    if (is("RegQueryValueExA") && after && result == ERROR_FILE_NOT_FOUND) {  // no type, the size as given
        if (a[3]) Argument(a, 4) = 0;
        if (a[5]) Argument(a, 6) = room;
    }
    DWORD type = 0, size = sizeof data - 1;  // a string as long as to its first zero, and one
    if (is("RegQueryValueExA") && after && (!result || result == ERROR_MORE_DATA) && a[5] &&
        !RegQueryValueExA(HKEY(a[0]), LPCSTR(a[1]), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) && type == REG_SZ) {
        data[size] = 0;
        const DWORD length = DWORD(lstrlenA(data)) + 1, answer = a[4] && room < length ? ERROR_MORE_DATA : 0;
        if (answer == result && length == Argument(a, 6)) return false;
        if (a[4] && !answer) lstrcpynA(reinterpret_cast<char*>(a[4]), data, static_cast<int>(length));
        Argument(a, 6) = length, result = answer;
        told(answer ? "as Windows %s: %lu bytes, more than the room" : "as Windows %s: %lu bytes", length);
    }
    if ((is("CreateFileA") && after && result != ~0ul && a[4] == OPEN_EXISTING) || (is("WritePrivateProfileStringA") && after && !a[0]))
        left = given;
    if (is("GetModuleFileNameA") && after && a[2] && result == a[2])  // cut short: the room less one, ended
        reinterpret_cast<char*>(a[1])[a[2] - 1] = 0, result = a[2] - 1, told("as Windows %s: %lu characters", result);
    return false;
}

}  // namespace

// Hook i pushes i and goes on to Enter, which asks Answer(i, the arguments) and returns into
// the program as the import would, taking its arguments (g_pops[i] bytes) off the stack.
extern "C" DWORD g_pops[64], Answer(int index, DWORD* a);
extern "C" char g_hooks[];
DWORD g_pops[64];
asm(".text\n_Enter:\n lea 8(%esp), %eax\n push %eax\n pushl 4(%esp)\n call _Answer\n add $8, %esp\n"
    " pop %ecx\n mov _g_pops(,%ecx,4), %ecx\n pop %edx\n add %ecx, %esp\n jmp *%edx\n"
    "_g_hooks:\n .set n, 0\n .rept 64\n .byte 0x68\n .long n\n .byte 0xe9\n .long _Enter - . - 4\n"
    " .set n, n + 1\n .endr\n");

DWORD Answer(int index, DWORD* a) {
    const Import& f = g_imports[index];
    const DWORD given = GetLastError();  // what the program left there, which nothing here may change
    const char* subject = Subject(f, a);
    static int clocks = 0;
    if (Same(f.name, "GetLocalTime")) {
        *reinterpret_cast<SYSTEMTIME*>(a[0]) = g_clock;
        Tell(f.name, "", ++clocks, "%04u-%02u-%02u", g_clock.wYear, g_clock.wMonth, g_clock.wDay);
        return 0;
    }
    ++g_imports[index].calls;
    const bool ending = g_counting && Same(f.name, "ExitProcess");
    for (const Import* i = g_imports; ending && i < g_imports + g_importCount; ++i) {
        char line[96];
        wsprintfA(line, "counted: %s, %d calls", i->name, i->calls);
        if (i->fails && i->kinds[i->arguments] == '-') OutputDebugStringA(line);
    }
    Fault* p = Playing(f, subject);
    if (p && p->kind == 'f') {
        const DWORD error = p->coded ? p->code : f.error;
        if (f.kinds[0] == 'c') CallThrough(f, a);  // the system frees a handle whatever its close reports
        if (Same(f.name, "HeapAlloc") && (a[1] & HEAP_GENERATE_EXCEPTIONS)) {  // asked to raise, not to answer
            Tell(f.name, p->name, p->seen, "raises");
            RaiseException(STATUS_NO_MEMORY, 0, 0, nullptr);
        }
        if (f.zero && a[f.zero - 1]) Argument(a, f.zero) = 0;
        Tell(f.name, p->name, p->seen, error ? "fails with %lu" : "fails", error);
        SetLastError(error && !f.code ? error : given);
        return f.code ? error : f.result;
    }
    if (p && p->kind == 'a') {  // the path, cut to the room, the room given back when it does not fit
        lstrcpynA(reinterpret_cast<char*>(a[1]), p->answer, static_cast<int>(a[2]));
        const DWORD length = static_cast<DWORD>(lstrlenA(p->answer)), shown = length < a[2] ? length : a[2] - (g_nine && a[2]);
        Tell(f.name, p->name, p->seen, "%lu of %lu characters", shown, length);
        return shown;
    }
    const DWORD asked = f.shortens ? a[f.shortens - 1] : 0;
    if (p) a[f.shortens - 1] -= p->code < asked ? p->code : asked;  // moves fewer bytes, and says it succeeded
    DWORD result = 0, left = given;
    if (!p && Nine(f, a, false, given, result, left)) return SetLastError(left), result;
    SetLastError(given);
    result = CallThrough(f, a), left = GetLastError();
    if (!p) Nine(f, a, true, given, result, left);
    if (p) Tell(f.name, p->name, p->seen, "%lu of %lu bytes", Argument(a, f.zero), asked);
    for (Opened& o : g_opened)  // a closed handle is forgotten, one given out known by what its call named
        if (f.kinds[0] == 'c' && o.handle == a[0]) o.handle = 0;
    for (Opened* o = g_opened; f.kinds[f.arguments] == 'h' && result + 1 > 1 && o < g_opened + 32; ++o)
        if (!o->handle) o->handle = result, lstrcpynA(o->name, subject, MAX_PATH), o = g_opened + 32;
    SetLastError(left);
    return result;
}

namespace {
char g_play[2048], g_table[8192];  // CV_PLAY, traced-calls.txt

// Puts the hook of every import the table names in the program's import slot, keeping what was there.
void Patch() {
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); dll->Name; ++dll) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slots = reinterpret_cast<void**>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            const auto* named = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            const Import* f = IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ? nullptr : Find(reinterpret_cast<const char*>(named->Name));
            if (!f) continue;
            g_imports[f - g_imports].real = *slots;
            g_pops[f - g_imports] = 4 * static_cast<DWORD>(f->arguments);
            *slots = g_hooks + 10 * (f - g_imports);
        }
    }
}
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH];
    GetModuleFileNameA(self, path, MAX_PATH);
    lstrcpyA(StrRChrA(path, nullptr, '\\') + 1, "traced-calls.txt");
    HANDLE table = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD got = 0;
    ReadFile(table, g_table, sizeof g_table - 1, &got, nullptr);
    CloseHandle(table);
    ReadLines(g_table, ReadImport);
    if (!GetEnvironmentVariableA("CV_PLAY", g_play, sizeof g_play)) return TRUE;
    SetEnvironmentVariableA("CV_PLAY", nullptr);
    ReadLines(g_play, ReadPlay);
    FILETIME day;  // the day of the week, from the date
    SystemTimeToFileTime(&g_clock, &day);
    FileTimeToSystemTime(&day, &g_clock);
    Patch();
    return TRUE;
}

