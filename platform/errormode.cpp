// The system's critical-error boxes for this process.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "win32.h"

ErrorMode TurnOffCriticalErrorBoxes() {
    // Windows 95 has no call that only reads the mode: the first call learns the mode we
    // were given, the second adds ours to it, so that no flag the starting program set is lost.
    const UINT given = SetErrorMode(SEM_FAILCRITICALERRORS);
    SetErrorMode(given | SEM_FAILCRITICALERRORS);
    return given;
}
