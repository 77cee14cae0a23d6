// A broken invariant aborts, so that libFuzzer reports the input as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}
