// Files, memory and the Windows directory. Files go through the calls every
// Windows from 95 on has: OpenFile and the _lread family.
#include <windows.h>

#include "platform/file_check.h"
#include "platform/platform.h"
#include "platform/volume_commit.h"

static PlatformFile Open(const char* path, UINT style)
{
    OFSTRUCT info;
    HFILE file = OpenFile(path, &info, style);
    return file == HFILE_ERROR ? PlatformNoFile : (PlatformFile)file;
}

PlatformFile PlatformOpenRead(const char* path)
{
    return Open(path, OF_READ);
}

PlatformFile PlatformCreate(const char* path)
{
    return Open(path, OF_CREATE | OF_WRITE);
}

PlatformFile PlatformOpenWrite(const char* path)
{
    return Open(path, OF_WRITE);
}

int PlatformRead(PlatformFile file, char* bytes, unsigned count)
{
    UINT got = _lread((HFILE)file, bytes, count);
    return got == (UINT)HFILE_ERROR ? -1 : (int)got;
}

int PlatformWrite(PlatformFile file, const char* bytes, unsigned count)
{
    if (count == 0)
        return 0;  // _lwrite of 0 bytes would cut the file at its position
    UINT put = _lwrite((HFILE)file, bytes, count);
    return put == (UINT)HFILE_ERROR ? -1 : (int)put;
}

long PlatformFileLength(PlatformFile file)
{
    // A handle from OpenFile is the Win32 file handle.
    DWORD length = GetFileSize((HANDLE)file, nullptr);
    return length == INVALID_FILE_SIZE || length > 0x7FFFFFFF ? -1 : (long)length;
}

bool PlatformClose(PlatformFile file)
{
    return _lclose((HFILE)file) != HFILE_ERROR;
}

bool PlatformFlush(PlatformFile file)
{
    // A handle from OpenFile is the Win32 file handle.
    return FlushFileBuffers((HANDLE)file) != 0;
}

PlatformFileCheck PlatformCheckFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PlatformFileFolder : PlatformFilePresent;
    PlatformFileCheck check = CheckFromAttributesError(GetLastError());
    if (check != PlatformFileUnknown)
        return check;
    OFSTRUCT info;
    info.nErrCode = 0;
    bool found = OpenFile(path, &info, OF_EXIST) != HFILE_ERROR;
    return CheckFromOpenFile(found, info.nErrCode);
}

bool PlatformDelete(const char* path)
{
    OFSTRUCT info;
    return OpenFile(path, &info, OF_DELETE) != HFILE_ERROR;
}

unsigned long PlatformFileAttributes(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes == INVALID_FILE_ATTRIBUTES ? PlatformNoAttributes : attributes;
}

bool PlatformSetFileAttributes(const char* path, unsigned long attributes)
{
    return SetFileAttributesA(path, attributes) != 0;
}

bool PlatformRemoveFolder(const char* path)
{
    return RemoveDirectoryA(path) != 0;
}

bool PlatformRename(const char* from, const char* to)
{
    return MoveFileA(from, to) != 0;
}

void PlatformFlushProfileCache()
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "system.ini");
}

// Windows NT has no VWIN32 and is not asked; where the device cannot be
// opened (Wine), nothing happens. platform/volume_commit.h says what is asked
// and what the answer means.
void PlatformCommitVolume(const char* path)
{
    DosRegisters registers;
    if ((GetVersion() & 0x80000000u) == 0 || !ResetDriveRegisters(path, &registers))
        return;
    HANDLE vwin32 = CreateFileA("\\\\.\\vwin32", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (vwin32 == INVALID_HANDLE_VALUE)
        return;
    DWORD returned = 0;
    bool called = DeviceIoControl(vwin32, VwinDosIoctl, &registers, sizeof registers, &registers,
                                  sizeof registers, &returned, nullptr) != 0;
    CloseHandle(vwin32);
    OutputDebugStringA(ResetDriveText(ResetDriveResult(called, registers)));
}

// ---- Memory: the one block the settings rewrite holds a file in -------------

void* PlatformAllocate(unsigned long size)
{
    return HeapAlloc(GetProcessHeap(), 0, size);
}

void PlatformFree(void* block)
{
    if (block != nullptr)
        HeapFree(GetProcessHeap(), 0, block);
}

// ---- The Windows directory --------------------------------------------------

unsigned PlatformWindowsDirectory(char* out, unsigned size)
{
    UINT length = GetWindowsDirectoryA(out, size);
    if (length == 0 || length >= size) {
        out[0] = '\0';
        return 0;
    }
    return length;
}
