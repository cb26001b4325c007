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

void VisitHomepage(PlatformWindow dialog)
{
    PlayCue("click.wav", CueAsync);
    unsigned long code = PlatformOpenAddress(HomepageAddress);
    if (code == 0)
        return;
    // A Windows 95 without a browser knows no program for the address.
    const char* cause = code == 2 || code == 3 || code == 31 ? "No web browser is set up to open it."
                                                             : CauseOfFailedStart(code);
    FormatArg told[] = {{HomepageAddress}, {cause}};
    if (FormatText(HomepageMessage, TextBufferSize, "The homepage %s could not be opened. %s", told, 2) >= 0)
        PlatformShowFailure(dialog, "Hueline", HomepageMessage);
}
