// The five lines Hueline writes after each [386Enh] header of system.ini,
// and the line beginnings that every rewrite removes.
#pragma once

#define MarkerBlockLine1 ";; Following 2 lines by Hueline (hueline@hueline.org)"
#define MarkerBlockLine2 ";; They are used to change the color of the blue screen of death"
#define MarkerBlockLine5 ";; End of Hueline Lines"
#define MarkerBackKey "MessageBackColor="
#define MarkerTextKey "MessageTextColor="

// A line of system.ini beginning with any of these is dropped by a rewrite.
const unsigned RemovalMarkerCount = 5;
extern const char* const RemovalMarkers[RemovalMarkerCount];
extern const unsigned RemovalMarkerLengths[RemovalMarkerCount];

// The section header after which the block goes (a prefix test, case-sensitive).
#define SectionHeader "[386Enh]"

// Room for the block: three comment lines, two colour lines, CR LF each.
const unsigned MarkerBlockSize = 192;

// Writes the MarkerBlock for the two colour names into out (MarkerBlockSize
// bytes) and returns its length, or 0 when a name is not a colour name: then
// no colour lines can be written.
unsigned BuildMarkerBlock(char* out, const char* back, const char* text);
