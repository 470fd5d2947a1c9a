// The running program's own path.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "win32.h"

Str ModuleFileName() {
    // MAX_PATH + 1 characters hold any path Windows 95 gives; a longer one (possible on later
    // systems) is asked for again with more room rather than used cut short.
    for (DWORD room = MAX_PATH + 1; room <= 32768; room *= 4) {
        Str buffer(room, '\0');
        const DWORD length = GetModuleFileNameA(nullptr, &buffer[0], room);
        if (length == 0) return Str();
        if (length < room) {
            buffer.resize(length);
            return buffer;
        }
    }
    return Str();
}
