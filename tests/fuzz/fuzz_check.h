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

// An empty disk in the host stand-in for the next input, unlogged; the last
// input's calls must have closed every file they opened.
#include "tests/host/host_control.h"

inline void ResetDisk()
{
    FUZZ_CHECK(HostOpenFileCount() == 0, "every file opened is closed");
    HostClearDisk();
    HostLogFileOperations(false);
}
