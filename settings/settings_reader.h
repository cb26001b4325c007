// Reading the installed colours from system.ini.
#pragma once

#include "core/text.h"

// Sets ColorSelection.InstalledBack and InstalledText from the last
// MessageBackColor= and MessageTextColor= lines of system.ini, or to "Blue"
// and "White" where the file has none. Reports nothing.
void ReadInstalledColors();

// The scan behind it, fed the file's bytes in pieces of any size. A line ends
// at LF, CR or NUL; a final line with no end is not looked at, and neither is a
// line too long for the line buffer. back and text are colour numbers, or
// ColorNotFound while no line has named one.
struct SettingsScan {
    char line[TextBufferSize];
    unsigned length;
    bool inLine;    // collecting a line that may name a colour
    char previous;  // the last byte of the previous piece
    unsigned char back;
    unsigned char text;
};
void BeginSettingsScan(SettingsScan* scan);
void ScanSettingsBytes(SettingsScan* scan, const char* bytes, unsigned count);

// The colour number of the text after "=": a hexadecimal number read as the C
// library's strtol would read it in base 16 (leading white space, a sign and a
// 0x prefix allowed, no digits meaning 0), or ColorNotFound outside 0-15.
unsigned char ColorNumberOfValue(const char* value);
