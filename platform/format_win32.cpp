#include <windows.h>

#include "platform/platform.h"

void PlatformFormat(char* out, const char* fmt, const FormatArg* args)
{
    // On x86 a va_list is a pointer to 32-bit argument slots, which is what
    // an array of FormatArg is.
    wvsprintfA(out, fmt, (va_list)(void*)args);
}
