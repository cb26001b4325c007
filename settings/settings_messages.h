// What the user is told about a change of system.ini, in words a Windows 98
// user can act on: what happened, what state system.ini is in now, and what
// to do next; each file by its full path as the disk shows it, and the cause
// as far as the system told. The text lasts until the next call.
#pragma once

#include "settings/settings_writer.h"

struct SettingsMessage {
    const char* text;  // null when there is nothing to tell
    bool failure;      // a failure that asks something of the user (the stop
                       // icon), rather than a result or a notice
};

SettingsMessage WriteMessage(bool apply, SettingsWriteResult result, const SettingsWriteDetails& details);
SettingsMessage RecoveryMessage(SettingsRecovery result, const SettingsRecoveryDetails& details);
// For SettingsNeedsAnswer: the question, whose Yes and No are those of
// SettingsQuestion.
const char* RecoveryQuestion(const SettingsRecoveryDetails& details);
