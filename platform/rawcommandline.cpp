// The command line the program was started with, as the system keeps it.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "win32.h"

const char* RawCommandLine() { return GetCommandLineA(); }
