// Where system.ini and its backup live, and how much of them is read at once.
#pragma once

// Formats, each with the Windows directory for %s.
#define SettingsIniFormat "%s\\system.ini"
#define SettingsOldFormat "%s\\system.old"

// Bytes moved per read or write call.
const unsigned SettingsChunkSize = 4096;

// Builds a path in the Windows directory from one of the formats above into
// out (TextBufferSize bytes). False when the path cannot be had or does not fit.
bool SettingsFilePath(char* out, const char* format);
