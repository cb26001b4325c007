// The platform layer: every call Hueline makes into the operating system goes
// through these plain functions. The Windows versions live in the *_win32.cpp
// files of this folder and go into hueline.exe; platform_host.cpp is a stand-in
// on POSIX files that the native tests link instead. The build picks one.
#pragma once

#include <stdint.h>

// ---- Files -------------------------------------------------------------------
// Handles are small integers; PlatformNoFile marks a failed open.
typedef intptr_t PlatformFile;
const PlatformFile PlatformNoFile = -1;

// Opens an existing file for reading.
PlatformFile PlatformOpenRead(const char* path);
// Creates a file for writing, or truncates it when it exists.
PlatformFile PlatformCreate(const char* path);
// Reads up to count bytes; returns the number read (0 at the end) or -1.
int PlatformRead(PlatformFile file, char* bytes, unsigned count);
// Writes count (> 0) bytes; returns the number written (less on a full disk) or -1.
int PlatformWrite(PlatformFile file, const char* bytes, unsigned count);
// Returns the length of an open file and leaves it positioned at its start; -1 on failure.
long PlatformFileLength(PlatformFile file);
// Closes the file; false when the close failed.
bool PlatformClose(PlatformFile file);

// ---- Paths -------------------------------------------------------------------
// Copies the Windows directory (no trailing separator) into out; returns its
// length, or 0 when it could not be had or does not fit in size bytes.
unsigned PlatformWindowsDirectory(char* out, unsigned size);

// ---- Formatting --------------------------------------------------------------
// One argument of a format; each takes one slot, as the system formatter reads them.
union FormatArg {
    const char* text;
    uintptr_t number;
};
// Formats fmt (%s and %X placeholders only) into out. The caller has checked
// that the result fits: see FormatText in core/text.h, the only caller.
void PlatformFormat(char* out, const char* fmt, const FormatArg* args);
