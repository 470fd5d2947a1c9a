// A property that fails stops the fuzzer with the input that broke it.
#pragma once
#include <cstdio>
#include <cstdlib>
#include "tests/testdata.h"

#define FUZZ_CHECK(condition)                                                        \
    do {                                                                             \
        if (!(condition)) {                                                          \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                            \
        }                                                                            \
    } while (0)
