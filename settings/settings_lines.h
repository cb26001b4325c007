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

// Whether a file is UTF-16 text, judged by its shape over the whole file, a
// piece at a time as it is read. UTF-16 has a NUL in every code unit of a
// Latin letter, and an 8-bit file next to none: a NUL ends its line. So the
// shapes looked for all hold two NULs, at a code unit's place (an even
// offset): a line end (CR LF) or a '[' written as UTF-16, in either byte
// order ("0D 00 0A 00", "00 0D 00 0A", "5B 00 xx 00", "00 5B 00 xx", xx not
// NUL); or a byte-order mark; or, for text with neither, at least half the
// bytes at even (or at odd) positions NULs, four times as many as at the
// others. A stray NUL, or a run of NULs (a tail that never reached the
// disk), makes none of these.
struct Utf16Evidence {
    unsigned long nuls[2];  // at even and at odd positions of the file
    unsigned long length;   // bytes counted so far
    unsigned char last[3];  // the three bytes before the next ones
    bool byteOrderMark;     // the file begins with FF FE or FE FF
    bool shape;             // a line end or a '[' written as UTF-16 was seen
};

// The four bytes ending at the file's offset end, which are all in bytes[0,
// count) but for those before the evidence's length, in last.
inline bool Utf16ShapeEndsAt(const Utf16Evidence& e, const char* bytes, unsigned long end)
{
    if (end < 3 || (end - 3) % 2 != 0)
        return false;
    unsigned char b[4];
    for (unsigned k = 0; k < 4; ++k) {
        unsigned long at = end - 3 + k;
        b[k] = at >= e.length ? (unsigned char)bytes[at - e.length] : e.last[3 - (e.length - at)];
    }
    if (b[0] == 0 && b[2] == 0)  // big-endian: 00 0D 00 0A, 00 5B 00 xx
        return b[1] == 0x5B ? b[3] != 0 : b[1] == 0x0D && b[3] == 0x0A;
    if (b[1] == 0 && b[3] == 0)  // little-endian: 0D 00 0A 00, 5B 00 xx 00
        return b[0] == 0x5B ? b[2] != 0 : b[0] == 0x0D && b[2] == 0x0A;
    return false;
}

// Counts the next count bytes of the file. mayHoldNuls false says that they
// hold none (the caller's own search found none): then only the place moves on.
inline void CountUtf16Evidence(Utf16Evidence* e, const char* bytes, unsigned count, bool mayHoldNuls = true)
{
    if (count == 0)
        return;
    if (e->length == 0 && count >= 2)
        e->byteOrderMark = (bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF');
    // A shape whose last byte begins these bytes, after a NUL that ended the last ones.
    if (e->length >= 3 && e->last[2] == 0 && Utf16ShapeEndsAt(*e, bytes, e->length))
        e->shape = true;
    // 8-bit text has next to no NULs: each is found by the fast byte search,
    // and the shapes it may belong to end at it or just after it.
    for (const char* at = bytes; mayHoldNuls && at < bytes + count; ++at) {
        at = (const char*)__builtin_memchr(at, 0, (unsigned)(bytes + count - at));
        if (at == nullptr)
            break;
        const unsigned long offset = e->length + (unsigned long)(at - bytes);
        ++e->nuls[offset & 1];
        if (Utf16ShapeEndsAt(*e, bytes, offset) ||
            (at + 1 < bytes + count && Utf16ShapeEndsAt(*e, bytes, offset + 1)))
            e->shape = true;
    }
    unsigned char next[3];
    for (unsigned k = 0; k < 3; ++k) {
        const unsigned back = 3 - k;  // bytes before the end of these
        next[k] = back <= count ? (unsigned char)bytes[count - back] : e->last[3 - (back - count)];
    }
    for (unsigned k = 0; k < 3; ++k)
        e->last[k] = next[k];
    e->length += count;
}

inline bool LooksLikeUtf16(const Utf16Evidence& evidence)
{
    if (evidence.byteOrderMark || evidence.shape)
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
    Utf16Evidence evidence = {{0, 0}, 0, {0, 0, 0}, false, false};
    CountUtf16Evidence(&evidence, bytes, count);
    return LooksLikeUtf16(evidence);
}
