// Adding lines to the [Rename] section of WININIT.INI on the disk, a file that other
// programs' setups edit too.
#pragma once
#include "editfiles.h"

// Adds `lines` to the first [Rename] section of `directory`\WININIT.INI (created when
// missing) through `files`. The system's cached copy is written out first, and the file is
// held with no sharing while it is read and changed. When the lines go at its end they are
// appended in one write, taken back when that write fails or is cut short; otherwise the
// new text is written whole under a fresh name and swapped in. So at every moment the old
// text or the new one stands whole on the disk.
// A file that cannot be opened so (read-only, in use, no access) is left alone; nothing is
// reported.
void AddLinesToWininit(EditFiles& files, const Str& directory, const Str* lines, std::size_t count);
