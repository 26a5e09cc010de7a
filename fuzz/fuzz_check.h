// A property a fuzz target holds; a broken one names itself on standard error
// and aborts, which libFuzzer records as a crash with the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", property);
    std::abort();
}
