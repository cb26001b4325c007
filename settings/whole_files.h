// The steps on whole files that the rewrite of system.ini and the recovery
// from an interrupted one share. Each tells why it failed.
#pragma once

#include "settings/journal.h"
#include "settings/settings_path.h"

// The four paths, made once per call of the writer or the recovery.
// Process-wide rather than on the stack: the program runs one thread, and the
// executable has no stack-probe helper for large frames.
extern char SettingsPaths[SettingsFileCount][TextBufferSize];
// False when the Windows directory cannot be had.
bool FindSettingsPaths();

// The copies that may hold system.ini's content from before a change, in
// the order the recovery tries them, and the names a discard keeps them under.
extern const SettingsFile Copies[2];
extern const SettingsFile KeptAs[2];

// Why an open of the file failed, from what stands at its path.
SettingsCause CauseOfFailedOpen(SettingsFile file, bool reading);

// Room for system.ini's new content after its old content: as much again, and
// RewriteRoom more for the blocks of a file with many headers.
const unsigned RewriteRoom = 64u << 10;

// Reads the whole file into a new block (PlatformAllocate), with room for its
// new content after it; null, with the cause, on any failure. length
// receives the file's length (0 when it could not be had). A file whose
// length is not expected (when that is not -1) is not read at all:
// SettingsOtherLength.
char* ReadWholeFile(SettingsFile file, unsigned* length, SettingsCause* cause, long expected = -1);

// The new content of old[0, length) (read with room for it): made in that
// room, or, when the block to put after each header makes it larger than
// that, in a block of its own, which *extra receives for the caller to free
// (else null). Null when there is not the memory for it.
char* MakeNewContent(char* old, unsigned length, const char* block, unsigned blockLength, unsigned* newLength,
                     void** extra, unsigned* headers = nullptr, unsigned* removed = nullptr);

// Creates (or truncates) the file and writes count bytes in one call, makes
// sure they reached the disk, checks its length and closes it. SettingsFine,
// or why not: SettingsDiskFull or SettingsWriteFailed once the file was
// opened (and so truncated), the cause of the failed open otherwise.
SettingsCause WriteWholeFile(SettingsFile file, const char* bytes, unsigned count);

// Removes the file and checks that nothing stands at its path any more (true
// when nothing did to begin with).
bool RemoveAndCheck(SettingsFile file);

// Where a file that is only looked at is read, a piece at a time.
const unsigned PieceSize = 4096;
extern char Piece[PieceSize];

// What a file holds, beside what a journal recorded.
enum SettingsMatch {
    SettingsHoldsOld,      // system.ini's content before the change
    SettingsHoldsNew,      // the content the change was writing
    SettingsHoldsNeither,  // something else, or nothing: no file stands there
    SettingsUnknown,       // it could not be read
};
// What content of that length and CRC-32 is. The old content comes first:
// when a change leaves the content as it was, a copy of it is still the old
// content to put back.
SettingsMatch MatchOf(const JournalRecord& journal, unsigned long length, uint32_t crc);
// What the file holds, read in pieces; length, when given, receives its
// length (-1 when none could be had).
SettingsMatch ExamineFile(SettingsFile file, const JournalRecord& journal, SettingsCause* cause,
                          long* length = nullptr);
