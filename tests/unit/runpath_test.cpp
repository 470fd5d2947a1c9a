// The runpath rule, and the case-sensitive substring test of the runkey entry.
#include <gtest/gtest.h>
#include "core/runpath.h"
#include "core/text.h"
#include "tests/testdata.h"

namespace {


struct RuleCase {
    const char* name;
    const char* stored;
    const char* read;
};

TEST(RunpathRule, StripsOneTrailingBackslashOfRunpathOnly) {
    const RuleCase cases[] = {
        {"runpath", "C:\\Program Files\\Corvane\\", "C:\\Program Files\\Corvane"},
        {"runpath", "C:\\Corvane\\\\", "C:\\Corvane\\"},
        {"runpath", "C:\\", "C:"},
        {"runpath", "\\", ""},
        {"runpath", "", ""},
        {"runpath", "C:\\Corvane", "C:\\Corvane"},
        {"RunPath", "D:\\x\\", "D:\\x"},
        {"RUNPATH", "D:\\x\\", "D:\\x"},
        {"runkey", "C:\\x\\", "C:\\x\\"},
        {"runpath2", "C:\\x\\", "C:\\x\\"},
        {"runpat", "C:\\x\\", "C:\\x\\"},
    };
    for (const RuleCase& c : cases)
        EXPECT_EQ(ApplyRunpathRule(c.name, c.stored, NoLeadBytes), c.read) << c.name << " " << c.stored;
}

TEST(RunpathRule, KeepsTheTrailByteOfADoubleByteCharacter) {
    // 0x95 0x5C is one Shift-JIS character whose second byte is the backslash code.
    EXPECT_EQ(ApplyRunpathRule("runpath", "C:\\\x95\x5C", ShiftJisLead), "C:\\\x95\x5C");
    EXPECT_EQ(ApplyRunpathRule("runpath", "C:\\\x95\x5C\\", ShiftJisLead), "C:\\\x95\x5C");
}

TEST(RegistryPaths, ContainsTextComparesWithCase) {
    EXPECT_TRUE(ContainsText("C:\\WINDOWS\\cvvchk.exe", "cvvchk"));
    EXPECT_FALSE(ContainsText("C:\\WINDOWS\\CVVCHK.EXE", "cvvchk"));
    EXPECT_FALSE(ContainsText("", "cvvchk"));
}

}  // namespace
