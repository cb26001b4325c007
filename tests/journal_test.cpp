// The journal's bytes: what is written is read back, and so is what the
// released 1.0.0 wrote; nothing else is taken for a journal: no changed
// byte, no journal cut short or too long.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "settings/journal.h"

using std::string;

TEST(Journal, OnlyAWholeJournalIsRead)
{
    EXPECT_EQ(Crc32(0, "123456789", 9), 0xCBF43926u);  // the check value of CRC-32
    EXPECT_EQ(Crc32(Crc32(0, "1234", 4), "56789", 5), 0xCBF43926u);
    const string long_(1000, 'x');
    EXPECT_EQ(Crc32(Crc32(0, long_.data(), 333), long_.data() + 333, 667), Crc32(0, long_.data(), 1000));

    const JournalRecord record = {0x1234, 0x89ABCDEFu, 0, 0xFFFFFFFFu, JournalReplacesWhole};
    char bytes[JournalSize];
    BuildJournal(record, bytes);
    const string journal(bytes, JournalSize);
    EXPECT_NE(journal.find("SYSTEM.INI before: 00001234 89ABCDEF\r\nSYSTEM.INI after:  00000000 FFFFFFFF\r\n"
                           "length before, as DIR shows it:         4,660 bytes\r\n"
                           "length after, as DIR shows it:              0 bytes\r\n"),
              string::npos);
    // What the released 1.0.0 wrote, which changed system.ini in place, is read too.
    const string second = "Hueline journal, version 2\r\nHueline keeps this file while it changes SYSTEM.INI; see "
                          "README.TXT.\r\nsystem.ini before: 00001234 89ABCDEF\r\nsystem.ini after:  00000000 "
                          "FFFFFFFF\r\nlength before, as DIR shows it:         4,660 bytes\r\nlength after, as DIR "
                          "shows it:              0 bytes\r\nchange: 0000019F\r\ncheck: 27427E6A\r\n";
    const string first = "Hueline journal, version 1\r\n"
                         "Hueline keeps this file while it changes system.ini; see README.TXT.\r\n"
                         "system.ini before: 00001234 89ABCDEF\r\nsystem.ini after:  00000000 FFFFFFFF\r\n"
                         "check: E5216C35\r\n";
    const std::map<string, unsigned> versions = {{journal, JournalReplacesWhole}, {second, 2}, {first, 1}};
    for (const auto& whole : versions) {
        JournalRecord read = {};
        ASSERT_TRUE(ReadJournal(whole.first.data(), (unsigned)whole.first.size(), &read)) << whole.first;
        EXPECT_EQ(read.oldLength, record.oldLength);
        EXPECT_EQ(read.oldCrc, record.oldCrc);
        EXPECT_EQ(read.newLength, record.newLength);
        EXPECT_EQ(read.newCrc, record.newCrc);
        EXPECT_EQ(read.version, whole.second);
    }
    // The decimal lengths as DIR prints them, at each place a comma comes.
    for (const auto& d : std::map<uint32_t, string>{{999, "  999"}, {1000, "1,000"}, {4294967295u, "4,294,967,295"}}) {
        BuildJournal(JournalRecord{d.first, 0, d.first, 0, JournalReplacesWhole}, bytes);
        EXPECT_NE(string(bytes, JournalSize).find(d.second + " bytes\r\nlength after"), string::npos) << d.second;
    }

    // Cut short, too long, a tail of NULs, or any byte changed.
    std::vector<string> damaged;
    for (const auto& whole : versions) {
        const string& w = whole.first;
        for (const string& d : {string(), w.substr(0, w.size() - 1), w + "\r\n", w.substr(0, 100) + string(w.size() - 100, '\0')})
            damaged.push_back(d);
        for (size_t at = 0; at < w.size(); ++at) {
            string changed = w;
            changed[at] = changed[at] == 'F' ? 'f' : (char)(changed[at] ^ 1);
            damaged.push_back(changed);
        }
    }
    JournalRecord read = {};
    for (const string& d : damaged)
        EXPECT_FALSE(ReadJournal(d.data(), (unsigned)d.size(), &read)) << testing::PrintToString(d);
}
