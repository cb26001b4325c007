// What a line of system.ini is, for the reader and the writer alike.
//
// A line ends at a line feed, at a NUL, or at a carriage return that is not
// followed by a line feed (CR LF is one line end). Its content is the bytes
// before its end. The file's last line may have no end at all.
#pragma once

#include <stdint.h>

// A line whose content is this long or longer is left alone: the reader does
// not look at it, and the writer copies it unchanged and never removes it or
// puts a block after it.
const unsigned LongLineContent = 555;

inline bool IsLineEndByte(char c)
{
    return c == '\n' || c == '\r' || c == '\0';
}

// The first position from at in bytes[0..count) holding a LF, CR or NUL, or
// count when there is none. Where the line's content ends.
inline unsigned FindLineEnd(const char* bytes, unsigned count, unsigned at)
{
    typedef uintptr_t Word;
    const Word ones = ~(Word)0 / 255;
    const Word lows = ones * 0x7F;
    unsigned i = at;
    for (; i + sizeof(Word) <= count; i += sizeof(Word)) {
        Word w;
        __builtin_memcpy(&w, bytes + i, sizeof w);
        // Each byte's top bit set when the byte is not 0, exactly, for all three.
        Word lf = w ^ (ones * '\n');
        Word cr = w ^ (ones * '\r');
        Word notLf = ((lf & lows) + lows) | lf;
        Word notCr = ((cr & lows) + lows) | cr;
        Word notNul = ((w & lows) + lows) | w;
        Word found = ~(notLf & notCr & notNul) & ~lows;
        if (found != 0) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
            // A word is a long on ILP32 and LP64, a long long on 64-bit
            // Windows (LLP64): a plain bit scan of its own width.
            if constexpr (sizeof(Word) == sizeof(unsigned long))
                return i + (unsigned)__builtin_ctzl((unsigned long)found) / 8;
            else
                return i + (unsigned)__builtin_ctzll((unsigned long long)found) / 8;
#else
            break;
#endif
        }
    }
    for (; i < count; ++i) {
        if (IsLineEndByte(bytes[i]))
            return i;
    }
    return count;
}

// How many bytes the line end at position end takes: 0 at the end of the
// bytes (a last line with no end), 2 for CR LF, 1 for any other end. A CR in
// the last byte counts as a lone CR.
inline unsigned LineEndLength(const char* bytes, unsigned count, unsigned end)
{
    if (end >= count)
        return 0;
    return bytes[end] == '\r' && end + 1 < count && bytes[end + 1] == '\n' ? 2 : 1;
}

// True when a line begins at position at (at > 0) of bytes: the byte before
// ends a line, and is not the CR of a CR LF pair.
inline bool BeginsLineAfter(const char* bytes, unsigned at)
{
    char before = bytes[at - 1];
    return before == '\n' || before == '\0' || (before == '\r' && bytes[at] != '\n');
}

// Whether a file is UTF-16 text, judged by its shape over the whole file.
// UTF-16 has a NUL in every code unit of a Latin letter, and an 8-bit file
// next to none: a NUL ends its line. So the shapes looked for all hold two
// NULs, at a code unit's place (an even offset): a line end (CR LF) or a '['
// written as UTF-16, in either byte order ("0D 00 0A 00", "00 0D 00 0A",
// "5B 00 xx 00", "00 5B 00 xx", xx not NUL); or a byte-order mark; or, for
// text with neither, at least half the bytes at even (or at odd) positions
// NULs, four times as many as at the others. A stray NUL, or a run of NULs (a
// tail that never reached the disk), makes none of these. (settings_scan.cpp)
bool LooksLikeUtf16(const char* bytes, unsigned count);
