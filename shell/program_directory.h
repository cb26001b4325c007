// The directory hueline.exe runs from, where test.exe lies beside it.
#pragma once

#include "core/text.h"

// The full path of the running executable cut after its last "\" or "/", so
// it ends with the separator; "" when the path has none.
extern char ProgramDirectory[TextBufferSize];

// Cuts path (TextBufferSize bytes) after its last directory separator,
// looking at no more than the buffer holds.
void CutToDirectory(char* path);
