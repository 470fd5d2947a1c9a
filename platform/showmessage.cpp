// The programs' own messages to the user.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "win32.h"

void ShowMessage(const char* text, const char* caption) { MessageBoxA(nullptr, text, caption, MB_OK); }
