// Rewriting system.ini: installing the colour pair, or removing it.
#pragma once

#include "core/text.h"

// Copies system.ini to system.old, then rebuilds system.ini from system.old:
// drops every line that begins with a removal marker and, when apply is true,
// writes the MarkerBlock for ColorSelection.InstalledBack and InstalledText
// after every [386Enh] header. Reports nothing. system.ini is only truncated
// once system.old holds all of it, and is put back from system.old when the
// rebuild fails part way.
void WriteColorSettings(bool apply);

// Where the rebuilt bytes go; false when they could not be taken.
typedef bool (*ByteSink)(void* context, const char* bytes, unsigned count);

// The rebuild itself, fed system.old's bytes in pieces of any size. A line
// ends at LF (kept) or NUL (dropped). A line too long for the line buffer is
// passed through unchanged and not looked at. A last line with no LF is kept
// and treated like any other line.
struct SettingsRewrite {
    ByteSink sink;
    void* context;
    bool ok;
    const char* block;  // written after each header line; 0 bytes when removing
    unsigned blockLength;
    char line[TextBufferSize];  // a line begun in an earlier piece
    unsigned length;
    bool passing;  // inside a line too long to look at, which is kept as it stands
};
void BeginSettingsRewrite(SettingsRewrite* rewrite, const char* block, unsigned blockLength,
                          ByteSink sink, void* context);
// Both return false once the sink has failed; nothing more is written then.
bool RewriteSettingsBytes(SettingsRewrite* rewrite, const char* bytes, unsigned count);
bool FinishSettingsRewrite(SettingsRewrite* rewrite);
