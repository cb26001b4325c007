// The journal Hueline keeps in the Windows directory while it changes
// system.ini (HUELINE.MRK): the length and CRC-32 of system.ini's content
// before the change and of the content that replaces it. It is on the disk
// before system.old or system.ini is removed or renamed, and goes last, so
// that a start after a crash can tell from the files themselves how far the
// change went and which copies are whole.
#pragma once

#include <stdint.h>

// How a change was made. Since version 3 the new content is written whole
// into a file of its own and takes system.ini's place by a rename, so
// system.ini never holds anything but a whole content of Hueline's; versions
// 1 and 2, of the released 1.0.0, wrote it in place, and a change of theirs
// cut short can leave a part of it.
const unsigned JournalReplacesWhole = 3;

struct JournalRecord {
    uint32_t oldLength, oldCrc;  // system.ini before the change
    uint32_t newLength, newCrc;  // what the change puts in its place
    unsigned version;            // JournalReplacesWhole, or 1 or 2 for a change written in place
};

// CRC-32 (the one of zip and PNG) of count bytes, continued from crc (0 to
// begin with).
uint32_t Crc32(uint32_t crc, const char* bytes, unsigned count);

// The journal's bytes: seven lines of text with CR LF ends, always
// JournalSize bytes long: the two lengths and CRC-32s in hexadecimal, the two
// lengths again in decimal as DIR prints them (for a recovery by hand at a
// DOS prompt, README.TXT), and last a CRC-32 of the lines before it.
const unsigned JournalSize = 298;
void BuildJournal(const JournalRecord& journal, char* out);
// False when bytes are not a whole journal of this layout or of one of the
// two earlier ones, with a right check. The largest of them is
// JournalLargestSize bytes.
const unsigned JournalLargestSize = 315;
bool ReadJournal(const char* bytes, unsigned length, JournalRecord* journal);
