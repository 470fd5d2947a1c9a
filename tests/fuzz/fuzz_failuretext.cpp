// Fuzz target: the failure box text for any message and code.
#include <cstdint>
#include "fuzz_check.h"
#include "core/failuretext.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::uint32_t address = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
    const Str message(reinterpret_cast<const char*>(data + 4), size - 4);
    const Str text = FailureText("FileError", "cvmaint.exe", address, message);
    const Str head = "Exception FileError in module cvmaint.exe at ";
    FUZZ_CHECK(text.compare(0, head.size(), head) == 0);
    FUZZ_CHECK(text.compare(head.size() + 8, 2, ".\n") == 0);
    const Str second = text.substr(head.size() + 10);
    FUZZ_CHECK(second.compare(0, message.size(), message) == 0);
    FUZZ_CHECK(second.size() == message.size() + (message.empty() || message.back() != '.' ? 1 : 0));
    FUZZ_CHECK(second.back() == '.');
    const unsigned long code = address % 256;
    FUZZ_CHECK(!FileErrorText(code).empty());
    return 0;
}
