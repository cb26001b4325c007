#include "platform/instance_win32.h"

HINSTANCE ProgramInstance;
