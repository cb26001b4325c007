// How a fuzz target reports a broken property: the property's name, then an
// abort, which libFuzzer turns into a saved crash input.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                        \
    do {                                                                   \
        if (!(condition)) {                                                \
            fprintf(stderr, "property broken: %s (%s)\n", what, #condition); \
            abort();                                                       \
        }                                                                  \
    } while (0)
