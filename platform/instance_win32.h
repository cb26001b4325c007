// The module instance of the running program, kept by its entry for loading
// resources and creating dialogs.
#pragma once

#include <windows.h>

extern HINSTANCE ProgramInstance;
