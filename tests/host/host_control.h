// Controls of the host stand-in of the platform layer, for the native tests.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

// ---- The stand-in disk -----------------------------------------------------------
// Files and folders held in memory, by path (letters in either case, "\\" or
// "/"), as the program builds them from the Windows directory.

// The directory PlatformWindowsDirectory reports ("C:\\WINDOWS" at first);
// "" makes that call fail.
void HostSetWindowsDirectory(const char* directory);
const std::string& HostWindowsDirectory();
// The path of a file in that directory.
std::string HostWindowsPath(const std::string& name);
// Empties the disk, gives it room without end and resets the operations.
void HostClearDisk();
void HostPutFile(const std::string& path, const std::string& bytes);
// False when no file stands at path (nothing, or a folder).
bool HostGetFile(const std::string& path, std::string* bytes);
// Removes the file or folder at path, and what the folder holds.
void HostRemoveFile(const std::string& path);
// An empty folder stands at path instead of whatever stood there.
void HostMakeFolder(const std::string& path);
// An immutable file cannot be written or renamed, and its removal is
// reported as done but does not happen (as with `chattr +i` under Wine).
void HostMakeImmutable(const std::string& path, bool immutable);
// The file stands, but will not open for reading.
void HostMakeUnreadable(const std::string& path);
// A file's attributes (platform.h's PlatformReadOnly and the others; a new
// file has PlatformArchive). A read-only file cannot be created over or
// removed, as on Windows. PlatformNoAttributes when nothing stands there.
void HostSetAttributes(const std::string& path, unsigned long attributes);
unsigned long HostAttributes(const std::string& path);
// The files may grow by this many bytes more in all, -1 for no end; a write
// past it is cut short, as on a full disk. Truncations and removals give room
// back.
void HostSetDiskRoom(long bytes);
// Files opened and not closed yet, by name.
unsigned HostOpenFileCount();
std::vector<std::string> HostOpenFiles();

// ---- Failing operations ------------------------------------------------------------
// File operations (opens, reads, writes, lengths, flushes, removals, renames,
// checks, attributes, closes, the flush of the profile cache, the commit of a
// volume (logged with its drive, "commit-volume C:"), and the allocation of a
// block to hold a file in) counted since the last reset, and the ones to
// fail: the n-th from the reset, 1-based; 0 fails none.
// A failed open opens nothing, a failed read returns -1, a failed write writes
// half its bytes and reports that short count (as a full disk does), a failed
// length returns -1, a failed flush, removal or rename does nothing and
// reports failure, a failed check of a file reports that it could not tell, a
// failed allocation returns null, a failed close closes the file but reports
// failure and loses what the cache held of it, and a failed flush of the
// profile cache or commit does nothing.
// The stand-in keeps the cache of Windows 9x on a FAT disk: what was written
// to a file since its last successful flush (and its directory entry's new
// length), and every creation, removal and rename since the last commit of
// the volume, reach the disk only with a flush (the file's own) or a commit
// (everything). A reset without a power cut lets the whole cache reach the disk.
void HostResetFileOperations(unsigned failAt);
// From now until the next reset, a failed read reads half the bytes asked and
// reports that short count instead of -1, as when another program cuts the
// file between its length and its read.
void HostFailReadsShort();
void HostFailFileOperations(const std::set<unsigned>& failing);
unsigned HostFileOperationCount();
// Every file operation since the reset, in order, as "kind file" ("create
// system.ini", "write system.ini", "rename hueline.bak>system.old",
// "allocate"); those the power cut stopped begin "(not done) ".
std::vector<std::string> HostFileOperationLog();
// The log costs time the fuzz targets would rather spend: off, it stays empty.
void HostLogFileOperations(bool logging);
// As if the power went just after the count-th operation from now: every
// later one does nothing and fails (a close still frees its handle). The
// failAt-th operation, when not 0, fails before that, so that the cut can come
// in what the failure leads to. What of the cache reached the disk is chosen
// afterwards with HostLandPowerCut; a reset that comes first lands none of it.
void HostCutPowerAfter(unsigned count, unsigned failAt = 0);
// What the cache held when the power went: how many directory changes since
// the last commit, and whether any file had data not yet flushed.
unsigned HostPendingAtCut();
bool HostUnflushedAtCut();
// How the data of every file written since its last flush lands: its entry
// keeps its old length and none of the new data (LandNothing), or has the new
// length, with the sectors (512 bytes) named landed and the rest holding what
// the disk held there before (the file's earlier bytes, or those of clusters
// freed earlier: never NULs), or all of it (LandAll).
enum HostLanding { LandNothing, LandEntryOnly, LandFirstOnly, LandAllButFirst, LandAllButMiddle, LandAll };
const unsigned HostLandingCount = 6;
// Lands the cut: the directory changes whose bit is set in mask (bit n the
// n-th since the last commit, in their order) and the data as landing says;
// the disk then holds that and nothing more, and the files read so. May be
// called again, from the same moment of the cut, for another choice. False
// when the changes chosen give one name two entries, a directory Windows'
// ScanDisk would have to mend.
bool HostLandPowerCut(unsigned mask, HostLanding landing);

