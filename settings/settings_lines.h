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

// True when the bytes at the start of a file read as UTF-16 text, which a
// rewrite line by line would tear apart: a byte-order mark (FF FE or FE FF),
// or a first line (the bytes before its LF, as far as count goes) of two
// characters or more with a NUL in every other byte and in no other.
inline bool LooksLikeUtf16(const char* bytes, unsigned count)
{
    if (count >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
        return true;
    unsigned end = 0;
    while (end < count && bytes[end] != '\n')
        ++end;
    if (end < 4)
        return false;
    bool nul[2] = {true, true}, text[2] = {true, true};  // by even and odd position
    for (unsigned i = 0; i < end; ++i) {
        if (bytes[i] == '\0')
            text[i & 1] = false;
        else
            nul[i & 1] = false;
    }
    return (nul[1] && text[0]) || (nul[0] && text[1]);
}
