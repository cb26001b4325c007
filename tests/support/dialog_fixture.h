// A test with the stand-in main dialog and a system.ini of its own, set up
// the way the program starts: sounds on, no restart asked, Init done.
#pragma once

#include <string>

#include "tests/host/host_control.h"
#include "tests/support/settings_files.h"

class DialogTest : public SettingsFilesTest {
protected:
    // Writes ini as system.ini and runs Init on a fresh stand-in dialog, on
    // Windows 98 or on the NT family.
    void StartWith(const std::string& ini, bool windowsNt = false);
    // Starts the program again on the files as they stand, answering Yes to
    // what it asks when answerYes.
    void Launch(bool answerYes = false, bool windowsNt = false);
    HostDialog& Dialog() { return HostDialogState(); }
    PlatformWindow Window() { return HostWindow(); }
    // The names selected in the background and text lists, "-" for none.
    std::string BackListSelection();
    std::string TextListSelection();
    // Every sound call so far as "file/flags", joined by spaces.
    std::string Sounds();
};
