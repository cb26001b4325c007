#include "settings/line_end.h"
#include "settings/marker_block.h"
#include "settings/settings_writer.h"

// The longest line, its end byte included, that is looked at: it must fit the
// line buffer with a NUL after it.
static const unsigned LongestLine = TextBufferSize - 1;

static const unsigned HeaderLength = sizeof SectionHeader - 1;

namespace {

// Every removal marker and the section header begin with one of these.
bool MayBeMarked(char first)
{
    return first == ';' || first == 'M' || first == '[';
}

bool IsRemoved(const char* line, unsigned length)
{
    for (unsigned k = 0; k < RemovalMarkerCount; ++k) {
        if (StartsWith(line, length, RemovalMarkers[k], RemovalMarkerLengths[k]))
            return true;
    }
    return false;
}

bool Emit(SettingsRewrite* r, const char* bytes, unsigned count)
{
    if (r->ok && count > 0)
        r->ok = r->sink(r->context, bytes, count);
    return r->ok;
}

bool TakesBlock(SettingsRewrite* r, const char* line, unsigned length)
{
    return r->blockLength > 0 && StartsWith(line, length, SectionHeader, HeaderLength);
}

enum LineFate { Kept, Removed, KeptWithBlock };

// What becomes of a whole line of length bytes, its end byte included.
LineFate Judge(SettingsRewrite* r, const char* line, unsigned length)
{
    if (length > LongestLine || !MayBeMarked(line[0]))
        return Kept;  // too long to look at, or plainly none of ours
    if (IsRemoved(line, length))
        return Removed;
    return TakesBlock(r, line, length) ? KeptWithBlock : Kept;
}

// Writes the kept bytes before a NUL that ends a line, and drops the NUL.
void DropNulEnd(SettingsRewrite* r, const char* bytes, unsigned end, unsigned* kept)
{
    Emit(r, bytes + *kept, end - *kept);
    *kept = end + 1;
}

// A whole line that began in an earlier piece stands in the buffer, ended by
// LF or NUL when terminated.
void EndCollectedLine(SettingsRewrite* r, bool terminated)
{
    const char* line = r->line;
    unsigned length = r->length;
    r->length = 0;
    bool endsInNul = terminated && line[length - 1] == '\0';
    LineFate fate = Judge(r, line, length);
    if (fate != Removed)
        Emit(r, line, endsInNul ? length - 1 : length);
    if (fate == KeptWithBlock) {
        if (!terminated)
            Emit(r, "\r\n", 2);  // a header on the file's last line still needs its own line
        Emit(r, r->block, r->blockLength);
    }
}

}  // namespace

void BeginSettingsRewrite(SettingsRewrite* r, const char* block, unsigned blockLength,
                          ByteSink sink, void* context)
{
    r->sink = sink;
    r->context = context;
    r->ok = true;
    r->block = block;
    r->blockLength = blockLength;
    r->length = 0;
    r->passing = false;
}

// Lines that lie wholly in this piece are judged where they stand, and the
// kept bytes between two changes go out in one write: bytes[kept, i) is kept
// and not written yet.
bool RewriteSettingsBytes(SettingsRewrite* r, const char* bytes, unsigned count)
{
    unsigned i = 0;
    unsigned kept = 0;
    while (i < count && r->ok) {
        // This line ends at the first LF or NUL from i, or runs past the piece.
        unsigned end = i + FindLineFeedOrNul(bytes + i, count - i);
        bool terminated = end < count;
        unsigned taken = terminated ? end + 1 - i : count - i;  // its bytes in this piece

        if (r->passing) {
            // The rest of a line too long to look at: kept, all but a NUL end.
            if (terminated && bytes[end] == '\0')
                DropNulEnd(r, bytes, end, &kept);
            r->passing = !terminated;
        } else if (r->length > 0 || !terminated) {
            // A line that began in an earlier piece, or runs on into the next.
            Emit(r, bytes + kept, i - kept);
            kept = i + taken;
            if (r->length + taken > (terminated ? LongestLine : LongestLine - 1)) {
                // Too long to look at: what is collected goes out as it stands.
                Emit(r, r->line, r->length);
                r->length = 0;
                r->passing = true;
                kept = i;
                continue;
            }
            CopyBytes(r->line + r->length, bytes + i, taken);
            r->length += taken;
            if (terminated)
                EndCollectedLine(r, true);
        } else {
            // A whole line here.
            LineFate fate = Judge(r, bytes + i, taken);
            if (fate == Removed) {
                Emit(r, bytes + kept, i - kept);
                kept = end + 1;
            } else {
                if (bytes[end] == '\0')
                    DropNulEnd(r, bytes, end, &kept);
                if (fate == KeptWithBlock) {
                    Emit(r, bytes + kept, end + 1 - kept);
                    Emit(r, r->block, r->blockLength);
                    kept = end + 1;
                }
            }
        }
        i += taken;
    }
    Emit(r, bytes + kept, count - kept);
    return r->ok;
}

bool FinishSettingsRewrite(SettingsRewrite* r)
{
    if (!r->passing && r->length > 0)
        EndCollectedLine(r, false);
    return r->ok;
}
