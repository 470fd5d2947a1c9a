// A test-only library that the rig loads into a program under test before its first
// instruction: it takes every import slot of the program that traced-calls.txt (beside it)
// names, answers each call there as a failing system would when the row asks (failing as that
// table says the call fails, falling short, answering a path), passes every other call on, and
// answers the clock with a fixed date. CV_PLAY says what, a line each: "clock YYYY-MM-DD", and
// the fault lines of scenarios.txt (its head gives their grammar). Each answer played is told
// on the debug channel ("played: ..."), where the rig finds it in Wine's trace. CV_PLAY is taken
// away again, so that what the program starts is started as it would be. The rig asks Refusal
// first whether a row's lines can be played.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shlwapi.h>
#include <utility>

namespace {

// An import, as a line of traced-calls.txt gives it: "NAME(KINDS) RESULT fails R [E] [zero N]
// [short N]", or "... cannot fail".
struct Import {
    char* name;
    char kinds[16];  // the kind of each argument, then of the result
    int arguments;
    bool fails, code;      // it can fail; by returning its error code, as the registry does
    DWORD result, error;   // what a failure returns, and leaves as the last error (0: none)
    int zero, shortens;    // argument numbers: the count a failure leaves 0, the size an answer cuts
    void* real;
};
Import g_imports[64];
int g_importCount;

struct Fault {
    const Import* import;
    const char *name, *answer;  // words of CV_PLAY
    char kind;  // 'f' fails (with `code` where `coded`), 's' falls short by `code` bytes, 'a' answers `answer`
    DWORD code;
    bool coded;
    int first, last, seen;
};
Fault g_faults[4];
int g_count;
SYSTEMTIME g_clock;
char g_refusal[128];  // why the lines read cannot be played, or empty
struct Opened {
    DWORD handle;
    char name[MAX_PATH];
};
Opened g_opened[32];  // the handles a call gave out, by what that call named

bool Same(const char* a, const char* b) { return lstrcmpiA(a, b) == 0; }

DWORD Number(const char* at, DWORD base = 10) {
    DWORD value = 0;
    for (;; ++at) {
        const DWORD digit = *at >= '0' && *at <= '9' ? *at - '0' : *at >= 'a' && *at <= 'f' ? *at - 'a' + 10 : 99;
        if (digit >= base) return value;
        value = value * base + digit;
    }
}

// Cuts the line at `at` into its words, in place, moves `at` past it and returns how many.
int Words(char*& at, char* (&w)[16]) {
    int n = 0;
    for (char* start = at; *at && *at != '\n'; ++at)
        if (*at == ' ' || *at == '\r') *at = 0;
        else if ((at == start || !at[-1]) && n < 15) w[n++] = at;
    if (*at) *at++ = 0;
    static char none[1];
    for (int i = n; i < 16; ++i) w[i] = none;
    return n;
}

const Import* Find(const char* name) {
    for (int i = 0; i < g_importCount; ++i)
        if (Same(g_imports[i].name, name)) return &g_imports[i];
    return nullptr;
}

void ReadImport(char* (&w)[16], int n) {
    char* open = StrChrA(w[0], '(');
    if (!open || *w[0] == '#' || g_importCount == 64) return;
    Import& f = g_imports[g_importCount++];
    f = Import{w[0], {}, static_cast<int>(StrChrA(open, ')') - open - 1), false, false, 0, 0, 0, 0, nullptr};
    *open = 0;
    lstrcpynA(f.kinds, open + 1, f.arguments + 1);
    f.kinds[f.arguments] = *w[1];
    for (int i = 2; i < n; ++i) {
        f.fails = f.fails || Same(w[i], "fails");
        if (Same(w[i], "fails")) f.code = Same(w[i + 1], "code"), f.result = Number(w[i + 1], 16);
        if (Same(w[i], "fails") && *w[i + 2] >= '0' && *w[i + 2] <= '9') f.error = Number(w[i + 2]);
        if (Same(w[i], "zero")) f.zero = static_cast<int>(Number(w[i + 1]));
        if (Same(w[i], "short")) f.shortens = static_cast<int>(Number(w[i + 1]));
    }
}

// Reads a line of CV_PLAY.
void ReadPlay(char* (&w)[16], int n) {
    const Import* f = Find(w[0]);
    if (Same(w[0], "clock")) {  // YYYY-MM-DD
        g_clock.wYear = static_cast<WORD>(Number(w[1]));
        g_clock.wMonth = static_cast<WORD>(Number(w[1] + 5));
        g_clock.wDay = static_cast<WORD>(Number(w[1] + 8));
        return;
    }
    if (!n) return;
    if (g_count == 4 || !f || !f->fails) {
        wsprintfA(g_refusal, g_count == 4 ? "more than 4 faults" : "no fault can name %s", w[0]);
        return;
    }
    Fault& p = g_faults[g_count++];
    p = Fault{f, "", "", 'f', 0, false, 1, 0x7fffffff, 0};
    for (int i = 1; i < n; ++i) {
        const char* value = w[i + 1];
        if (Same(w[i], "of")) p.name = value;
        if (Same(w[i], "call")) p.first = p.last = static_cast<int>(Number(value));
        if (Same(w[i], "call") && Same(w[i - 1], "from")) p.last = 0x7fffffff;
        if (Same(w[i], "with") || Same(w[i], "by")) p.code = Number(value), p.coded = true;
        if (Same(w[i], "short") || Same(w[i], "answers")) p.kind = w[i][0];
        if (Same(w[i], "answers")) p.answer = value;
    }
    if ((p.kind == 's' && !f->shortens) || (p.kind == 'a' && !Same(w[0], "GetModuleFileNameA")))
        wsprintfA(g_refusal, "%s cannot %s", w[0], p.kind == 's' ? "fall short" : "answer a path");
}

// What the call names: its first string, or the name of the first handle it is given.
const char* Subject(const Import& f, const DWORD* a) {
    for (int i = 0; i < f.arguments; ++i) {
        if (f.kinds[i] == 's' && a[i]) return reinterpret_cast<const char*>(a[i]);
        for (const Opened& o : g_opened)
            if ((f.kinds[i] == 'h' || f.kinds[i] == 'c') && a[i] && o.handle == a[i]) return o.name;
    }
    return "";
}

// The fault of `f` that this call, naming `subject`, plays, or null.
Fault* Playing(const Import& f, const char* subject) {
    for (int i = 0; i < g_count; ++i) {
        Fault& p = g_faults[i];
        if (p.import == &f && (!p.name[0] || StrStrIA(subject, p.name)) && ++p.seen >= p.first && p.seen <= p.last)
            return &p;
    }
    return nullptr;
}

// Tells what was played: `format` filled in with `values`.
template <class... Values>
void Tell(const char* function, const char* name, int seen, const char* format, Values... values) {
    char what[64], line[1100];  // as much as wsprintfA writes
    wsprintfA(what, format, values...);
    wsprintfA(line, "played: %s%s%s, call %d: %s", function, name[0] ? " of " : "", name, seen, what);
    OutputDebugStringA(line);
}

// Calls an import of `n` arguments with the arguments at `a`.
template <size_t> using Word = DWORD;
template <class> struct Pass;
template <size_t... I> struct Pass<std::index_sequence<I...>> {
    static DWORD Call(void* f, const DWORD* a) { return reinterpret_cast<DWORD(WINAPI*)(Word<I>...)>(f)(a[I]...); }
};
template <size_t... N> struct Passes {
    static constexpr DWORD (*call[])(void*, const DWORD*) = {Pass<std::make_index_sequence<N>>::Call...};
};
DWORD CallThrough(const Import& f, const DWORD* a) {
    return Passes<0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12>::call[f.arguments](f.real, a);
}

DWORD& Argument(DWORD* a, int number) { return *reinterpret_cast<DWORD*>(a[number - 1]); }

}  // namespace

