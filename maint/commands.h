// The commands of the maintenance tool. Each takes the installation directory: the product's
// runpath setting without its trailing backslash, empty when the product is not installed.
#pragma once
#include "../platform/str.h"

void EnableLock(const Str& installDir);
void DisableLock(const Str& installDir);
void Uninstall(const Str& installDir);
void Browse();
void VerifyBootHeader(const Str& installDir);
