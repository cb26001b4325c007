#include <windows.h>
#include <mmsystem.h>

#include "platform/platform.h"

void PlatformPlaySound(const char* file, unsigned flags)
{
    sndPlaySoundA(file, flags);
}
