// How the tool's registry key paths are written, kept free of Win32 so it can be tested anywhere.
#pragma once

// A key path that begins with a backslash is taken from the root key.
const char* KeyPathFromRoot(const char* keyPath);
