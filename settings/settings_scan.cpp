#include "core/color_table.h"
#include "settings/settings_lines.h"
#include "settings/settings_reader.h"

#include "core/text.h"

static const char BackKey[] = "MessageBackColor=";
static const char TextKey[] = "MessageTextColor=";
static const unsigned KeyLength = sizeof BackKey - 1;  // 17, the same for both keys

static bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

static int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The value is read from the line's content alone: its end stops the digits.
unsigned char ColorNumberOfValue(const char* value, unsigned length)
{
    const char* p = value;
    const char* end = value + length;
    while (p < end && IsSpace(*p))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (end - p >= 3 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigitValue(p[2]) >= 0)
        p += 2;
    unsigned number = 0;
    for (int digit; p < end && (digit = HexDigitValue(*p)) >= 0; ++p) {
        number = number * 16 + (unsigned)digit;
        if (number >= ColorCount)
            return ColorNotFound;  // and stays out of range, however many digits follow
    }
    if (negative && number != 0)
        return ColorNotFound;
    return (unsigned char)number;
}

// Where the whole lines of bytes[0, count) end: the start of the last line,
// when it has no end yet, or count. (A CR in the last byte counts as an end
// here: when it is the first half of CR LF, its LF makes an empty line at the
// start of the next piece, and an empty line names no colour.)
static unsigned WholeLinesEnd(const char* bytes, unsigned count)
{
    unsigned i = count;
    while (i > 0 && !IsLineEndByte(bytes[i - 1]))
        --i;
    return i;
}

// The letter after "Message" tells the two keys apart, and is rare
// elsewhere in system.ini: each key is looked for by its own letter, and
// the last line that names a colour wins.
static const unsigned TellingLetter = 7;

// Looks at every line of bytes[0, limit), all of them whole, that begins with
// key, and takes the value of the last one that names a colour. The search
// for the letter stops at NULs too (bytes[limit, count] holds none but the
// last, the sentinel), and sets *nuls when it meets one.
static void FindKey(const char* bytes, unsigned limit, const char* key, unsigned char* color, bool* nuls)
{
    for (unsigned at = 0; at < limit;) {
        const char* hit = FindByteOrNul(bytes + at, key[TellingLetter]);
        if (hit >= bytes + limit)
            return;
        at = (unsigned)(hit - bytes) + 1;
        if (*hit == '\0') {
            *nuls = true;
            continue;
        }
        if (at <= TellingLetter)
            continue;
        unsigned start = at - 1 - TellingLetter;
        if (!StartsWith(bytes + start, limit - start, key, KeyLength) ||
            (start > 0 && !BeginsLineAfter(bytes, start)))
            continue;
        unsigned end = FindLineEnd(bytes, limit, start);
        unsigned content = end - start;
        if (content < LongLineContent) {
            unsigned char n = ColorNumberOfValue(bytes + start + KeyLength, content - KeyLength);
            if (n != ColorNotFound)
                *color = n;
        }
        at = end;  // a NUL there is met by the next search
    }
}

unsigned ScanSettingsLines(SettingsColors* colors, const char* bytes, unsigned count, bool atEnd, bool* nuls)
{
    if (count == 0)
        return 0;
    bool ignored;
    unsigned limit = WholeLinesEnd(bytes, count);
    FindKey(bytes, limit, BackKey, &colors->back, nuls != nullptr ? nuls : &ignored);
    FindKey(bytes, limit, TextKey, &colors->text, &ignored);
    return atEnd ? count : limit;
}

bool LooksLikeUtf16(const char* bytes, unsigned count)
{
    const unsigned char* b = (const unsigned char*)bytes;
    if (count >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF)))
        return true;
    unsigned nuls[2] = {0, 0};  // at even and at odd offsets
    // 8-bit text has next to no NULs: each is found by the fast byte search.
    for (const unsigned char* at = b; at < b + count; ++at) {
        at = (const unsigned char*)__builtin_memchr(at, 0, (unsigned)(b + count - at));
        if (at == nullptr)
            break;
        const unsigned q = (unsigned)(at - b);
        ++nuls[q & 1];
        // The shape whose last NUL this is (little-endian, at an odd offset)
        // or whose second (big-endian, at an even one).
        const unsigned s = q - ((q & 1) != 0 ? 3 : 2);
        if (q < 2 || s + 4 > count || s > q)
            continue;
        const unsigned char* u = b + s;
        const unsigned lead = (q & 1) != 0 ? 0 : 1;  // where the characters stand
        if (u[1 - lead] == 0 && u[3 - lead] == 0 &&
            (u[lead] == 0x5B ? u[lead + 2] != 0 : u[lead] == 0x0D && u[lead + 2] == 0x0A))
            return true;
    }
    const unsigned most = nuls[0] > nuls[1] ? nuls[0] : nuls[1], least = nuls[0] + nuls[1] - most;
    return most >= 2 && most * 4 >= count && least * 4 <= most;
}
