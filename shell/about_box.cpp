#include "shell/about_box.h"

#include "resources/resource.h"
#include "shell/sound_cues.h"

const char HomepageAddress[] = HOMEPAGE_ADDRESS;

void ShowAboutBox(PlatformWindow dialog)
{
    PlayCue("click.wav", CueAsync);
    PlatformRunAboutBox(dialog);
}

void VisitHomepage()
{
    PlayCue("click.wav", CueAsync);
    PlatformOpenAddress(HomepageAddress);
}
