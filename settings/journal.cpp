#include "settings/journal.h"

#include "core/text.h"

namespace {

// The layouts, with a run of eight '#' for each number (the two lengths and
// CRC-32s, in version 2 a fifth for the change it made) and then the check,
// written in hexadecimal with its leading zeros, and a run of '@' for each
// length in decimal as DIR prints it: right-aligned, with commas between the
// thousands. Versions 1 and 2 come from the released 1.0.0, which wrote
// system.ini in place; a change interrupted under it may have left one.
struct Layout {
    const char* text;
    unsigned size;
    unsigned fields;  // runs of '#', the check's among them
    unsigned version;
};
const char CurrentText[] =
    "Hueline journal, version 3\r\n"
    "Hueline keeps this file while it replaces SYSTEM.INI; see README.TXT.\r\n"
    "SYSTEM.INI before: ######## ########\r\n"
    "SYSTEM.INI after:  ######## ########\r\n"
    "length before, as DIR shows it: @@@@@@@@@@@@@ bytes\r\n"
    "length after, as DIR shows it:  @@@@@@@@@@@@@ bytes\r\n"
    "check: ########\r\n";
const char SecondText[] =
    "Hueline journal, version 2\r\n"
    "Hueline keeps this file while it changes SYSTEM.INI; see README.TXT.\r\n"
    "system.ini before: ######## ########\r\n"
    "system.ini after:  ######## ########\r\n"
    "length before, as DIR shows it: @@@@@@@@@@@@@ bytes\r\n"
    "length after, as DIR shows it:  @@@@@@@@@@@@@ bytes\r\n"
    "change: ########\r\n"
    "check: ########\r\n";
const char FirstText[] =
    "Hueline journal, version 1\r\n"
    "Hueline keeps this file while it changes system.ini; see README.TXT.\r\n"
    "system.ini before: ######## ########\r\n"
    "system.ini after:  ######## ########\r\n"
    "check: ########\r\n";
static_assert(sizeof CurrentText - 1 == JournalSize, "the layout is the journal's size");
static_assert(sizeof SecondText - 1 == JournalLargestSize, "the second is the largest");
const unsigned MostFields = 6;
const Layout Layouts[] = {{CurrentText, sizeof CurrentText - 1, 5, JournalReplacesWhole},
                          {SecondText, sizeof SecondText - 1, 6, 2},
                          {FirstText, sizeof FirstText - 1, 5, 1}};

const unsigned Digits = 8;
const unsigned DecimalDigits = 13;  // 4,294,967,295

// Where each run of '#' (at) and of '@' (decimal) stands in layout.
void FindFields(const Layout& layout, unsigned* at, unsigned* decimal)
{
    unsigned n = 0, d = 0;
    for (unsigned i = 0; i < layout.size; ++i) {
        if (layout.text[i] == '#' && n < layout.fields) {
            at[n++] = i;
            i += Digits - 1;
        } else if (layout.text[i] == '@' && d < 2) {
            decimal[d++] = i;
            i += DecimalDigits - 1;
        }
    }
}

const char HexDigits[] = "0123456789ABCDEF";

void PutHex(char* out, uint32_t number)
{
    for (unsigned i = 0; i < Digits; ++i)
        out[i] = HexDigits[(number >> (4 * (Digits - 1 - i))) & 15];
}

// Right-aligned in DecimalDigits places, spaces before it.
void PutDecimal(char* out, uint32_t number)
{
    unsigned at = DecimalDigits;
    unsigned digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            out[--at] = ',';
        out[--at] = (char)('0' + number % 10);
        number /= 10;
        ++digits;
    } while (number != 0);
    while (at > 0)
        out[--at] = ' ';
}

bool GetHex(const char* in, uint32_t* number)
{
    uint32_t n = 0;
    for (unsigned i = 0; i < Digits; ++i) {
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

// numbers: the layout's fields but the check, in order.
void Build(const Layout& layout, const uint32_t* numbers, char* out)
{
    unsigned at[MostFields], decimal[2] = {0, 0};
    FindFields(layout, at, decimal);
    CopyBytes(out, layout.text, layout.size);
    const unsigned check = layout.fields - 1;
    for (unsigned n = 0; n < check; ++n)
        PutHex(out + at[n], numbers[n]);
    if (decimal[0] != 0) {
        PutDecimal(out + decimal[0], numbers[0]);
        PutDecimal(out + decimal[1], numbers[2]);
    }
    PutHex(out + at[check], Crc32(0, out, at[check]));
}

// The tables of the CRC, four bytes at a time, made at first use (the
// program has no constructors of process-wide data): CrcTable[0] is the
// byte-wise table, CrcTable[k] that of a byte followed by k zero bytes.
uint32_t CrcTable[4][256];

void MakeCrcTable()
{
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        CrcTable[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (int k = 1; k < 4; ++k)
            CrcTable[k][n] = (CrcTable[k - 1][n] >> 8) ^ CrcTable[0][CrcTable[k - 1][n] & 0xFF];
}

}  // namespace

uint32_t Crc32(uint32_t crc, const char* bytes, unsigned count)
{
    if (CrcTable[0][1] == 0)
        MakeCrcTable();
    const unsigned char* b = (const unsigned char*)bytes;
    crc = ~crc;
    for (; count >= 4; count -= 4, b += 4) {
        crc ^= b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24;
        crc = CrcTable[3][crc & 0xFF] ^ CrcTable[2][(crc >> 8) & 0xFF] ^ CrcTable[1][(crc >> 16) & 0xFF] ^
              CrcTable[0][crc >> 24];
    }
    for (; count > 0; --count, ++b)
        crc = CrcTable[0][(crc ^ *b) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void BuildJournal(const JournalRecord& journal, char* out)
{
    const uint32_t numbers[] = {journal.oldLength, journal.oldCrc, journal.newLength, journal.newCrc};
    Build(Layouts[0], numbers, out);
}

bool ReadJournal(const char* bytes, unsigned length, JournalRecord* journal)
{
    // The numbers are taken from their places, and the journal they make
    // must be these very bytes: every other byte, the decimal lengths and
    // the check included.
    static char made[JournalLargestSize];
    for (const Layout& layout : Layouts) {
        if (length != layout.size)
            continue;
        unsigned at[MostFields], decimal[2];
        FindFields(layout, at, decimal);
        uint32_t numbers[MostFields - 1];
        for (unsigned n = 0; n + 1 < layout.fields; ++n) {
            if (!GetHex(bytes + at[n], &numbers[n]))
                return false;
        }
        Build(layout, numbers, made);
        for (unsigned i = 0; i < length; ++i) {
            if (made[i] != bytes[i])
                return false;
        }
        *journal = JournalRecord{numbers[0], numbers[1], numbers[2], numbers[3], layout.version};
        return true;
    }
    return false;
}
