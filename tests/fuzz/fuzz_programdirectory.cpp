// Fuzz target: the program directory is a prefix of the path, cut at a real separator.
#include <cstdint>
#include "fuzz_check.h"
#include "core/windowsclass.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const auto lead = (data[0] & 1) ? ShiftJisLead : NoLeadBytes;
    const Str path(reinterpret_cast<const char*>(data + 1), size - 1);
    const Str directory = ProgramDirectoryOf(path, lead);
    FUZZ_CHECK(path.compare(0, directory.size(), directory) == 0);
    FUZZ_CHECK(directory.empty() || directory.back() == '\\' || directory.back() == ':');
    // No single-byte separator is left in the file name part.
    std::size_t i = 0;
    bool separatorAfter = false;
    while (i < path.size()) {
        if (lead(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            i += 2;
            continue;
        }
        if (i >= directory.size() && (path[i] == '\\' || path[i] == ':')) separatorAfter = true;
        ++i;
    }
    FUZZ_CHECK(!separatorAfter);
    const Str line = HandOffCommandLine(directory, 1 + data[0] % 4);
    FUZZ_CHECK(line.find("cvcfg.exe") != Str::npos);
    FUZZ_CHECK(directory.find(' ') == Str::npos ? line.compare(0, directory.size(), directory) == 0 : line[0] == '"');
    return 0;
}
