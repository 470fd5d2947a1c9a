// The Windows class, the program directory and the hand-off line.
#include <gtest/gtest.h>
#include "core/windowsclass.h"
#include "tests/testdata.h"

namespace {


TEST(WindowsClass, ByPlatformAndMinorVersion) {
    const struct {
        std::uint32_t platform, minor;
        int windowsClass;
    } cases[] = {
        {1, 0, 1},  {1, 9, 1},  {1, 10, 2}, {1, 50, 2}, {1, 51, 3}, {1, 90, 3},
        {0, 10, 2}, {0, 0, 1},  {2, 0, 4},  {2, 1, 4},  {2, 90, 4}, {3, 51, 3},
        {1, 0xFFFFFFFFu, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassOfVersion(c.platform, c.minor), c.windowsClass) << c.platform << "." << c.minor;
}

TEST(ProgramDirectory, CutAfterLastBackslashOrColon) {
    const struct {
        const char* path;
        const char* directory;
    } cases[] = {
        {"C:\\SETUP\\cvprobe.exe", "C:\\SETUP\\"},
        {"C:\\A\\B\\cvprobe.exe", "C:\\A\\B\\"},
        {"C:cvprobe.exe", "C:"},
        {"cvprobe.exe", ""},
        {"", ""},
        {"\\\\server\\share\\x.exe", "\\\\server\\share\\"},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgramDirectoryOf(c.path, NoLeadBytes), c.directory) << c.path;
}

TEST(ProgramDirectory, TrailByteIsNoSeparator) {
    // "\x95\x5C" is one Shift-JIS character ending in the backslash code.
    EXPECT_EQ(ProgramDirectoryOf("C:\\\x95\x5C" "cvprobe.exe", ShiftJisLead), "C:\\");
    EXPECT_EQ(ProgramDirectoryOf("C:\\\x95\x5C\\cvprobe.exe", ShiftJisLead), "C:\\\x95\x5C\\");
    EXPECT_EQ(ProgramDirectoryOf("\x95\x5C" "cvprobe.exe", ShiftJisLead), "");
}

TEST(HandOff, QuotesOnlyADirectoryWithABlank) {
    EXPECT_EQ(HandOffCommandLine("C:\\SETUP\\", 1), "C:\\SETUP\\cvcfg.exe install");
    EXPECT_EQ(HandOffCommandLine("C:\\SETUP\\", 3), "C:\\SETUP\\cvcfg.exe install");
    EXPECT_EQ(HandOffCommandLine("C:\\SETUP\\", 4), "C:\\SETUP\\cvcfg.exe noinst");
    EXPECT_EQ(HandOffCommandLine("", 2), "cvcfg.exe install");
    EXPECT_EQ(HandOffCommandLine("C:\\Corvane Setup\\", 2), "\"C:\\Corvane Setup\\cvcfg.exe\" install");
    EXPECT_EQ(HandOffCommandLine("C:\\Corvane Setup\\", 4), "\"C:\\Corvane Setup\\cvcfg.exe\" noinst");
}

}  // namespace
