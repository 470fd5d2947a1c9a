// The commands of the maintenance tool. Each takes the installation directory: the product's
// runpath setting without its trailing backslash, empty when the product is not installed.
#pragma once
#include "../platform/win32.h"

void EnableLock(const Str& installDir);
void DisableLock(const Str& installDir);
void Uninstall(const Str& installDir);
// Started with the error mode the tool was given.
void Browse(ErrorMode givenMode);
void VerifyBootHeader(const Str& installDir);
