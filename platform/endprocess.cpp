// The normal end of the process.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "win32.h"

void EndProcess(unsigned code) { ExitProcess(code); }
