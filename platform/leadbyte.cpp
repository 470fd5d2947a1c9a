// The system code page's double-byte characters.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "win32.h"

bool IsCodePageLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }
