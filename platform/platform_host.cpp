// Host stand-in of the platform layer: POSIX files in a directory the tests
// choose, with a switch to make any one file operation fail.
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "platform/host_control.h"
#include "platform/platform.h"

namespace {

std::string WindowsDirectory;
unsigned OperationCount = 0;
unsigned FailAt = 0;

// Counts one file operation; true when this one is to fail.
bool Fails()
{
    ++OperationCount;
    return OperationCount == FailAt;
}

std::string HostPath(const char* path)
{
    std::string p(path);
    for (char& c : p) {
        if (c == '\\')
            c = '/';
    }
    return p;
}

PlatformFile Open(const char* path, int flags)
{
    if (Fails())
        return PlatformNoFile;
    int fd = open(HostPath(path).c_str(), flags, 0644);
    return fd < 0 ? PlatformNoFile : (PlatformFile)fd;
}

}  // namespace

void HostSetWindowsDirectory(const char* directory)
{
    WindowsDirectory = directory;
}

void HostResetFileOperations(unsigned failAt)
{
    OperationCount = 0;
    FailAt = failAt;
}

unsigned HostFileOperationCount()
{
    return OperationCount;
}

PlatformFile PlatformOpenRead(const char* path)
{
    return Open(path, O_RDONLY);
}

PlatformFile PlatformCreate(const char* path)
{
    return Open(path, O_WRONLY | O_CREAT | O_TRUNC);
}

int PlatformRead(PlatformFile file, char* bytes, unsigned count)
{
    if (Fails())
        return -1;
    ssize_t got = read((int)file, bytes, count);
    return got < 0 ? -1 : (int)got;
}

int PlatformWrite(PlatformFile file, const char* bytes, unsigned count)
{
    if (count == 0)
        return 0;
    if (Fails())
        count /= 2;
    ssize_t put = count == 0 ? 0 : write((int)file, bytes, count);
    return put < 0 ? -1 : (int)put;
}

long PlatformFileLength(PlatformFile file)
{
    if (Fails())
        return -1;
    off_t length = lseek((int)file, 0, SEEK_END);
    if (length < 0 || lseek((int)file, 0, SEEK_SET) != 0)
        return -1;
    return (long)length;
}

bool PlatformClose(PlatformFile file)
{
    bool fail = Fails();
    return close((int)file) == 0 && !fail;
}

unsigned PlatformWindowsDirectory(char* out, unsigned size)
{
    out[0] = '\0';
    if (WindowsDirectory.empty() || WindowsDirectory.size() >= size)
        return 0;
    memcpy(out, WindowsDirectory.c_str(), WindowsDirectory.size() + 1);
    return (unsigned)WindowsDirectory.size();
}

void PlatformFormat(char* out, const char* fmt, const FormatArg* args)
{
    for (const char* p = fmt; *p != '\0'; ++p) {
        if (*p != '%') {
            *out++ = *p;
            continue;
        }
        ++p;
        if (*p == 's') {
            for (const char* t = args->text; *t != '\0'; ++t)
                *out++ = *t;
        } else {
            out += sprintf(out, "%llX", (unsigned long long)args->number);
        }
        ++args;
    }
    *out = '\0';
}