extern "C" DWORD g_pops[64];  // the bytes of arguments each hooked import takes off the stack
DWORD g_pops[64];

// Hook i pushes i and goes on to Enter, which asks Answer(i, the arguments) and returns into
// the program as the import would, taking its arguments off the stack.
extern "C" DWORD Answer(int index, DWORD* a);
asm(".text\n_Enter:\n lea 8(%esp), %eax\n push %eax\n pushl 4(%esp)\n call _Answer\n add $8, %esp\n"
    " pop %ecx\n mov _g_pops(,%ecx,4), %ecx\n pop %edx\n add %ecx, %esp\n jmp *%edx\n"
    "_g_hooks:\n .set n, 0\n .rept 64\n .byte 0x68\n .long n\n .byte 0xe9\n .long _Enter - . - 4\n"
    " .set n, n + 1\n .endr\n");
extern "C" char g_hooks[];

DWORD Answer(int index, DWORD* a) {
    const Import& f = g_imports[index];
    const DWORD given = GetLastError();  // what the program left, which nothing here may change
    const char* subject = Subject(f, a);
    if (Same(f.name, "GetLocalTime")) {
        static int seen = 0;
        *reinterpret_cast<SYSTEMTIME*>(a[0]) = g_clock;
        Tell(f.name, "", ++seen, "%04u-%02u-%02u", g_clock.wYear, g_clock.wMonth, g_clock.wDay);
        return 0;
    }
    Fault* p = Playing(f, subject);
    if (p && p->kind == 'f') {
        const DWORD error = p->coded ? p->code : f.error;
        if (f.kinds[0] == 'c') CallThrough(f, a);  // the system frees a handle whatever its close reports
        if (Same(f.name, "HeapAlloc") && (a[1] & HEAP_GENERATE_EXCEPTIONS)) {  // asked to raise rather than answer
            Tell(f.name, p->name, p->seen, "raises STATUS_NO_MEMORY");
            RaiseException(STATUS_NO_MEMORY, 0, 0, nullptr);
        }
        if (f.zero && a[f.zero - 1]) Argument(a, f.zero) = 0;
        error ? Tell(f.name, p->name, p->seen, "fails with %lu", error) : Tell(f.name, p->name, p->seen, "fails");
        if (f.code) return error;
        SetLastError(error ? error : given);
        return f.result;
    }
    if (p && p->kind == 'a') {  // the path, cut to the room, the room given back when it does not fit
        lstrcpynA(reinterpret_cast<char*>(a[1]), p->answer, static_cast<int>(a[2]));
        const DWORD length = static_cast<DWORD>(lstrlenA(p->answer)), shown = length < a[2] ? length : a[2];
        Tell(f.name, p->name, p->seen, "%lu of %lu characters", shown, length);
        return shown;
    }
    const DWORD asked = f.shortens ? a[f.shortens - 1] : 0;
    if (p) a[f.shortens - 1] -= p->code < asked ? p->code : asked;  // moves fewer bytes, and says it succeeded
    SetLastError(given);
    const DWORD result = CallThrough(f, a), left = GetLastError();
    if (p) Tell(f.name, p->name, p->seen, "%lu of %lu bytes", Argument(a, f.zero), asked);
    for (Opened& o : g_opened)  // a handle given out is known by what its call named; a closed one is forgotten
        if (f.kinds[0] == 'c' && o.handle == a[0]) o.handle = 0;
    for (Opened& o : g_opened)
        if (f.kinds[f.arguments] == 'h' && result && result != DWORD(-1) && !o.handle) {
            o.handle = result;
            lstrcpynA(o.name, subject, MAX_PATH);
            break;
        }
    SetLastError(left);
    return result;
}

