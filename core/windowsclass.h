// Sorting a Windows version into the classes the configuration program knows.
#pragma once
#include <cstdint>
#include "str.h"

constexpr std::uint32_t kPlatformWin32Nt = 2;

// 1 Windows 95, 2 Windows 98, 3 Windows Me, 4 the Windows NT family.
constexpr int kWindowsNtClass = 4;
int ClassOfVersion(std::uint32_t platformId, std::uint32_t minorVersion);

// The directory part of a program's full path, cut after its last backslash or colon.
Str ProgramDirectoryOf(const Str& modulePath, LeadBytePredicate isLeadByte);

// The command line that starts the configuration program for `windowsClass`. A directory
// holding a blank is quoted, so that Windows cannot take a prefix of it for the program.
Str HandOffCommandLine(const Str& programDirectory, int windowsClass);
