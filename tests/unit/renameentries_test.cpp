// Our lines added to the text of WININIT.INI, and every other byte kept.
#include <gtest/gtest.h>
#include "core/renameentries.h"
#include "tests/testdata.h"

namespace {

constexpr char kOursText[] = "NUL=C:\\WINDOWS\\System\\ctgcpl.cpl\r\nNUL=C:\\WINDOWS\\cvvchk.exe\r\n";

struct EditCase {
    const char* name;
    Str before;
    Str after;
};

TEST(RenameSection, AddsOurLinesKeepingEveryByte) {
    const Str ours = kOursText;
    const EditCase cases[] = {
        {"no file", "", "[Rename]\r\n" + ours},
        {"other section only", "[Other]\r\nA=1\r\n", "[Other]\r\nA=1\r\n[Rename]\r\n" + ours},
        {"no final line break", "[Other]\r\nA=1", "[Other]\r\nA=1\r\n[Rename]\r\n" + ours},
        {"lower-case section with a line of another program",
         "[rename]\r\nNUL=C:\\OTHER.TMP\r\n\r\n[Other]\r\nB=2\r\n",
         "[rename]\r\nNUL=C:\\OTHER.TMP\r\n" + ours + "\r\n[Other]\r\nB=2\r\n"},
        {"section last, no final break", "[Rename]\r\nNUL=C:\\X", "[Rename]\r\nNUL=C:\\X\r\n" + ours},
        {"empty section before another", "[Rename]\r\n[Other]\r\n", "[Rename]\r\n" + ours + "[Other]\r\n"},
        {"header without break", "[Rename]", "[Rename]\r\n" + ours},
        {"bare LF lines", "[Rename]\nX=Y\n", "[Rename]\nX=Y\n" + ours},
        {"blanks around the header", "  [ Rename ]  \r\nA=B\r\n", "  [ Rename ]  \r\nA=B\r\n" + ours},
        {"section twice: the first gets the lines",
         "[Rename]\r\nA=1\r\n[Other]\r\n[RENAME]\r\nB=2\r\n",
         "[Rename]\r\nA=1\r\n" + ours + "[Other]\r\n[RENAME]\r\nB=2\r\n"},
        {"our line only in a second [Rename] counts for nothing",
         "[Rename]\r\nA=1\r\n[X]\r\n[Rename]\r\nNUL=C:\\WINDOWS\\cvvchk.exe\r\n",
         "[Rename]\r\nA=1\r\n" + ours + "[X]\r\n[Rename]\r\nNUL=C:\\WINDOWS\\cvvchk.exe\r\n"},
        {"section last with blank lines after it: appended at the end",
         "[X]\r\n[Rename]\r\nA=1\r\n\r\n\r\n", "[X]\r\n[Rename]\r\nA=1\r\n\r\n\r\n" + ours},
        {"already there", "[Rename]\r\n" + ours, "[Rename]\r\n" + ours},
        {"one already there, other case",
         "[Rename]\r\nnul=c:\\windows\\CVVCHK.EXE\r\n",
         "[Rename]\r\nnul=c:\\windows\\CVVCHK.EXE\r\nNUL=C:\\WINDOWS\\System\\ctgcpl.cpl\r\n"},
        {"our line outside the section does not count",
         "[Other]\r\nNUL=C:\\WINDOWS\\cvvchk.exe\r\n",
         "[Other]\r\nNUL=C:\\WINDOWS\\cvvchk.exe\r\n[Rename]\r\n" + ours},
        {"an end-of-file mark: ours before it", "[Rename]\r\nA=1\r\n\x1a[X]", "[Rename]\r\nA=1\r\n" + ours + "\x1a[X]"},
        {"not a header", "[Renamed]\r\n;[Rename]\r\n", "[Renamed]\r\n;[Rename]\r\n[Rename]\r\n" + ours},
    };
    for (const EditCase& c : cases) EXPECT_EQ(AddRenameEntries(c.before, kOurs, 2), c.after) << c.name;
}

TEST(RenameSection, KeepsBinaryBytesAndLongFiles) {
    Str big = "[Rename]\r\n";
    for (int i = 0; i < 20000; ++i) big += "NUL=C:\\TEMP\\F" + Str(1, static_cast<char>('A' + i % 26)) + "\r\n";
    big += Str("Z=\0\xff\r\n", 6);
    const Str edited = AddRenameEntries(big, kOurs, 2);
    EXPECT_EQ(edited, big + kOursText);
}

}  // namespace
