// The platform layer: the calls the portable code (core/, settings/,
// fullscreen/ and shell/'s portable files) makes into the operating system,
// as plain functions. Their Windows versions live in this folder, one file per
// part below (files_win32.cpp, windows_win32.cpp, processes_win32.cpp,
// focus_win32.cpp, format_win32.cpp), and go into hueline.exe (test.exe takes
// focus_win32.cpp alone); tests/host/ holds the stand-in that the native
// tests link instead. The build picks one. The process entries and window
// procedures (shell/*_win32.cpp, test_exe/*_win32.cpp) call Win32 directly
// and pass the messages on, with runtime_win32.cpp standing in for the few
// helpers a compiler expects of a C runtime.
#pragma once

#include <stdint.h>

// ==== Files, memory and the Windows directory: files_win32.cpp ===============
// ---- Files ------------------------------------------------------------------
// Handles are small integers; PlatformNoFile marks a failed open.
typedef intptr_t PlatformFile;
const PlatformFile PlatformNoFile = -1;

// Opens an existing file for reading.
PlatformFile PlatformOpenRead(const char* path);
// Creates a file for writing, or truncates it when it exists.
PlatformFile PlatformCreate(const char* path);
// Opens an existing file for writing, as it is: only to flush it.
PlatformFile PlatformOpenWrite(const char* path);
// Reads up to count bytes; returns the number read (0 at the end) or -1.
int PlatformRead(PlatformFile file, char* bytes, unsigned count);
// Writes count (> 0) bytes; returns the number written (less on a full disk) or -1.
int PlatformWrite(PlatformFile file, const char* bytes, unsigned count);
// Returns the length of an open file, without moving its position; -1 on failure.
long PlatformFileLength(PlatformFile file);
// Closes the file; false when the close failed.
bool PlatformClose(PlatformFile file);

// ---- Flushing and removing files --------------------------------------------
// Makes sure the bytes written to an open file have reached the disk
// (FlushFileBuffers); false when that failed.
bool PlatformFlush(PlatformFile file);
// Removes a file; false when it could not be removed (or did not exist).
// Some systems report a removal that did not happen: callers that must know
// check afterwards.
bool PlatformDelete(const char* path);
// Removes an empty folder (RemoveDirectoryA); false when it could not.
bool PlatformRemoveFolder(const char* path);
// Gives the file at from the name to (MoveFileA), which must not exist yet:
// Windows 95 cannot replace a file this way. False when it could not.
bool PlatformRename(const char* from, const char* to);
// What stands at path (GetFileAttributesA, and when its error code does not
// settle it, OpenFile with OF_EXIST), without opening it for reading or
// writing: a file, a folder, nothing, or unknown when the system could not
// tell, for a reason other than its absence. platform/file_check.h decides
// from the codes.
enum PlatformFileCheck { PlatformFileAbsent, PlatformFilePresent, PlatformFileUnknown, PlatformFileFolder };
PlatformFileCheck PlatformCheckFile(const char* path);
// The attributes of the file or folder at path, as GetFileAttributesA gives
// them (read-only 1, hidden 2, system 4, folder 16, archive 32), or
// PlatformNoAttributes when they could not be had; and setting them.
const unsigned long PlatformNoAttributes = 0xFFFFFFFFu;
const unsigned long PlatformReadOnly = 1, PlatformHidden = 2, PlatformSystem = 4, PlatformArchive = 32;
unsigned long PlatformFileAttributes(const char* path);
bool PlatformSetFileAttributes(const char* path, unsigned long attributes);
// Writes out the system's cache of the initialization files it has read
// through the profile calls (WritePrivateProfileStringA with three nulls), so
// that a cached system.ini neither hides the file on the disk nor overwrites
// it later. Nothing is reported.
void PlatformFlushProfileCache();
// Commits to the disk what the system still holds in memory for the drive of
// path (its letter, "C:\\..."): on Windows 95, 98 and Me a flush of a file
// writes its data and its own directory entry, but not the removals, renames
// and new entries of its folder, which the disk cache writes later. Done
// through VWIN32 on those systems (platform/volume_commit.h); on Windows NT,
// and for a path without a drive letter, it does nothing. What VWIN32
// answered goes to the debugger's output (OutputDebugStringA); nothing is
// reported to the caller: there is nothing more it could do.
void PlatformCommitVolume(const char* path);

// ---- Memory -----------------------------------------------------------------
// One block from the process heap (GetProcessHeap, HeapAlloc), or null when
// there is not that much memory. Every block is given back with PlatformFree.
void* PlatformAllocate(unsigned long size);
void PlatformFree(void* block);