namespace {
char g_play[2048];   // CV_PLAY
char g_table[8192];  // traced-calls.txt

// Puts the hook of every import the table names in the program's import slot, keeping what was there.
void Patch() {
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); dll->Name; ++dll) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slots = reinterpret_cast<void**>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            const Import* f = IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ? nullptr
                : Find(reinterpret_cast<char*>(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name));
            if (!f) continue;
            const int i = static_cast<int>(f - g_imports);
            g_imports[i].real = *slots;
            g_pops[i] = 4 * static_cast<DWORD>(f->arguments);
            *slots = g_hooks + 10 * i;
        }
    }
}

// Reads every line of `text` into `read`.
void ReadLines(char* text, void (*read)(char* (&)[16], int)) {
    char* w[16];
    for (char* at = text; *at;) {
        const int n = Words(at, w);
        read(w, n);
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

// Why `play` cannot be played as it stands (too long, a fault too many, a call that cannot
// fail so), or empty.
extern "C" __declspec(dllexport) const char* Refusal(const char* play) {
    static char copy[sizeof g_play];
    g_count = 0;
    g_refusal[0] = 0;
    if (lstrlenA(play) >= static_cast<int>(sizeof copy)) return "its lines are longer than faults.dll reads";
    ReadLines(lstrcpyA(copy, play), ReadPlay);
    return g_refusal;
}
