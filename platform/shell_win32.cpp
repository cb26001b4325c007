// Web addresses, opened by the shell in the user's browser.
#include <windows.h>
#include <shellapi.h>

#include "platform/platform.h"

void PlatformOpenAddress(const char* address)
{
    ShellExecuteA(nullptr, "open", address, "", "", SW_SHOW);
}
