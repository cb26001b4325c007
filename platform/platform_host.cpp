// Host stand-in of the platform layer: POSIX files in a directory the tests
// choose, with a switch to make any one file operation fail.
#include <fcntl.h>
#include <sys/stat.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "platform/host_control.h"
#include "platform/platform.h"

namespace {

std::string WindowsDirectory;
unsigned OperationCount = 0;
unsigned FailAt = 0;
unsigned PowerCutAfter = 0;
std::vector<std::string> Log;
std::map<int, std::string> OpenNames;  // file name of each open handle

std::string NameOf(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Counts one file operation and logs it; true when it is to fail, or when
// the power is gone and it must not happen at all.
bool Fails(const char* kind, const std::string& name)
{
    ++OperationCount;
    bool dead = PowerCutAfter != 0 && OperationCount > PowerCutAfter;
    Log.push_back(std::string(dead ? "(not done) " : "") + kind + (name.empty() ? "" : " " + name));
    return dead || OperationCount == FailAt;
}

bool Fails(const char* kind, PlatformFile file)
{
    return Fails(kind, OpenNames[(int)file]);
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

PlatformFile Open(const char* kind, const char* path, int flags)
{
    if (Fails(kind, NameOf(path)))
        return PlatformNoFile;
    int fd = open(HostPath(path).c_str(), flags, 0644);
    if (fd >= 0)
        OpenNames[fd] = NameOf(path);
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
    PowerCutAfter = 0;
    Log.clear();
}

void HostCutPowerAfter(unsigned count)
{
    HostResetFileOperations(0);
    PowerCutAfter = count;
}

std::vector<std::string> HostFileOperationLog()
{
    return Log;
}

unsigned HostFileOperationCount()
{
    return OperationCount;
}

PlatformFile PlatformOpenRead(const char* path)
{
    return Open("open", path, O_RDONLY);
}

PlatformFile PlatformCreate(const char* path)
{
    return Open("create", path, O_WRONLY | O_CREAT | O_TRUNC);
}

int PlatformRead(PlatformFile file, char* bytes, unsigned count)
{
    if (Fails("read", file))
        return -1;
    ssize_t got = read((int)file, bytes, count);
    return got < 0 ? -1 : (int)got;
}

int PlatformWrite(PlatformFile file, const char* bytes, unsigned count)
{
    if (count == 0)
        return 0;
    if (Fails("write", file)) {
        if (PowerCutAfter != 0)
            return -1;
        count /= 2;
    }
    ssize_t put = count == 0 ? 0 : write((int)file, bytes, count);
    return put < 0 ? -1 : (int)put;
}

long PlatformFileLength(PlatformFile file)
{
    if (Fails("length", file))
        return -1;
    struct stat info;
    return fstat((int)file, &info) != 0 ? -1 : (long)info.st_size;
}

bool PlatformClose(PlatformFile file)
{
    bool fail = Fails("close", file);
    OpenNames.erase((int)file);
    return close((int)file) == 0 && !fail;
}

bool PlatformFlush(PlatformFile file)
{
    // Counted and failed like the others; the stand-in does not wait for the
    // disk, so that the benchmarks time the program's own work.
    return !Fails("flush", file);
}

bool PlatformDelete(const char* path)
{
    if (Fails("delete", NameOf(path)))
        return false;
    return unlink(HostPath(path).c_str()) == 0;
}

void* PlatformAllocate(unsigned long size)
{
    if (Fails("allocate", ""))
        return nullptr;
    return malloc(size == 0 ? 1 : size);
}

void PlatformFree(void* block)
{
    free(block);
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
