// Editing the text of WININIT.INI, the file whose [Rename] section Windows 95 carries out
// at its next start: each "NUL=<path>" line there deletes one file.
#pragma once
#include "str.h"

// Returns `file` with `lines` added to its first [Rename] section (the name matched without
// case): after that section's last non-blank line, or at the very end of the file when no
// other section follows it, so that the common edit only appends. Only the first section
// counts, as the system's own profile reader sees no other. Every byte already in the file
// stays as it was and in its place; a line already present in that section (compared
// without case and surrounding blanks) is not added again. Without such a section one is
// appended at the end. Added lines end in CR LF.
Str AddRenameEntries(const Str& file, const Str* lines, std::size_t count);
