// The heap hooks of the string type, for builds on the build machine.
#include <cstdlib>
#include "core/str.h"

void* AllocateMemory(std::size_t bytes) {
    void* block = std::malloc(bytes ? bytes : 1);
    if (block == nullptr) std::abort();
    return block;
}

void FreeMemory(void* block) { std::free(block); }
