#include "core/text.h"

#if defined(__GLIBC__)
#include <string.h>
#endif

unsigned TextLength(const char* text)
{
    unsigned n = 0;
    while (text[n] != '\0')
        ++n;
    return n;
}

bool TextEqual(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

void CopyBytes(char* to, const char* from, unsigned count)
{
    for (unsigned i = 0; i < count; ++i)
        to[i] = from[i];
}

const char* FindByteOrNul(const char* text, char c)
{
#if defined(__GLIBC__)
    return strchrnul(text, c);
#else
    while (*text != '\0' && *text != c)
        ++text;
    return text;
#endif
}

// The system formatter writes at most 1024 bytes, NUL included.
static const unsigned FormatterLimit = 1024;

static unsigned HexDigitCount(uintptr_t number)
{
    unsigned digits = 1;
    while (number > 15) {
        number >>= 4;
        ++digits;
    }
    return digits;
}

int FormatText(char* out, unsigned size, const char* fmt, const FormatArg* args, unsigned count)
{
    if (size == 0)
        return -1;
    out[0] = '\0';
    unsigned length = 0;
    unsigned used = 0;
    for (const char* p = fmt; *p != '\0'; ++p) {
        if (*p != '%') {
            ++length;
            continue;
        }
        ++p;
        if (used == count)
            return -1;
        if (*p == 's')
            length += TextLength(args[used].text);
        else if (*p == 'X')
            length += HexDigitCount(args[used].number);
        else
            return -1;
        ++used;
    }
    if (used != count || length + 1 > size || length + 1 > FormatterLimit)
        return -1;
    PlatformFormat(out, fmt, args);
    return (int)length;
}
