// The few string helpers the program needs. The executables link no C runtime,
// so these stand in for strlen, strncmp and friends, and FormatText is the one
// safe way to the platform's formatter.
#pragma once

#include "platform/platform.h"

// Paths, file lines and command lines all use buffers of this many bytes.
const unsigned TextBufferSize = 556;

unsigned TextLength(const char* text);
// True when a and b hold the same characters (case-sensitive).
bool TextEqual(const char* a, const char* b);
// True when the count bytes at line equal the first count bytes of prefix
// (the line must hold at least that many bytes before its end).
inline bool StartsWith(const char* line, unsigned lineLength, const char* prefix, unsigned count)
{
    if (lineLength < count)
        return false;
    for (unsigned i = 0; i < count; ++i) {
        if (line[i] != prefix[i])
            return false;
    }
    return true;
}
void CopyBytes(char* to, const char* from, unsigned count);
// The first byte from text on that is c or a NUL, as the C library's
// strchrnul finds it: in one pass, where the host's library does it fast.
const char* FindByteOrNul(const char* text, char c);

// Formats fmt, which may hold %s and %X placeholders, into out (size bytes,
// NUL included). Returns the length written, or -1 with out set to "" when the
// result would not fit or the format holds anything else after a %.
int FormatText(char* out, unsigned size, const char* fmt, const FormatArg* args, unsigned count);
