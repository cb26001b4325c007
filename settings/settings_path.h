// Where system.ini and its backup live.
#pragma once

// Formats, each with the Windows directory for %s.
#define SettingsIniFormat "%s\\system.ini"
#define SettingsOldFormat "%s\\system.old"
// The mark of a rewrite under way: while it stands, system.ini may be short
// and system.old is the one whole copy.
#define SettingsMarkFormat "%s\\hueline.mrk"

// The largest system.ini the rewrite takes on (Windows' own are a few KiB):
// a larger one is left as it is and the rewrite reported as failed.
const unsigned LargestSettingsFile = 32u << 20;

// Builds a path in the Windows directory from one of the formats above into
// out (TextBufferSize bytes). False when the path cannot be had or does not fit.
bool SettingsFilePath(char* out, const char* format);
