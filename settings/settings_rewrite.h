// system.ini's new content made from its old content: bytes in, bytes out.
#pragma once

// The rewrite, in one call over the whole old content (length bytes):
// - a line whose content begins with a removal marker is dropped with its end;
// - after a line that begins with "[386Enh]" the block (blockLength bytes, 0
//   when removing) is put, with a CR LF first when that line had no end;
// - a NUL is never copied: a kept line that ended at a NUL and has content gets
//   CR LF in its place, and a line that is only a NUL vanishes;
// - a line of LongLineContent bytes or more is copied unchanged;
// - every other byte is copied as it stands, in order.
// Writes the new content into out as far as it fits in room bytes (out may be
// null when room is 0) and returns its whole length: it was all written when
// that is at most room. headers, when not null, receives how many lines took
// the block, and removed how many lines were dropped. length must stay below
// 128 MiB, so that no count overflows.
unsigned RewriteSettingsText(const char* old, unsigned length, const char* block,
                             unsigned blockLength, char* out, unsigned room, unsigned* headers,
                             unsigned* removed = nullptr);
