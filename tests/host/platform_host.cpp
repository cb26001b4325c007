// Host stand-in of the platform layer: POSIX files in a directory the tests
// choose, with switches to make chosen file operations fail or to cut the
// power, and a model of the system's write cache: what was written to a file
// since its last successful flush is lost when its close fails or the power
// goes.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/host/host_control.h"
#include "platform/platform.h"

namespace {

std::string WindowsDirectory;
unsigned OperationCount = 0;
std::set<unsigned> FailAt;
unsigned PowerCutAfter = 0;
bool ShortReads = false;  // a failed read is short rather than -1
std::vector<std::string> Log;
struct OpenFileState {
    std::string name;  // file name, for the log
    std::string path;  // host path
    bool written;      // made by PlatformCreate
};
std::map<int, OpenFileState> OpenFiles;
// The write cache: for each file created since the last reset, how long it is
// on the disk (its length at its last successful flush; 0 once truncated).
// The writes beyond that are only in the cache.
std::map<std::string, long> FlushedLength;

// Drops what the cache held of path, as a failed close or a power cut does.
void LoseUnflushed(const std::string& path)
{
    auto at = FlushedLength.find(path);
    if (at != FlushedLength.end())
        (void)truncate(path.c_str(), at->second);
}

// The power is gone: every file loses what the cache held of it.
void LoseAllUnflushed()
{
    for (const auto& file : FlushedLength)
        LoseUnflushed(file.first);
    FlushedLength.clear();
}

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
    if (dead && OperationCount == PowerCutAfter + 1)
        LoseAllUnflushed();
    Log.push_back(std::string(dead ? "(not done) " : "") + kind + (name.empty() ? "" : " " + name));
    return dead || FailAt.count(OperationCount) != 0;
}

bool Fails(const char* kind, PlatformFile file)
{
    return Fails(kind, OpenFiles[(int)file].name);
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
    bool create = (flags & O_CREAT) != 0;
    int fd = open(HostPath(path).c_str(), flags, 0644);
    if (fd >= 0) {
        OpenFiles[fd] = OpenFileState{NameOf(path), HostPath(path), create};
        if (create)
            FlushedLength[HostPath(path)] = 0;  // the truncation reaches the disk at once
    }
    return fd < 0 ? PlatformNoFile : (PlatformFile)fd;
}

}  // namespace

void HostSetWindowsDirectory(const char* directory)
{
    WindowsDirectory = directory;
}

void HostFailFileOperations(const std::set<unsigned>& failing)
{
    // After a power cut the cache is lost; otherwise what it holds reaches
    // the disk.
    if (PowerCutAfter != 0)
        LoseAllUnflushed();
    FlushedLength.clear();
    OperationCount = 0;
    FailAt = failing;
    FailAt.erase(0);
    PowerCutAfter = 0;
    ShortReads = false;
    Log.clear();
}

void HostResetFileOperations(unsigned failAt)
{
    HostFailFileOperations({failAt});
}

void HostFailReadsShort()
{
    ShortReads = true;
}

void HostCutPowerAfter(unsigned count, unsigned failAt)
{
    HostResetFileOperations(failAt);
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
    if (Fails("read", file)) {
        if (!ShortReads || PowerCutAfter != 0)
            return -1;
        count /= 2;
    }
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
    const OpenFileState state = OpenFiles[(int)file];
    OpenFiles.erase((int)file);
    bool closed = close((int)file) == 0;
    if (fail && state.written && PowerCutAfter == 0)
        LoseUnflushed(state.path);
    return closed && !fail;
}

bool PlatformFlush(PlatformFile file)
{
    // Counted and failed like the others; the stand-in does not wait for the
    // disk, so that the benchmarks time the program's own work. A failed
    // flush leaves the bytes in the cache.
    if (Fails("flush", file))
        return false;
    struct stat info;
    if (fstat((int)file, &info) != 0)
        return false;
    const OpenFileState& state = OpenFiles[(int)file];
    if (state.written)
        FlushedLength[state.path] = (long)info.st_size;
    return true;
}

bool PlatformDelete(const char* path)
{
    if (Fails("delete", NameOf(path)))
        return false;
    FlushedLength.erase(HostPath(path));  // a removal reaches the disk at once
    return unlink(HostPath(path).c_str()) == 0;
}

PlatformFileCheck PlatformCheckFile(const char* path)
{
    if (Fails("check", NameOf(path)))
        return PlatformFileUnknown;
    struct stat info;
    if (stat(HostPath(path).c_str(), &info) == 0)
        return PlatformFilePresent;
    return errno == ENOENT ? PlatformFileAbsent : PlatformFileUnknown;
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
