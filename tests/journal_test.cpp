// The journal's bytes: what is written is read back, and nothing else is
// taken for a journal: no changed byte, no journal cut short or too long, no
// mark of an earlier version.
#include <gtest/gtest.h>

#include <string>
#include <map>

#include "settings/journal.h"

using std::string;

TEST(Journal, OnlyAWholeJournalIsRead)
{
    EXPECT_EQ(Crc32(0, "123456789", 9), 0xCBF43926u);  // the check value of CRC-32
    EXPECT_EQ(Crc32(Crc32(0, "1234", 4), "56789", 5), 0xCBF43926u);

    const JournalRecord record = {0x1234, 0x89ABCDEFu, 0, 0xFFFFFFFFu, JournalInstalls + 0x9F};
    char bytes[JournalSize];
    BuildJournal(record, bytes);
    const string journal(bytes, JournalSize);
    EXPECT_NE(journal.find("system.ini before: 00001234 89ABCDEF\r\nsystem.ini after:  00000000 FFFFFFFF\r\n"
                           "length before, as DIR shows it:         4,660 bytes\r\n"
                           "length after, as DIR shows it:              0 bytes\r\n"),
              string::npos);
    // What an earlier Hueline wrote, without the decimal lengths, is read too.
    const string first = "Hueline journal, version 1\r\n"
                         "Hueline keeps this file while it changes system.ini; see README.TXT.\r\n"
                         "system.ini before: 00001234 89ABCDEF\r\nsystem.ini after:  00000000 FFFFFFFF\r\n"
                         "check: E5216C35\r\n";
    for (const string& whole : {journal, first}) {
        JournalRecord read = {};
        ASSERT_TRUE(ReadJournal(whole.data(), (unsigned)whole.size(), &read)) << whole;
        EXPECT_EQ(read.oldLength, record.oldLength);
        EXPECT_EQ(read.oldCrc, record.oldCrc);
        EXPECT_EQ(read.newLength, record.newLength);
        EXPECT_EQ(read.newCrc, record.newCrc);
        EXPECT_EQ(read.change, whole == first ? JournalChangeNotRecorded : record.change);
    }
    // The decimal lengths as DIR prints them, at each place a comma comes.
    for (const auto& d : std::map<uint32_t, string>{{999, "  999"}, {1000, "1,000"}, {4294967295u, "4,294,967,295"}}) {
        BuildJournal(JournalRecord{d.first, 0, d.first, 0, 0}, bytes);
        EXPECT_NE(string(bytes, JournalSize).find(d.second + " bytes\r\nlength after"), string::npos) << d.second;
    }
    JournalRecord read = {};

    std::vector<string> damaged = {"", journal.substr(0, JournalSize - 1), journal + "\r\n",
                                   first.substr(0, JournalSizeVersion1 - 1) + " ",
                                   "Hueline is rewriting system.ini; system.old holds it as it was.\r\n"};
    for (const string& whole : {journal, first}) {
        for (size_t at = 0; at < whole.size(); ++at) {
            string changed = whole;
            changed[at] = changed[at] == 'F' ? 'f' : (char)(changed[at] ^ 1);
            damaged.push_back(changed);
        }
    }
    for (const string& bytes : damaged) {
        EXPECT_FALSE(ReadJournal(bytes.data(), (unsigned)bytes.size(), &read)) << testing::PrintToString(bytes);
        // Cut short as it was written only when it is a start of a journal.
        EXPECT_EQ(IsUnfinishedJournal(bytes.data(), (unsigned)bytes.size()),
                  bytes.size() < JournalSize && journal.compare(0, bytes.size(), bytes) == 0)
            << testing::PrintToString(bytes);
    }
    // Its start, then the NULs of bytes that never reached the disk.
    for (size_t at = 0; at <= JournalSize; ++at) {
        const string cut = journal.substr(0, at) + string(JournalSize - at, '\0');
        EXPECT_EQ(IsUnfinishedJournal(cut.data(), JournalSize), at < JournalSize) << at;
    }
}
