// Finding where a line of system.ini ends, a machine word at a time.
#pragma once

#include <stdint.h>

// The first position in bytes[0..count) that holds a line feed or a NUL, or
// count when there is none.
inline unsigned FindLineFeedOrNul(const char* bytes, unsigned count)
{
    typedef uintptr_t Word;
    const Word ones = ~(Word)0 / 255;
    const Word lows = ones * 0x7F;
    unsigned i = 0;
    for (; i + sizeof(Word) <= count; i += sizeof(Word)) {
        Word w;
        __builtin_memcpy(&w, bytes + i, sizeof w);
        // Each byte's top bit set when the byte is not 0, exactly, for both.
        Word x = w ^ (ones * '\n');
        Word notLf = ((x & lows) + lows) | x;
        Word notNul = ((w & lows) + lows) | w;
        Word found = ~(notLf & notNul) & ~lows;
        if (found != 0) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
            // A word is a long on both builds (ILP32 and LP64): a plain bit scan.
            static_assert(sizeof(Word) == sizeof(unsigned long), "a word is a long");
            return i + (unsigned)__builtin_ctzl((unsigned long)found) / 8;
#else
            break;
#endif
        }
    }
    for (; i < count; ++i) {
        if (bytes[i] == '\n' || bytes[i] == '\0')
            return i;
    }
    return count;
}
