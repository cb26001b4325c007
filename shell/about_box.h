// The About box and the program's web page.
#pragma once

#include "platform/platform.h"

// The full address of the web page, scheme included.
extern const char HomepageAddress[];

// A click, then the About box over the main dialog until the user closes it.
void ShowAboutBox(PlatformWindow dialog);
// A click, then the web page in the user's browser; when it cannot be
// opened, a box over dialog names the address and the cause.
void VisitHomepage(PlatformWindow dialog);
// What ShellExecuteA's result (PlatformOpenAddress) says is wrong, as a
// sentence; null when there is nothing to tell.
const char* HomepageFailure(uintptr_t result);
