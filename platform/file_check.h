// How PlatformCheckFile decides, from the codes the system gives, whether a
// file is absent. It makes no system call, so the native tests try it with
// every code.
//
// GetFileAttributesA is asked first. When it fails, its code (GetLastError)
// may say that the file (2) or its folder (3) is not there; but Windows 95
// gives other codes from failing calls, even 0, so any other code is checked
// again with OpenFile and OF_EXIST, whose DOS error code (OFSTRUCT.nErrCode)
// uses the same two numbers.
#pragma once

#include "platform/platform.h"

// True for the two codes that say a file is not there.
inline bool CodeSaysAbsent(unsigned long code)
{
    return code == 2 || code == 3;  // file not found, path not found
}

// After GetFileAttributesA failed with this code: absent, or unknown until
// OpenFile has been asked.
inline PlatformFileCheck CheckFromAttributesError(unsigned long code)
{
    return CodeSaysAbsent(code) ? PlatformFileAbsent : PlatformFileUnknown;
}

// After OpenFile with OF_EXIST: present when it found the file, absent when its
// DOS error code says so, unknown otherwise.
inline PlatformFileCheck CheckFromOpenFile(bool found, unsigned dosError)
{
    if (found)
        return PlatformFilePresent;
    return CodeSaysAbsent(dosError) ? PlatformFileAbsent : PlatformFileUnknown;
}
