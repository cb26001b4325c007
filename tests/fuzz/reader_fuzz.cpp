// The settings reader on any file: the colours it finds are those the last
// valid key lines name, whether it is fed the file whole, in pieces as the
// scan allows, or through the file layer; and never a number that is not a
// colour.
#include <cstdint>
#include <string>

#include "core/color_table.h"
#include "core/selection.h"
#include "settings/settings_reader.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/reference.h"
#include "tests/host/host_control.h"

namespace {

int NumberOf(unsigned char colour) { return colour == ColorNotFound ? -1 : colour; }

// The scan fed in pieces: each call gets what was left over and the next
// piece, as the reader does with its reads.
SettingsColors ScanInPieces(const std::string& text, unsigned step)
{
    SettingsColors colors = {ColorNotFound, ColorNotFound};
    std::string pending;
    for (size_t at = 0; at < text.size(); at += step) {
        pending += text.substr(at, step);
        unsigned used = ScanSettingsLines(&colors, pending.data(), (unsigned)pending.size(), false);
        FUZZ_CHECK(used <= pending.size(), "the scan stops inside what it was given");
        pending.erase(0, used);
    }
    ScanSettingsLines(&colors, pending.data(), (unsigned)pending.size(), true);
    return colors;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > (64u << 10))
        return 0;
    unsigned step = 1 + data[0] % 64;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    int back, textColour;
    reference::Read(text, &back, &textColour);

    SettingsColors whole = {ColorNotFound, ColorNotFound};
    FUZZ_CHECK(ScanSettingsLines(&whole, text.data(), (unsigned)text.size(), true) == text.size(),
               "a scan at the end takes every byte");
    FUZZ_CHECK(whole.back == ColorNotFound || whole.back < ColorCount, "only colour numbers");
    FUZZ_CHECK(whole.text == ColorNotFound || whole.text < ColorCount, "only colour numbers");
    FUZZ_CHECK(NumberOf(whole.back) == back, "the last valid MessageBackColor= line counts");
    FUZZ_CHECK(NumberOf(whole.text) == textColour, "the last valid MessageTextColor= line counts");

    SettingsColors pieces = ScanInPieces(text, step);
    FUZZ_CHECK(pieces.back == whole.back && pieces.text == whole.text, "pieces read as the whole");

    // Through the file layer, in the reader's own reads.
    ResetDisk();
    HostPutFile(HostWindowsPath("system.ini"), text);
    ReadInstalledColors();
    if (reference::IsUtf16(text))
        back = textColour = -1;  // its bytes are not its lines
    FUZZ_CHECK(ColorIndexOf(ColorSelection.InstalledBack) == (back < 0 ? DefaultBackColor : back),
               "the reader shows the background the file names, or Blue");
    FUZZ_CHECK(ColorIndexOf(ColorSelection.InstalledText) == (textColour < 0 ? DefaultTextColor : textColour),
               "the reader shows the text colour the file names, or White");
    return 0;
}
