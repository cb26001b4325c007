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

// Where a file's NUL bytes fall, counted piece by piece as it is read: UTF-16
// text of the Latin letters that system.ini is written in has a NUL in
// nearly every other byte, and 8-bit text has next to none.
struct Utf16Evidence {
    unsigned long nuls[2];  // at even and at odd positions of the file
    unsigned long length;   // bytes counted so far
    bool byteOrderMark;     // the file begins with FF FE or FE FF
};

// Counts the NULs of the next count bytes of the file.
inline void CountUtf16Evidence(Utf16Evidence* evidence, const char* bytes, unsigned count)
{
    if (evidence->length == 0 && count >= 2)
        evidence->byteOrderMark = (bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF');
    // 8-bit text has next to no NULs: each is found by the fast byte search.
    for (const char* at = bytes; at < bytes + count; ++at) {
        at = (const char*)__builtin_memchr(at, 0, (unsigned)(bytes + count - at));
        if (at == nullptr)
            break;
        ++evidence->nuls[(evidence->length + (unsigned)(at - bytes)) & 1];
    }
    evidence->length += count;
}

// True when the whole file reads as UTF-16 text, which a rewrite line by
// line would tear apart: it begins with a byte-order mark, or at least half
// the bytes at even (or at odd) positions are NULs, four times as many as at
// the others. A run of NULs (a tail that never reached the disk) falls on
// both alike.
inline bool LooksLikeUtf16(const Utf16Evidence& evidence)
{
    if (evidence.byteOrderMark)
        return true;
    unsigned long most = evidence.nuls[0], least = evidence.nuls[1];
    if (least > most) {
        most = evidence.nuls[1];
        least = evidence.nuls[0];
    }
    return most >= 2 && most * 4 >= evidence.length && least * 4 <= most;
}

inline bool LooksLikeUtf16(const char* bytes, unsigned count)
{
    Utf16Evidence evidence = {{0, 0}, 0, false};
    CountUtf16Evidence(&evidence, bytes, count);
    return LooksLikeUtf16(evidence);
}
