// The steps on whole files that the rewrite of system.ini and the recovery
// from an interrupted one share. Each tells why it failed.
#pragma once

#include "platform/platform.h"
#include "settings/journal.h"
#include "settings/settings_path.h"

// The paths, made once per call of the writer or the recovery.
// Process-wide rather than on the stack: the program runs one thread, and the
// executable has no stack-probe helper for large frames.
extern char SettingsPaths[SettingsFileCount][TextBufferSize];
// False when the Windows directory cannot be had.
bool FindSettingsPaths();

// Why an open of the file failed, from what stands at its path.
SettingsCause CauseOfFailedOpen(SettingsFile file, bool reading);

// Room for system.ini's new content after its old content: as much again, and
// RewriteRoom more for the blocks of a file with many headers.
const unsigned RewriteRoom = 64u << 10;

// Reads the whole file into a new block (PlatformAllocate), with room for its
// new content after it; null, with the cause, on any failure. length
// receives the file's length (0 when it could not be had).
char* ReadWholeFile(SettingsFile file, unsigned* length, SettingsCause* cause);

// The new content of old[0, length) (read with room for it): made in that
// room, or, when the block to put after each header makes it larger than
// that, in a block of its own, which *extra receives for the caller to free
// (else null). Null when there is not the memory for it.
char* MakeNewContent(char* old, unsigned length, const char* block, unsigned blockLength, unsigned* newLength,
                     void** extra, unsigned* headers = nullptr, unsigned* removed = nullptr);

// Creates (or truncates) the file and writes count bytes in one call, makes
// sure they reached the disk, checks its length and closes it; then reads it
// back and checks that it holds those bytes (their CRC-32 is crc).
// SettingsFine, or why not: SettingsDiskFull or SettingsWriteFailed once the
// file was opened, the cause of the failed open otherwise.
SettingsCause WriteCheckedFile(SettingsFile file, const char* bytes, unsigned count, uint32_t crc);

// What stands at the file's path, asked once more when the system could not tell.
PlatformFileCheck CheckFile(SettingsFile file);

// Removes the file and checks that nothing stands at its path any more (true
// when nothing did to begin with).
bool RemoveAndCheck(SettingsFile file);

// Commits the volume after a removal or rename of file. A file just renamed
// is flushed too: a flush writes the file's own directory entry, so its new
// name is on the disk even where the commit could not be done.
void CommitAfter(SettingsFile file, bool renamed);

// What stands at a file's path, and, for a file read whole, its length and
// CRC-32: two files of the same length and CRC-32 hold the same content.
enum SettingsFileState { SettingsAbsent, SettingsRead, SettingsFolderThere, SettingsUnreadable };
struct FileSummary {
    SettingsFileState state;
    uint32_t length, crc;
    SettingsCause cause;  // why it is unreadable
};
FileSummary SummarizeFile(SettingsFile file);
bool SameContent(const FileSummary& a, const FileSummary& b);

// What a file holds, beside the journal's record.
enum SettingsMatch { SettingsHoldsNothing, SettingsHoldsOld, SettingsHoldsNew, SettingsHoldsOther,
                     SettingsHoldsFolder, SettingsHoldsUnknown };
// A change that left the content as it was holds both: newFirst says which
// to take it for.
SettingsMatch MatchOf(const JournalRecord& journal, const FileSummary& file, bool newFirst);
