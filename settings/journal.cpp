#include "settings/journal.h"

#include "core/text.h"

namespace {

// The layout, with a run of eight '#' for each number, written in
// hexadecimal with its leading zeros.
const char Layout[] =
    "Hueline journal, version 2\r\n"
    "Hueline keeps this file while it changes system.ini; see README.TXT.\r\n"
    "system.ini before: ######## ########\r\n"
    "system.ini after:  ######## ########\r\n"
    "change: ########\r\n"
    "check: ########\r\n";
static_assert(sizeof Layout - 1 == JournalSize, "the layout is the journal's size");

const unsigned FieldCount = 6;
const unsigned CheckField = FieldCount - 1;
const unsigned Digits = 8;

// Where each number stands, in the order of JournalRecord and then the check.
void FindFields(unsigned* at)
{
    unsigned n = 0;
    for (unsigned i = 0; i < JournalSize && n < FieldCount; ++i) {
        if (Layout[i] == '#') {
            at[n++] = i;
            i += Digits - 1;
        }
    }
}

const char HexDigits[] = "0123456789ABCDEF";

void PutHex(char* out, uint32_t number)
{
    for (unsigned i = 0; i < Digits; ++i)
        out[i] = HexDigits[(number >> (4 * (Digits - 1 - i))) & 15];
}

bool GetHex(const char* in, uint32_t* number, unsigned digits = Digits)
{
    uint32_t n = 0;
    for (unsigned i = 0; i < digits; ++i) {
        unsigned digit = 0;
        while (digit < 16 && HexDigits[digit] != in[i])
            ++digit;
        if (digit == 16)
            return false;  // upper case only, as written
        n = n << 4 | digit;
    }
    *number = n;
    return true;
}

// The table of the byte-wise CRC, made at first use (the program has no
// constructors of process-wide data).
uint32_t CrcTable[256];

void MakeCrcTable()
{
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        CrcTable[n] = c;
    }
}

}  // namespace

uint32_t Crc32(uint32_t crc, const char* bytes, unsigned count)
{
    if (CrcTable[1] == 0)
        MakeCrcTable();
    crc = ~crc;
    for (unsigned i = 0; i < count; ++i)
        crc = CrcTable[(crc ^ (unsigned char)bytes[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void BuildJournal(const JournalRecord& journal, char* out)
{
    unsigned at[FieldCount];
    FindFields(at);
    CopyBytes(out, Layout, JournalSize);
    const uint32_t numbers[] = {journal.oldLength, journal.oldCrc, journal.newLength, journal.newCrc,
                                journal.change};
    for (unsigned n = 0; n < CheckField; ++n)
        PutHex(out + at[n], numbers[n]);
    PutHex(out + at[CheckField], Crc32(0, out, at[CheckField]));
}

bool ReadJournal(const char* bytes, unsigned length, JournalRecord* journal)
{
    if (length != JournalSize)
        return false;
    unsigned at[FieldCount];
    FindFields(at);
    uint32_t numbers[FieldCount];
    unsigned field = 0;
    for (unsigned i = 0; i < JournalSize; ++i) {
        if (field < FieldCount && i == at[field]) {
            if (!GetHex(bytes + i, &numbers[field]))
                return false;
            i += Digits - 1;
            ++field;
        } else if (bytes[i] != Layout[i]) {
            return false;
        }
    }
    if (Crc32(0, bytes, at[CheckField]) != numbers[CheckField])
        return false;
    *journal = JournalRecord{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4]};
    return true;
}

bool IsUnfinishedJournal(const char* bytes, unsigned length)
{
    if (length > JournalSize)
        return false;
    unsigned end = length;
    while (end > 0 && bytes[end - 1] == '\0')
        --end;
    if (end == JournalSize)
        return false;  // whole: read, or damaged
    unsigned at[FieldCount];
    FindFields(at);
    unsigned field = 0;
    for (unsigned i = 0; i < end; ++i) {
        if (field < FieldCount && i >= at[field] + Digits)
            ++field;
        bool digit = field < FieldCount && i >= at[field];
        uint32_t ignored;
        if (digit ? !GetHex(bytes + i, &ignored, 1) : bytes[i] != Layout[i])
            return false;
    }
    return true;
}
