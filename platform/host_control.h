// Controls of the host stand-in of the platform layer, for the native tests.
#pragma once

// The directory PlatformWindowsDirectory reports; "" makes that call fail.
void HostSetWindowsDirectory(const char* directory);

// File operations (opens, reads, writes, lengths, closes) counted since the
// last reset, and the one to fail: the n-th from the reset, 1-based; 0 fails none.
// A failed open opens nothing, a failed read returns -1, a failed write writes
// half its bytes and reports that short count (as a full disk does), a failed
// length returns -1, and a failed close closes the file but reports failure.
void HostResetFileOperations(unsigned failAt);
unsigned HostFileOperationCount();