// ---- Paths ------------------------------------------------------------------
// Copies the Windows directory (no trailing separator) into out; returns its
// length, or 0 when it could not be had or does not fit in size bytes.
unsigned PlatformWindowsDirectory(char* out, unsigned size);

// ==== Windows, dialogs, preview, sound and shell: windows_win32.cpp ==========
// ---- The main dialog --------------------------------------------------------
// A window, passed down from the dialog procedure; never kept process-wide.
typedef struct PlatformWindowTag* PlatformWindow;

// Appends text to the list box with the given control ID (LB_ADDSTRING).
void PlatformListAdd(PlatformWindow dialog, int list, const char* text);
// The selected position of a list box, or -1 when none is selected (LB_GETCURSEL).
int PlatformListSelection(PlatformWindow dialog, int list);
// Selects the first item, from the top, that begins with text, ignoring case
// (LB_SELECTSTRING from -1); a list with no such item stays as it is.
void PlatformListSelectText(PlatformWindow dialog, int list, const char* text);
// Sets the text of a control (WM_SETTEXT).
void PlatformSetControlText(PlatformWindow dialog, int control, const char* text);
// Asks a question owned by dialog, with Yes (the default) and No and an
// information icon; true for Yes.
bool PlatformAskYesNo(PlatformWindow dialog, const char* caption, const char* text);
// Ends the modal dialog with result.
void PlatformEndDialog(PlatformWindow dialog, int result);
// Gives the dialog the program's icon for its caption, the taskbar and
// Alt+Tab, at the system's small and large icon sizes (WM_SETICON).
void PlatformSetProgramIcons(PlatformWindow dialog);
// Erases what of the dialog needs paint and marks it painted (BeginPaint,
// EndPaint), so that what is drawn next is not wiped out by the default
// handling's erase.
void PlatformErasePaint(PlatformWindow dialog);
// Sets or clears the check mark of a menu item in the dialog's menu.
void PlatformCheckMenuItem(PlatformWindow dialog, int item, bool checked);

// ---- Message box ------------------------------------------------------------
// Tells the user a result or a notice, in a box owned by dialog (or by no
// window when dialog is null), with the information icon and an OK button.
void PlatformShowMessage(PlatformWindow dialog, const char* caption, const char* text);
// Tells the user of a failure that asks something of them: the same, with
// the stop icon.
void PlatformShowFailure(PlatformWindow dialog, const char* caption, const char* text);
// Warns the user and asks a question, owned by dialog, with the warning
// icon, Yes and No, and No the default; true for Yes.
bool PlatformAskWarning(PlatformWindow dialog, const char* caption, const char* text);

// ---- The system -------------------------------------------------------------
// True on Windows NT, 2000 and XP (GetVersion's top bit clear), which never
// read the colours from system.ini; false on Windows 95, 98 and Me.
bool PlatformIsWindowsNt();

// ---- One copy at a time -----------------------------------------------------
// Claims the name that one running copy of the program holds (a named mutex,
// CreateMutexA, kept until the process ends); false when another copy holds it.
bool PlatformClaimOnlyCopy();
// Brings the window with this caption (the running copy's main dialog, or the
// box it has open) to the front, restoring it when it is minimized.
void PlatformShowRunningCopy(const char* caption);

// ---- Sound ------------------------------------------------------------------
// sndPlaySoundA: file by bare name, or null to stop; the flags as that call takes them.
void PlatformPlaySound(const char* file, unsigned flags);

// ---- Preview, About box and homepage ----------------------------------------
// An icon of the program's resources; null when it could not be loaded.
typedef struct PlatformIconTag* PlatformIcon;

// Loads the 32 x 32 image of the icon resource with the given number
// (LoadImageA), whatever the system's icon size.
PlatformIcon PlatformLoadIcon(int resource);
// Draws under, then over, 32 x 32 pixels each, with their top left corner at
// the point (x, y) of the dialog given in dialog units (MapDialogRect), each
// through its mask so that its transparent pixels keep what lies beneath
// (GetDC, DrawIconEx, ReleaseDC). A null icon is left out.
void PlatformDrawIcons(PlatformWindow dialog, int x, int y, PlatformIcon under, PlatformIcon over);
// Runs the About box (dialog 107) modally over owner; returns once it has closed.
void PlatformRunAboutBox(PlatformWindow owner);
// Opens a web address through the shell, with no owner window (ShellExecuteA,
// "open", SW_SHOW); returns what that call returned, as a number
// (HomepageFailure in shell/about_box.h reads it).
uintptr_t PlatformOpenAddress(const char* address);

