// Fuzz target: argument splitting never reads past the line and keeps its bounds.
#include <cstdint>
#include <cstring>
#include <vector>
#include "fuzz_check.h"
#include "core/commandword.h"
#include "core/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The command line as the system hands it over: text up to its first zero byte.
    std::vector<char> line(data, data + size);
    line.push_back('\0');
    const char* begin = line.data();
    const char* end = begin + std::strlen(begin);
    const char* cursor = begin;
    Str argument;
    std::vector<Str> arguments;
    while (NextArgument(cursor, argument)) {
        FUZZ_CHECK(cursor > begin && cursor <= end);
        FUZZ_CHECK(argument.size() <= kMaxArgumentBytes);
        FUZZ_CHECK(argument.find('"') == Str::npos);   // quotes never survive
        FUZZ_CHECK(argument.find('\0') == Str::npos);
        arguments.push_back(argument);
        FUZZ_CHECK(arguments.size() <= size);          // every argument consumes input
    }
    FUZZ_CHECK(cursor == end);
    const Str word = CommandWord(begin);
    FUZZ_CHECK(word == (arguments.size() > 1 ? arguments[1] : Str()));
    const Str upper = UpperCaseAscii(word);
    FUZZ_CHECK(upper.size() == word.size());
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        FUZZ_CHECK(upper[i] == ((c >= 'a' && c <= 'z') ? c - 32 : c));  // its own rule, not the helper it checks
    }
    return 0;
}
