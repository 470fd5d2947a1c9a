// What the unit tests and the fuzz targets share: code pages to split text by, and the two
// lines UNINSTALL adds to WININIT.INI on a machine whose Windows directory is C:\WINDOWS.
#pragma once
#include "core/str.h"

inline bool ShiftJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
inline bool NoLeadBytes(unsigned char) { return false; }

inline const Str kOurs[] = {"NUL=C:\\WINDOWS\\System\\ctgcpl.cpl", "NUL=C:\\WINDOWS\\cvvchk.exe"};
