#include "core/color_table.h"
#include "settings/settings_reader.h"

static const char BackKey[] = "MessageBackColor=";
static const char TextKey[] = "MessageTextColor=";
static const unsigned KeyLength = sizeof BackKey - 1;  // 17, the same for both keys

// Content bytes a line may hold: with its end byte it must fit the buffer with
// a NUL after it.
static const unsigned LongestLine = TextBufferSize - 2;

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

unsigned char ColorNumberOfValue(const char* value)
{
    const char* p = value;
    while (IsSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigitValue(p[2]) >= 0)
        p += 2;
    unsigned number = 0;
    for (int digit; (digit = HexDigitValue(*p)) >= 0; ++p) {
        number = number * 16 + (unsigned)digit;
        if (number >= ColorCount)
            return ColorNotFound;  // and stays out of range, however many digits follow
    }
    if (negative && number != 0)
        return ColorNotFound;
    return (unsigned char)number;
}

void BeginSettingsScan(SettingsScan* scan)
{
    scan->length = 0;
    scan->inLine = false;
    scan->previous = '\n';  // the file's first byte starts a line
    scan->back = ColorNotFound;
    scan->text = ColorNotFound;
}

static bool EndsLine(char c)
{
    return c == '\n' || c == '\r' || c == '\0';
}

// Takes the value of a line that begins with key, when it is a colour number.
static void TakeValue(const SettingsScan* scan, const char* key, unsigned char* color)
{
    if (!StartsWith(scan->line, scan->length, key, KeyLength))
        return;
    unsigned char n = ColorNumberOfValue(scan->line + KeyLength);
    if (n != ColorNotFound)
        *color = n;
}

static void ExamineLine(SettingsScan* scan)
{
    scan->line[scan->length] = '\0';
    TakeValue(scan, BackKey, &scan->back);
    TakeValue(scan, TextKey, &scan->text);
}

void ScanSettingsBytes(SettingsScan* scan, const char* bytes, unsigned count)
{
    if (count == 0)
        return;
    unsigned i = 0;
    while (i < count) {
        if (!scan->inLine) {
            // Only a line that begins with the keys' first letter can matter:
            // look for that letter straight after a line end.
            const char* hit = (const char*)__builtin_memchr(bytes + i, BackKey[0], count - i);
            if (hit == nullptr)
                break;
            unsigned at = (unsigned)(hit - bytes);
            char before = at > 0 ? bytes[at - 1] : scan->previous;
            i = at;
            if (!EndsLine(before)) {
                ++i;
                continue;
            }
            // Most such lines are told apart at once, where they stand.
            if (at + KeyLength <= count && !StartsWith(hit, KeyLength, BackKey, KeyLength) &&
                !StartsWith(hit, KeyLength, TextKey, KeyLength)) {
                ++i;
                continue;
            }
            scan->inLine = true;
            scan->length = 0;
        }
        char c = bytes[i++];
        if (EndsLine(c)) {
            ExamineLine(scan);
            scan->inLine = false;
            continue;
        }
        unsigned at = scan->length;
        scan->line[scan->length++] = c;
        if (at < KeyLength && c != BackKey[at] && c != TextKey[at])
            scan->inLine = false;  // cannot begin with either key
        else if (scan->length > LongestLine)
            scan->inLine = false;  // too long to look at
    }
    scan->previous = bytes[count - 1];
}
