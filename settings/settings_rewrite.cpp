#include "settings/settings_rewrite.h"

#include "core/text.h"
#include "settings/marker_block.h"
#include "settings/settings_lines.h"

static const unsigned HeaderLength = sizeof SectionHeader - 1;

namespace {

// The new content as it is put together; bytes past room are counted only.
struct Output {
    char* out;
    unsigned room;
    unsigned length;
    char last;  // the last byte put, NUL before the first
};

void Put(Output* o, const char* bytes, unsigned count)
{
    if (o->length < o->room) {
        unsigned part = o->room - o->length < count ? o->room - o->length : count;
        CopyBytes(o->out + o->length, bytes, part);
    }
    o->length += count;
    if (count > 0)
        o->last = bytes[count - 1];
}

// A line is being dropped before old[next]. When the line put last ended at a
// lone CR and a LF comes next, the two would now make one CR LF end and glue
// the line that LF ends onto the one before: give the CR its own LF.
void KeepApart(Output* o, const char* old, unsigned length, unsigned next)
{
    if (o->last == '\r' && next < length && old[next] == '\n')
        Put(o, "\n", 1);
}

bool IsRemoved(const char* line, unsigned length)
{
    for (unsigned k = 0; k < RemovalMarkerCount; ++k) {
        if (StartsWith(line, length, RemovalMarkers[k], RemovalMarkerLengths[k]))
            return true;
    }
    return false;
}

enum LineFate { Kept, Removed, KeptWithBlock };

// What becomes of a line with content bytes of content.
LineFate Judge(const char* line, unsigned content, bool apply)
{
    if (content == 0 || content >= LongLineContent)
        return Kept;
    // Every removal marker and the section header begin with one of these.
    char first = line[0];
    if (first != ';' && first != 'M' && first != '[')
        return Kept;
    if (IsRemoved(line, content))
        return Removed;
    return apply && StartsWith(line, content, SectionHeader, HeaderLength) ? KeptWithBlock : Kept;
}

}  // namespace

unsigned RewriteSettingsText(const char* old, unsigned length, const char* block,
                             unsigned blockLength, char* out, unsigned room, unsigned* headers,
                             unsigned* removed)
{
    Output o = {out, room, 0, '\0'};
    unsigned taken = 0;
    unsigned dropped = 0;
    // old[kept, at) is kept and not put yet, so that unchanged stretches go
    // out in one copy.
    unsigned kept = 0;
    unsigned at = 0;
    while (at < length) {
        unsigned end = FindLineEnd(old, length, at);
        unsigned endLength = LineEndLength(old, length, end);
        unsigned next = end + endLength;
        LineFate fate = Judge(old + at, end - at, blockLength > 0);
        if (fate == Removed) {
            Put(&o, old + kept, at - kept);
            KeepApart(&o, old, length, next);
            kept = next;
            ++dropped;
        } else {
            if (endLength == 1 && old[end] == '\0') {
                Put(&o, old + kept, end - kept);
                if (end > at)
                    Put(&o, "\r\n", 2);
                else
                    KeepApart(&o, old, length, next);  // a line of only a NUL vanishes
                kept = next;
            }
            if (fate == KeptWithBlock) {
                Put(&o, old + kept, next - kept);
                if (endLength == 0)
                    Put(&o, "\r\n", 2);  // a header on the file's last line still needs its own line
                Put(&o, block, blockLength);
                kept = next;
                ++taken;
            }
        }
        at = next;
    }
    Put(&o, old + kept, length - kept);
    if (headers != nullptr)
        *headers = taken;
    if (removed != nullptr)
        *removed = dropped;
    return o.length;
}
