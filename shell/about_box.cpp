#include "shell/about_box.h"

#include "fullscreen/full_screen_test.h"
#include "resources/resource.h"
#include "shell/sound_cues.h"

const char HomepageAddress[] = HOMEPAGE_ADDRESS;

void ShowAboutBox(PlatformWindow dialog)
{
    PlayCue("click.wav", CueAsync);
    PlatformRunAboutBox(dialog);
}

static char HomepageMessage[TextBufferSize];

const char* HomepageFailure(uintptr_t result)
{
    // Above 32 the shell opened the page. 28 to 30 say that the browser did
    // not answer the shell's DDE conversation in time, failed it or was busy:
    // Internet Explorer 5 and 5.5, started that way (Windows 98 SE, Me), gives
    // these and still shows the page, so they are not told as a failure.
    if (result > 32 || (result >= 28 && result <= 30))
        return nullptr;
    // A Windows 95 without a browser knows no program for the address.
    if (result == 2 || result == 3 || result == 31)
        return "No web browser is set up to open it.";
    return CauseOfFailedStart((unsigned long)result);
}

void VisitHomepage(PlatformWindow dialog)
{
    PlayCue("click.wav", CueAsync);
    const char* cause = HomepageFailure(PlatformOpenAddress(HomepageAddress));
    if (cause == nullptr)
        return;
    FormatArg told[] = {{HomepageAddress}, {cause}};
    if (FormatText(HomepageMessage, TextBufferSize, "The homepage %s could not be opened. %s", told, 2) >= 0)
        PlatformShowFailure(dialog, "Hueline", HomepageMessage);
}
