// Reading the installed colours from system.ini.
#pragma once

#include "core/text.h"

// Sets ColorSelection.InstalledBack and InstalledText from the last
// MessageBackColor= and MessageTextColor= lines of system.ini, or to "Blue"
// and "White" where the file has none (or reads as UTF-16). Reports nothing.
void ReadInstalledColors();

// Colour numbers found so far, or ColorNotFound while no line has named one.
struct SettingsColors {
    unsigned char back;
    unsigned char text;
};

// The scan behind it, bytes in: looks at every whole line of bytes[0, count),
// which begins where a line begins (settings/settings_lines.h says what a line
// is), and returns where the first line that is not whole yet begins, so that
// the caller can put that part before the next bytes. With atEnd the bytes are
// the last of the file: a last line with no end is not looked at, and count is
// returned. A line with LongLineContent bytes or more is not looked at.
// bytes[count] must be a NUL (a sentinel, as a std::string's data has), and
// *nuls, when given, is set when bytes[0, count) holds a NUL, found on the way.
unsigned ScanSettingsLines(SettingsColors* colors, const char* bytes, unsigned count, bool atEnd,
                           bool* nuls = nullptr);

// The colour number of the length bytes after "=": a hexadecimal number read
// as the C library's strtol would read it in base 16 (leading white space, a
// sign and a 0x prefix allowed, no digits meaning 0), or ColorNotFound outside
// 0-15.
unsigned char ColorNumberOfValue(const char* value, unsigned length);
