// The report of a failure that no command handles: the task-modal "Application Error" box,
// then the end of the process.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "../core/text.h"
#include "win32.h"

static bool g_failing = false;

[[noreturn]] static void ReportFailure(FailKind kind, const Str& message, std::uint32_t address) {
    if (g_failing) ExitProcess(1);  // a failure while reporting one: end without a second box
    g_failing = true;
    const Str path = ModuleFileName();
    const char* module = path.c_str() + EndOfLastSeparator(path, "\\:", IsCodePageLeadByte);
    const Str text = FailureText(FailKindName(kind), module, address, message);
    MessageBoxA(nullptr, text.c_str(), "Application Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(1);
}

void Fail(FailKind kind, const Str& message) {
    ReportFailure(kind, message, reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)));
}

void FailFile(unsigned long code) {
    ReportFailure(FailKind::File, FileErrorText(code), reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)));
}
