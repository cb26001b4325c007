#include "shell/sound_cues.h"

#include "resources/resource.h"

int SoundsEnabled;  // set at the start: WinMain

// sndPlaySoundA's flags.
static const unsigned SoundAsync = 0x0001;
static const unsigned SoundLoop = 0x0008;

void PlayCue(const char* file, CueMode mode)
{
    if (!SoundsEnabled)
        return;
    switch (mode) {
    case CueAsync:
        PlatformPlaySound(file, SoundAsync);
        break;
    case CueSync:
        PlatformPlaySound(file, 0);
        break;
    case CueLoop:
        PlatformPlaySound(file, SoundAsync | SoundLoop);
        break;
    case CueStop:
        PlatformPlaySound(nullptr, 0);
        break;
    }
}

void ToggleSounds(PlatformWindow dialog)
{
    SoundsEnabled = SoundsEnabled == 0 ? 1 : 0;
    PlatformCheckMenuItem(dialog, IDM_SOUNDS, SoundsEnabled != 0);
    PlayCue("click.wav", CueAsync);
}
