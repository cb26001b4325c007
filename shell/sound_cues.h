// The short sounds that go with most actions, and the switch for them all.
#pragma once

#include "platform/platform.h"

// Non-zero while sounds are on; on at every start (the entry sets it: no
// initialized data), never saved.
extern int SoundsEnabled;

enum CueMode {
    CueAsync,  // start and return at once; cuts off the sound playing
    CueSync,   // return when the sound has finished
    CueLoop,   // start and repeat until stopped
    CueStop,   // stop the sound playing (file is ignored)
};

// Plays file (a bare name: the system's search for sounds finds it) in mode;
// nothing at all while sounds are off. When the file cannot be found the
// system plays its default sound.
void PlayCue(const char* file, CueMode mode);

// The "Play Sounds" menu item: flips the switch, sets the item's check mark
// to match, and clicks (heard only when sounds have just been turned on).
void ToggleSounds(PlatformWindow dialog);
