// The record Hueline keeps in the Windows directory while it changes
// system.ini (hueline.mrk): the length and CRC-32 of system.ini's content
// before the change and of the content it is writing. It is flushed to the
// disk before system.ini is truncated and removed once system.ini is whole
// again, so that a start after a crash can tell from the files themselves
// whether the change ended, never began, or has to be undone from a copy
// that is known to be right.
#pragma once

#include <stdint.h>

struct JournalRecord {
    uint32_t oldLength, oldCrc;  // system.ini before the change
    uint32_t newLength, newCrc;  // what the change writes
    // What the change does, so that the new content can be made again from
    // the old: JournalRemovesColors, or JournalInstalls + 16 * the
    // background's number + the text's number.
    uint32_t change;
};
const uint32_t JournalRemovesColors = 0;
const uint32_t JournalInstalls = 0x100;
const uint32_t JournalChangeNotRecorded = 0xFFFFFFFFu;  // a journal of version 1

// CRC-32 (the one of zip and PNG) of count bytes, continued from crc (0 to
// begin with).
uint32_t Crc32(uint32_t crc, const char* bytes, unsigned count);

// The journal's bytes: eight lines of text with CR LF ends, always
// JournalSize bytes long: the two lengths and CRC-32s in hexadecimal, the two
// lengths again in decimal as DIR prints them (for a recovery by hand at a
// DOS prompt, README.TXT), the change, and last a CRC-32 of the lines before
// it.
const unsigned JournalSize = 315;
void BuildJournal(const JournalRecord& journal, char* out);
// False when bytes are not a whole journal of this layout, or of the earlier
// one without the decimal lengths (JournalSizeVersion1 bytes), with a right
// check.
const unsigned JournalSizeVersion1 = 191;
bool ReadJournal(const char* bytes, unsigned length, JournalRecord* journal);
// True when bytes are a journal of either layout cut short while it was
// written: shorter than a whole one, or as long with a tail of NULs, and
// right as far as they go. Such a journal was never finished, so system.ini
// was never touched.
bool IsUnfinishedJournal(const char* bytes, unsigned length);
