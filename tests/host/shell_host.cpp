// Host stand-in of the preview's icons, the About box and the shell: records
// what the program asked for, in order with the sounds it played.
#include "tests/host/host_control.h"
#include "platform/platform.h"

namespace {

HostShell Shell;

}  // namespace

HostShell& HostResetShell()
{
    Shell = HostShell();
    Shell.openResult = 42;
    return Shell;
}

HostShell& HostShellState()
{
    return Shell;
}

int HostIconResource(PlatformIcon icon)
{
    return (int)(intptr_t)icon;
}

PlatformIcon PlatformLoadIcon(int resource)
{
    return (PlatformIcon)(intptr_t)resource;
}

void PlatformDrawIcons(PlatformWindow, int x, int y, PlatformIcon under, PlatformIcon over)
{
    // Dialog units to pixels as MapDialogRect does for 8-point "MS Sans
    // Serif" at 96 dots per inch: 6 x 13 pixels per 4 x 8 units.
    Shell.drawings.push_back({x * 6 / 4, y * 13 / 8, HostIconResource(under), HostIconResource(over),
                              HostDialogState().sounds.size()});
}

void PlatformRunAboutBox(PlatformWindow owner)
{
    Shell.aboutOwners.push_back(owner);
    Shell.aboutSoundsBefore.push_back(HostDialogState().sounds.size());
}

uintptr_t PlatformOpenAddress(const char* address)
{
    Shell.addresses.push_back(address);
    return Shell.openResult;
}

void PlatformSetProgramIcons(PlatformWindow) {}
void PlatformErasePaint(PlatformWindow) {}