// ==== Processes: processes_win32.cpp =========================================
// ---- Full-screen test -------------------------------------------------------
// A handle the system gave for a started process or its first thread, given
// back with PlatformCloseHandle.
typedef struct PlatformHandleTag* PlatformHandle;
// What the system gives for a started program, field for field
// (PROCESS_INFORMATION).
struct PlatformStarted {
    PlatformHandle process;
    PlatformHandle thread;
    unsigned long processId;
    unsigned long threadId;
};

// Starts program (its full path) with commandLine (the whole command line,
// program name first), its window shown and with no console of its own
// (CreateProcessA, DETACHED_PROCESS). The call may write into commandLine.
// Returns what that call returned: not 0 when the program started, with
// *started filled in; 0 when it did not, with GetLastError's code in *error.
int PlatformStartProgram(const char* program, char* commandLine, PlatformStarted* started, unsigned long* error);
// Waits up to ms milliseconds for the process to end; true once it has ended,
// or when the wait itself failed (so that no caller waits for ever); false
// when the time is up or a message came. Meanwhile the program's windows
// repaint and answer the messages other programs send them
// (MsgWaitForMultipleObjects); the messages posted to them (input among
// them) wait in the queue.
bool PlatformWaitForProcess(PlatformHandle process, unsigned ms);
// Gives a handle back (CloseHandle); a process runs on if it has not ended.
void PlatformCloseHandle(PlatformHandle handle);
// Milliseconds since the system started (GetTickCount); wraps around after
// 49.7 days, so only differences count.
unsigned long PlatformTickCount();
// The next top-level window of this class and title after the window after
// (null: the first), or null when there is none more (FindWindowExA).
PlatformWindow PlatformNextWindow(const char* windowClass, const char* title, PlatformWindow after);
// The thread that made window, and its process in *process
// (GetWindowThreadProcessId).
unsigned long PlatformWindowThreadProcess(PlatformWindow window, unsigned long* process);
// Asks window to close (WM_CLOSE), then destroys it.
void PlatformCloseWindow(PlatformWindow window);
// Lets window take the mouse and the keyboard again, or not, as a modal box
// does to its owner (EnableWindow).
void PlatformEnableWindow(PlatformWindow window, bool enabled);
// Takes the first message numbered first to last from the thread's queue,
// posted to any of its windows, and throws it away (PeekMessageA,
// PM_REMOVE); false when there is none. Like any look at the queue, it
// answers the messages other programs send meanwhile.
bool PlatformDropQueuedMessage(unsigned first, unsigned last);

// ==== The keyboard, the foreground and the end of the test: focus_win32.cpp ==
// The calls of both hueline.exe and test.exe around the full-screen test.
// Whether the key or mouse button of this virtual-key code is down now
// (GetAsyncKeyState).
bool PlatformKeyIsDown(unsigned code);
// The window in front, which has the keyboard (GetForegroundWindow); null
// when there is none.
PlatformWindow PlatformForegroundWindow();
// Brings window to the front and gives it the keyboard (SetForegroundWindow).
// On Windows 98 and later only the foreground process may; another's call
// only flashes the window's taskbar button.
void PlatformBringToFront(PlatformWindow window);
// The number of the registered message TEST_ENDING_MESSAGE
// (RegisterWindowMessageA); 0 when it could not be had.
unsigned PlatformTestEndingMessage();
// Sends window TEST_ENDING_MESSAGE and waits up to a second for its answer
// (SendMessageTimeoutA, SMTO_ABORTIFHUNG); nothing when window is gone.
void PlatformTellTestEnding(PlatformWindow window);
// Posts window a WM_CLOSE: it closes once the message in hand is done.
void PlatformPostClose(PlatformWindow window);
// Destroys a window of this thread (DestroyWindow).
void PlatformDestroyWindow(PlatformWindow window);

// ==== Formatting: format_win32.cpp ===========================================
// ---- Formatting -------------------------------------------------------------
// One argument of a format; each takes one slot, as the system formatter reads them.
union FormatArg {
    const char* text;
    uintptr_t number;
};
// Formats fmt (%s and %X placeholders only) into out. The caller has checked
// that the result fits: see FormatText in core/text.h, the only caller.
void PlatformFormat(char* out, const char* fmt, const FormatArg* args);
