// Fuzz target: adding our lines to any WININIT.INI keeps every byte that was there.
#include <cstdint>
#include "fuzz_check.h"
#include "core/renameentries.h"


extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Str before(reinterpret_cast<const char*>(data), size);
    const Str after = AddRenameEntries(before, kOurs, 2);
    // The input stands whole in the output: one insertion at one place, nothing else changed.
    FUZZ_CHECK(after.size() >= before.size());
    std::size_t prefix = 0;
    while (prefix < before.size() && before[prefix] == after[prefix]) ++prefix;
    const std::size_t inserted = after.size() - before.size();
    FUZZ_CHECK(after.compare(prefix + inserted, Str::npos, before, prefix, Str::npos) == 0);
    const Str added = after.substr(prefix, inserted);
    FUZZ_CHECK(added.size() <= 2 + 10 + kOurs[0].size() + kOurs[1].size() + 4);
    // Our lines are there once: a second edit changes nothing.
    FUZZ_CHECK(AddRenameEntries(after, kOurs, 2) == after);
    return 0;
}
