// The texts of the failure box.
#include <gtest/gtest.h>
#include "core/failuretext.h"

namespace {

TEST(FailureText, BuildsTheTwoLines) {
    EXPECT_EQ(FailureText("RegistryError", "cvmaint.exe", 0x0040123Au, "Invalid data type for 'runpath'"),
              "Exception RegistryError in module cvmaint.exe at 0040123A.\nInvalid data type for 'runpath'.");
    EXPECT_EQ(FailureText("FileError", "CVMAINT.EXE", 0xFFFFFFFFu, "Disk full."),
              "Exception FileError in module CVMAINT.EXE at FFFFFFFF.\nDisk full.");
    EXPECT_EQ(FailureText("K", "", 0, ""), "Exception K in module  at 00000000.\n.");
}

TEST(FailureText, FileErrorsByCode) {
    const struct {
        unsigned long code;
        const char* text;
    } cases[] = {
        {2, "File not found"},      {3, "Invalid filename"},        {4, "Too many open files"},
        {5, "File access denied"},  {100, "Read beyond end of file"}, {101, "Disk full"},
        {0, "I/O error 0"},         {32, "I/O error 32"},           {4294967295ul, "I/O error 4294967295"},
    };
    for (const auto& c : cases) EXPECT_EQ(FileErrorText(c.code), c.text) << c.code;
}

TEST(FailureText, KindsHaveDistinctNames) {
    EXPECT_STRNE(FailKindName(FailKind::File), FailKindName(FailKind::Registry));
    EXPECT_STRNE(FailKindName(FailKind::Memory), FailKindName(FailKind::Internal));
}

}  // namespace
