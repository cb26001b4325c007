// What the user is told about a change of system.ini: the file that failed,
// by its full path, and why, as far as the system told. Each returns the
// text, or null when there is nothing to tell; the text lasts until the next
// call.
#pragma once

#include "settings/settings_writer.h"

const char* WriteMessage(bool apply, SettingsWriteResult result, const SettingsWriteDetails& details);
// For SettingsNeedsDecision, the question whether to discard the journal.
const char* RecoveryMessage(SettingsRecovery result, const SettingsRecoveryDetails& details);
const char* DiscardFailedMessage(const SettingsProblem& problem);
