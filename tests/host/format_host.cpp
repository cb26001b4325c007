// The host stand-in of the system's formatter, for the native tests and the
// fuzz targets: %s and %X, as FormatText has checked them.
#include <cstdio>

#include "platform/platform.h"

void PlatformFormat(char* out, const char* fmt, const FormatArg* args)
{
    for (const char* p = fmt; *p != '\0'; ++p) {
        if (*p != '%') {
            *out++ = *p;
            continue;
        }
        ++p;
        if (*p == 's') {
            for (const char* t = args->text; *t != '\0'; ++t)
                *out++ = *t;
        } else {
            out += sprintf(out, "%llX", (unsigned long long)args->number);
        }
        ++args;
    }
    *out = '\0';
}
