// Argument splitting and the command word, table by table.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "core/commandword.h"
#include "core/text.h"

namespace {

std::vector<std::string> SplitAll(const std::string& line) {
    std::vector<std::string> out;
    const char* cursor = line.c_str();
    Str argument;
    while (NextArgument(cursor, argument)) out.emplace_back(argument.c_str(), argument.size());
    return out;
}

struct SplitCase {
    const char* line;
    std::vector<std::string> arguments;
};

TEST(CommandLine, SplitsLikeTheTool) {
    const SplitCase cases[] = {
        {"cvmaint ENABLED", {"cvmaint", "ENABLED"}},
        {"  cvmaint\tENABLED  extra words ", {"cvmaint", "ENABLED", "extra", "words"}},
        {"\"C:\\Program Files\\cvmaint.exe\" VCHECK", {"C:\\Program Files\\cvmaint.exe", "VCHECK"}},
        {"cvmaint \"EN ABLED\"", {"cvmaint", "EN ABLED"}},
        {"cvmaint BR\"OW\"SE", {"cvmaint", "BROWSE"}},
        {"cvmaint \"\" ENABLED", {"cvmaint", "ENABLED"}},
        {"cvmaint \"\"\"\" ENABLED", {"cvmaint", "ENABLED"}},
        {"cvmaint \"\"ENABLED", {"cvmaint", "ENABLED"}},
        {"cvmaint \"\"", {"cvmaint"}},
        {"cvmaint ENABLED\"\"", {"cvmaint", "ENABLED"}},
        {"cvmaint \"unclosed run", {"cvmaint", "unclosed run"}},
        {"cvmaint a\\\"b c", {"cvmaint", "a\\b c"}},  // no escape: the backslash stays, the quote opens a run
        {"cvmaint\x01" "A\x1f" "B\x20" "C\x7f" "D", {"cvmaint", "A", "B", "C\x7f" "D"}},
        {"cvmaint \xe9t\xe9 \x81\x40", {"cvmaint", "\xe9t\xe9", "\x81\x40"}},
        {"", {}},
        {" \t\r\n", {}},
    };
    for (const SplitCase& c : cases) EXPECT_EQ(SplitAll(c.line), c.arguments) << c.line;
}

TEST(CommandLine, CommandWordIsArgumentOne) {
    EXPECT_EQ(CommandWord("\"C:\\A B\\cvmaint.exe\" vcheck more"), "vcheck");
    EXPECT_EQ(CommandWord("\"\"cvmaint ENABLED"), "ENABLED");  // program name split by the same rules
    EXPECT_EQ(CommandWord("cvmaint"), "");
    EXPECT_EQ(CommandWord("cvmaint \"\""), "");
    EXPECT_EQ(CommandWord(nullptr), "");
}

TEST(CommandLine, ArgumentsStopAt4096Bytes) {
    for (std::size_t length : {4095u, 4096u, 4097u, 10000u}) {
        const std::string line = "cvmaint \"" + std::string(length, 'A') + "\" NEXT";
        const auto args = SplitAll(line);
        ASSERT_EQ(args.size(), 3u) << length;
        EXPECT_EQ(args[1].size(), std::min<std::size_t>(length, kMaxArgumentBytes));
        EXPECT_EQ(args[2], "NEXT");  // the excess is consumed, not spilled into the next argument
    }
}

TEST(CommandLine, UpperCasesOnlyAsciiLetters) {
    EXPECT_EQ(UpperCaseAscii("enAbled"), "ENABLED");
    EXPECT_EQ(UpperCaseAscii("v\xe9" "check`{@[z"), "V\xe9" "CHECK`{@[Z");
    EXPECT_EQ(UpperCaseAscii(""), "");
}

}  // namespace
