// The settings writer on any file, with any one file operation failing:
// - a Restore leaves every line but the colour and comment lines, in order;
//   a NUL or a lone CR never makes it drop or glue one;
// - applying twice leaves one block per [386Enh] header, with the second
//   pair; restoring after applying gives what restoring alone gives;
// - after an Apply the reader reads the applied pair (when there is a
//   header); after a Restore it reads none (Blue on White);
// - system.old is the file as it was before a call that wrote, and never a
//   part of it; a call that failed leaves system.ini as it was, or, when even
//   its new content was put in place after all; system.ini is never
//   written into, and when it is missing the journal stands beside a whole
//   copy, from which the next start puts it in place. A UTF-16 file is never
//   rewritten.
#include <cstdint>
#include <string>
#include <vector>

#include "core/color_table.h"
#include "core/selection.h"
#include "settings/marker_block.h"
#include "settings/settings_lines.h"
#include "settings/settings_reader.h"
#include "settings/settings_rewrite.h"
#include "settings/settings_writer.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/reference.h"
#include "tests/host/host_control.h"

namespace {

struct Pair {
    unsigned back, text;
};

std::string Block(Pair pair)
{
    char block[MarkerBlockSize];
    unsigned length = BuildMarkerBlock(block, ColorTable[pair.back], ColorTable[pair.text]);
    FUZZ_CHECK(length > 0, "every colour pair has a block");
    return std::string(block, length);
}

// One call when the room first offered is enough, which it is for a file with
// a header or two; otherwise a second call into the length the first told.
std::string Rewrite(const std::string& old, const std::string& block, unsigned* headers)
{
    const unsigned room = (unsigned)(old.size() + 2 * block.size() + 16);
    std::string out(room, '\0');
    unsigned length = RewriteSettingsText(old.data(), (unsigned)old.size(), block.data(),
                                          (unsigned)block.size(), &out[0], room, headers);
    if (length > room) {
        out.assign(length, '\0');
        unsigned again = RewriteSettingsText(old.data(), (unsigned)old.size(), block.data(),
                                             (unsigned)block.size(), &out[0], length, headers);
        FUZZ_CHECK(again == length, "the length told is the length written");
    }
    out.resize(length);
    return out;
}

void CheckRead(const std::string& text, int back, int textColour, const char* what)
{
    int b, t;
    reference::Read(text, &b, &t);
    FUZZ_CHECK(b == back && t == textColour, what);
    SettingsColors colors = {ColorNotFound, ColorNotFound};
    ScanSettingsLines(&colors, text.data(), (unsigned)text.size(), true);
    FUZZ_CHECK((colors.back == ColorNotFound ? -1 : colors.back) == back, what);
    FUZZ_CHECK((colors.text == ColorNotFound ? -1 : colors.text) == textColour, what);
}

// Short lines beginning "MessageBackColor=": long ones are left alone.
unsigned CountKeyLines(const std::string& text)
{
    unsigned n = 0;
    for (const reference::Line& line : reference::Split(text))
        n += reference::Looked(line) && reference::Begins(line.content, "MessageBackColor=");
    return n;
}

unsigned Occurrences(const std::string& text, const std::string& part)
{
    unsigned n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

struct Rewritten {
    std::string restored, applied;
    unsigned headers;
};

// Checks the rewrite of text on its own; gives back its Restore and its Apply
// of the first pair, which the whole call must write.
Rewritten CheckBytes(const std::string& text, Pair first, Pair second)
{
    const std::string firstBlock = Block(first), secondBlock = Block(second);
    const std::vector<reference::Line> lines = reference::Split(text);
    unsigned headers = 0;
    for (const reference::Line& line : lines)
        headers += reference::IsHeader(line);

    unsigned told;
    const std::string restored = Rewrite(text, "", &told);
    FUZZ_CHECK(told == 0, "a Restore puts no block");
    FUZZ_CHECK(reference::SameLines(restored, reference::Restored(text)), "a Restore keeps every other line, in order");
    CheckRead(restored, -1, -1, "after a Restore no colour is read");

    // A header on the last line, with no end, gets one from an Apply, so that
    // the block stands on lines of its own; a Restore keeps that end.
    const bool openHeader = !lines.empty() && lines.back().end.empty() && reference::IsHeader(lines.back());
    const std::string applied = Rewrite(text, firstBlock, &told);
    FUZZ_CHECK(RewriteSettingsText(text.data(), (unsigned)text.size(), firstBlock.data(),
                                   (unsigned)firstBlock.size(), nullptr, 0, nullptr) == applied.size(),
               "the length told with no room is the length written");
    FUZZ_CHECK(told == headers, "every [386Enh] header takes the block");
    FUZZ_CHECK(Rewrite(applied, "", nullptr) == restored + (openHeader ? "\r\n" : ""),
               "restoring after applying is restoring");
    if (headers > 0)
        CheckRead(applied, (int)first.back, (int)first.text, "after an Apply the pair is read");
    else
        CheckRead(applied, -1, -1, "with no header an Apply leaves no colour");

    const std::string twice = Rewrite(applied, secondBlock, &told);
    FUZZ_CHECK(told == headers, "the headers stay headers");
    FUZZ_CHECK(CountKeyLines(twice) == headers, "one block per header");
    FUZZ_CHECK(Occurrences(twice, secondBlock) == headers, "each block holds the second pair");
    FUZZ_CHECK(firstBlock == secondBlock || Occurrences(twice, firstBlock) == 0, "no first pair is left");
    if (headers > 0)
        CheckRead(twice, (int)second.back, (int)second.text, "after a second Apply its pair is read");
    FUZZ_CHECK(reference::SameLines(Rewrite(twice, "", nullptr), reference::Restored(restored + (openHeader ? "\r\n" : ""))),
               "restoring after two Applies is restoring");
    return {restored, applied, headers};
}

void CheckFiles(const std::string& text, const Rewritten& rewritten, bool missing, bool apply,
                Pair pair, unsigned failAt)
{
    const std::string older = "older content\r\n";
    ResetDisk();
    if (!missing)
        HostPutFile(HostWindowsPath("system.ini"), text);
    HostPutFile(HostWindowsPath("system.old"), older);
    ColorSelection.InstalledBack = ColorTable[pair.back];
    ColorSelection.InstalledText = ColorTable[pair.text];
    HostResetFileOperations(failAt);
    SettingsWriteDetails details;
    SettingsWriteResult result = WriteColorSettings(apply, &details);

    std::string ini, old, copy, mark;
    bool hasIni = HostGetFile(HostWindowsPath("system.ini"), &ini);
    bool hasOld = HostGetFile(HostWindowsPath("system.old"), &old);
    bool hasCopy = HostGetFile(HostWindowsPath("hueline.bak"), &copy);
    bool hasMark = HostGetFile(HostWindowsPath("hueline.mrk"), &mark);
    const std::string& wanted = apply ? rewritten.applied : rewritten.restored;
    FUZZ_CHECK(!hasOld || old == older || old == text, "system.old is the earlier backup or the whole file as it was");
    FUZZ_CHECK(!hasIni || missing || ini == text || ini == wanted, "system.ini is whole, old or new");
    FUZZ_CHECK(hasMark == details.journalStands, "no journal is left untold");
    switch (result) {
    case SettingsWritten:
    case SettingsNoSection:
        FUZZ_CHECK(!missing && hasIni && ini == wanted, "system.ini holds what was asked");
        FUZZ_CHECK(hasOld && old == text, "system.old is the file as it was");
        FUZZ_CHECK((result == SettingsNoSection) == (apply && rewritten.headers == 0), "no section is told as such");
        break;
    case SettingsUnchanged:
        FUZZ_CHECK(missing ? !hasIni : (hasIni && ini == text), "a failed call leaves system.ini as it was");
        FUZZ_CHECK(failAt != 0 || missing || reference::IsUtf16(text),
                   "nothing fails without a fault, but a missing or UTF-16 file");
        break;
    case SettingsUnfinished:
        FUZZ_CHECK(!hasIni && hasMark && (hasOld || hasCopy), "only a missing system.ini is unfinished, beside a copy");
        HostResetFileOperations(0);
        RecoverInterruptedRewrite();
        FUZZ_CHECK(HostGetFile(HostWindowsPath("system.ini"), &ini) && (ini == text || ini == wanted),
                   "the next start puts a whole content in place");
        FUZZ_CHECK(!HostGetFile(HostWindowsPath("hueline.mrk"), &mark), "and the journal goes");
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Six bytes of choices, then the file.
    if (size < 6 || size > (64u << 10))
        return 0;
    Pair first = {data[1] % 16u, data[2] % 16u};
    Pair second = {data[3] % 16u, data[4] % 16u};
    const std::string text(reinterpret_cast<const char*>(data + 6), size - 6);
    const Rewritten rewritten = CheckBytes(text, first, second);
    CheckFiles(text, rewritten, (data[0] & 1) != 0, (data[0] & 2) != 0, first, data[5] % 40u);
    return 0;
}
