// The fuzz targets' stand-in of the platform's files: system.ini and its
// neighbours held in memory, so that one run of the writer costs microseconds.
// Any one operation can be made to fail, as the host stand-in's can.
#pragma once

#include <string>

// The Windows directory the stand-in reports.
#define FuzzWindowsDirectory "C:\\WINDOWS"

// Empties the stand-in's disk; the n-th file operation from now fails
// (1-based; 0: none). A failed open opens nothing, a failed read returns -1,
// a failed write writes half its bytes and says so, a failed length returns
// -1, a failed check of a file answers unknown, a failed flush, removal or
// close reports failure (the close still closes), a failed allocation
// returns null.
void FuzzResetFiles(unsigned failAt);
// Counts operations afresh from now, the disk kept, failing the n-th.
void FuzzFailAt(unsigned failAt);
// Operations counted since the reset.
unsigned FuzzFileOperations();
// Files by bare name ("system.ini").
void FuzzPutFile(const std::string& name, const std::string& bytes);
bool FuzzGetFile(const std::string& name, std::string* bytes);