// ---- The stand-in main dialog -------------------------------------------------

struct HostSound {
    std::string file;  // "" for the stop call
    unsigned flags;
};

// One dialog, whatever window is passed: two list boxes, the controls whose
// text was set, a scripted answer to the question, and records of what the
// program did.
struct HostDialog {
    int lists[2];                          // control IDs of the two list boxes
    std::vector<std::string> items[2];
    int selection[2];                      // -1: none
    std::vector<std::pair<int, std::string>> texts;  // control ID and text, last one set wins
    bool answerYes;                        // the answer to the next question or warning
    std::vector<std::string> questions;    // "caption|text" of every question asked
    std::vector<std::string> messages;     // "caption|text" of every result or notice shown
    std::vector<std::string> failures;     // and of every failure, shown with the stop icon
    std::vector<std::string> warnings;     // "caption|text" of every warning that asked Yes or No
    std::vector<int> ended;                // results the dialog was ended with
    std::vector<std::pair<int, bool>> checks;  // menu item and check mark, in order
    std::vector<HostSound> sounds;
    bool windowsNt;                        // what PlatformIsWindowsNt answers
};

// Clears the stand-in; the list boxes get the control IDs given.
HostDialog& HostResetDialog(int firstList, int secondList);
HostDialog& HostDialogState();
// The text last set on a control, "" when none was.
std::string HostControlText(int control);
// The window handle to pass in tests.
PlatformWindow HostWindow();

// ---- The stand-in preview, About box and homepage -----------------------------

// An icon of the stand-in is its resource number.
int HostIconResource(PlatformIcon icon);  // 0 for a null icon

struct HostDrawing {
    int x, y;               // client-area pixels, as at 96 dots per inch with the dialog's font
    int under, over;        // resource numbers, 0 for an icon left out
    size_t soundsBefore;    // HostDialog::sounds recorded before it
};

struct HostShell {
    std::vector<HostDrawing> drawings;
    std::vector<PlatformWindow> aboutOwners;  // one per About box run
    std::vector<size_t> aboutSoundsBefore;    // HostDialog::sounds recorded before each
    std::vector<std::string> addresses;       // every address opened
    uintptr_t openResult;                     // what opening one returns (42 at first: opened)
};

// Clears the records (HostResetDialog does too).
HostShell& HostResetShell();
HostShell& HostShellState();

// ---- The stand-in full-screen test ---------------------------------------------

// What the next started program does, and a record of the calls, in order,
// as text: "start PROGRAM|COMMAND LINE", "wait MS", "find CLASS|TITLE",
// "close TITLE", "close thread|process", for a window (main, screen, other)
// "enable W yes|no", "front W", "tell W", "post close W" and "destroy W",
// "drop MESSAGE" (in hex), and "sound FILE/FLAGS" for every sound call.
struct HostTestProgram {
    bool starts;             // false: the start fails
    int endsAfterWaits;      // the wait that sees the process end (1-based); -1 never
    int windowAfterWaits;    // waits after which the finished window exists; -1 never
    std::string windowTitle; // its title (class "tty")
    std::string foreignTitle; // a "tty" window of another process, before ours, from the start
    unsigned long startError; // the system's code for a failed start
    std::string keysDown;     // the keys down now, a byte each
    std::vector<std::string> calls;
    unsigned wakeAfterMs;     // a wait ends after this long at most, as when a message comes; 0: never
    unsigned long clock;      // PlatformTickCount, moved on by the waits
    std::vector<unsigned long> looks;  // the clock at each look for the finished window
    std::function<void(int wait)> duringWait;  // what other programs send during a wait (1-based)
    std::function<void()> duringDrop;          // ... and while the queue is emptied
    std::vector<unsigned> queue;              // the messages posted to the program's windows
    PlatformWindow foreground;
    bool frontRefused;        // PlatformBringToFront leaves the foreground as it is
};

// Clears the record; the next start fails until starts is set.
HostTestProgram& HostResetTestProgram();
HostTestProgram& HostTestProgramState();
// test.exe's window beside HostWindow(), and the names in the record.
PlatformWindow HostScreenWindow();
std::string HostWindowName(PlatformWindow window);
