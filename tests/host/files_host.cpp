// Host stand-in of the platform's files: a disk held in memory, so that a
// whole Apply costs microseconds, with switches to fail chosen operations, to
// cut the power, to fill the disk, and a model of the system's write cache:
// what was written to a file since its last successful flush is lost when
// its close fails or the power goes. The host tests and the fuzz targets both
// run on it.
#include <stdlib.h>
#include <string.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/host/host_control.h"

namespace {

struct DiskEntry {
    std::string bytes;
    size_t lasting = 0;      // bytes that have reached the disk; the rest is in the cache
    bool folder = false;
    bool immutable = false;  // writes fail, a removal is reported but not done
};

struct Handle {
    std::string key;
    std::string name;  // file name, for the log
    size_t at = 0;
    bool writing = false;
};

struct Operation {
    const char* kind;
    std::string name;
    bool done;
};

std::string WindowsDirectory = "C:\\WINDOWS";
std::map<std::string, DiskEntry> Disk;  // by path in lower case
std::map<PlatformFile, Handle> Handles;
PlatformFile NextHandle = 3;
long Room = -1;  // bytes the files may still grow by, -1: no end

unsigned OperationCount = 0;
std::set<unsigned> FailAt;
unsigned PowerCutAfter = 0;
bool KeepLengths = false;  // a cut keeps the files' lengths, their unflushed bytes zero
bool ShortReads = false;
bool Logging = true;
std::vector<Operation> Log;

std::string KeyOf(const std::string& path)
{
    std::string key = path;
    for (char& c : key) {
        if (c == '/')
            c = '\\';
        else if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    }
    return key;
}

// A file's name for the log, in lower case: the disk finds it in any case.
std::string NameOf(const std::string& path)
{
    const std::string key = KeyOf(path);
    size_t slash = key.find_last_of('\\');
    return slash == std::string::npos ? key : key.substr(slash + 1);
}

void LoseUnflushed(DiskEntry& entry, bool keepLength = false)
{
    if (keepLength) {
        for (size_t i = entry.lasting; i < entry.bytes.size(); ++i)
            entry.bytes[i] = '\0';
        return;
    }
    if (entry.bytes.size() > entry.lasting) {
        if (Room >= 0)
            Room += (long)(entry.bytes.size() - entry.lasting);
        entry.bytes.resize(entry.lasting);
    }
}

void LoseAllUnflushed()
{
    for (auto& entry : Disk)
        LoseUnflushed(entry.second, KeepLengths);
}

bool PowerIsOff()
{
    return PowerCutAfter != 0 && OperationCount > PowerCutAfter;
}

// Counts one operation and logs it; true when it is to fail, or when the
// power is gone and it must not happen at all.
bool Fails(const char* kind, const std::string& name)
{
    ++OperationCount;
    bool dead = PowerIsOff();
    if (dead && OperationCount == PowerCutAfter + 1)
        LoseAllUnflushed();
    if (Logging)
        Log.push_back(Operation{kind, name, !dead});
    return dead || FailAt.count(OperationCount) != 0;
}

Handle* HandleOf(PlatformFile file)
{
    auto found = Handles.find(file);
    return found == Handles.end() ? nullptr : &found->second;
}

bool Fails(const char* kind, PlatformFile file)
{
    Handle* handle = HandleOf(file);
    return Fails(kind, handle == nullptr ? std::string("?") : handle->name);
}

DiskEntry* EntryAt(const std::string& key)
{
    auto found = Disk.find(key);
    return found == Disk.end() ? nullptr : &found->second;
}

bool HasFolderFor(const std::string& key)
{
    size_t slash = key.find_last_of('\\');
    if (slash == std::string::npos || KeyOf(WindowsDirectory) == key.substr(0, slash))
        return true;
    DiskEntry* parent = EntryAt(key.substr(0, slash));
    return parent != nullptr && parent->folder;
}

PlatformFile Open(const char* kind, const char* path, bool create)
{
    const std::string key = KeyOf(path);
    if (Fails(kind, NameOf(path)))
        return PlatformNoFile;
    DiskEntry* entry = EntryAt(key);
    if (entry != nullptr && entry->folder)
        return PlatformNoFile;
    if (create) {
        if (!HasFolderFor(key) || (entry != nullptr && entry->immutable))
            return PlatformNoFile;
        if (entry == nullptr)
            entry = &Disk[key];
        if (Room >= 0)
            Room += (long)entry->bytes.size();
        entry->bytes.clear();
        entry->lasting = 0;  // a truncation reaches the disk at once
    } else if (entry == nullptr) {
        return PlatformNoFile;
    }
    PlatformFile file = NextHandle++;
    Handles[file] = Handle{key, NameOf(path), 0, create};
    return file;
}

}  // namespace

// ---- Controls -------------------------------------------------------------------

void HostSetWindowsDirectory(const char* directory)
{
    WindowsDirectory = directory;
}

const std::string& HostWindowsDirectory()
{
    return WindowsDirectory;
}

std::string HostWindowsPath(const std::string& name)
{
    return WindowsDirectory + "\\" + name;
}

void HostClearDisk()
{
    Disk.clear();
    Handles.clear();
    Room = -1;
    HostResetFileOperations(0);
}

void HostPutFile(const std::string& path, const std::string& bytes)
{
    DiskEntry& entry = Disk[KeyOf(path)];
    entry = DiskEntry();
    entry.bytes = bytes;
    entry.lasting = bytes.size();
}

bool HostGetFile(const std::string& path, std::string* bytes)
{
    DiskEntry* entry = EntryAt(KeyOf(path));
    if (entry == nullptr || entry->folder)
        return false;
    *bytes = entry->bytes;
    return true;
}

void HostRemoveFile(const std::string& path)
{
    const std::string key = KeyOf(path);
    for (auto at = Disk.begin(); at != Disk.end();) {
        if (at->first == key || at->first.compare(0, key.size() + 1, key + "\\") == 0)
            at = Disk.erase(at);
        else
            ++at;
    }
}

void HostMakeFolder(const std::string& path)
{
    HostRemoveFile(path);
    Disk[KeyOf(path)].folder = true;
}

void HostMakeImmutable(const std::string& path, bool immutable)
{
    DiskEntry* entry = EntryAt(KeyOf(path));
    if (entry != nullptr)
        entry->immutable = immutable;
}

void HostSetDiskRoom(long bytes)
{
    Room = bytes;
}

unsigned HostOpenFileCount()
{
    return (unsigned)Handles.size();
}

std::vector<std::string> HostOpenFiles()
{
    std::vector<std::string> names;
    for (const auto& handle : Handles)
        names.push_back(handle.second.name);
    return names;
}

void HostFailFileOperations(const std::set<unsigned>& failing)
{
    // After a power cut the cache is lost; otherwise what it holds reaches
    // the disk.
    if (PowerCutAfter != 0)
        LoseAllUnflushed();
    for (auto& entry : Disk)
        entry.second.lasting = entry.second.bytes.size();
    OperationCount = 0;
    FailAt = failing;
    FailAt.erase(0);
    PowerCutAfter = 0;
    KeepLengths = false;
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

void HostCutPowerAfter(unsigned count, unsigned failAt, bool keepLengths)
{
    HostResetFileOperations(failAt);
    PowerCutAfter = count;
    KeepLengths = keepLengths;
}

void HostLogFileOperations(bool logging)
{
    Logging = logging;
}

std::vector<std::string> HostFileOperationLog()
{
    std::vector<std::string> lines;
    for (const Operation& op : Log)
        lines.push_back(std::string(op.done ? "" : "(not done) ") + op.kind + (op.name.empty() ? "" : " " + op.name));
    return lines;
}

unsigned HostFileOperationCount()
{
    return OperationCount;
}

// ---- The platform's calls ----------------------------------------------------------

PlatformFile PlatformOpenRead(const char* path)
{
    return Open("open", path, false);
}

PlatformFile PlatformCreate(const char* path)
{
    return Open("create", path, true);
}

int PlatformRead(PlatformFile file, char* bytes, unsigned count)
{
    Handle* handle = HandleOf(file);
    if (Fails("read", file)) {
        if (!ShortReads || PowerIsOff())
            return -1;
        count /= 2;
    }
    DiskEntry* entry = handle == nullptr ? nullptr : EntryAt(handle->key);
    if (entry == nullptr || handle->writing)
        return -1;
    size_t n = handle->at < entry->bytes.size() ? entry->bytes.size() - handle->at : 0;
    if (n > count)
        n = count;
    memcpy(bytes, entry->bytes.data() + handle->at, n);
    handle->at += n;
    return (int)n;
}

int PlatformWrite(PlatformFile file, const char* bytes, unsigned count)
{
    if (count == 0)
        return 0;
    Handle* handle = HandleOf(file);
    if (Fails("write", file)) {
        if (PowerIsOff())
            return -1;
        count /= 2;  // as a full disk does
    }
    DiskEntry* entry = handle == nullptr ? nullptr : EntryAt(handle->key);
    if (entry == nullptr || !handle->writing)
        return -1;
    size_t end = handle->at + count;
    if (Room >= 0 && end > entry->bytes.size()) {
        size_t grows = end - entry->bytes.size();
        if ((long)grows > Room) {
            count -= (unsigned)(grows - (size_t)Room);  // the disk is full
            grows = (size_t)Room;
        }
        Room -= (long)grows;
    }
    if (handle->at + count > entry->bytes.size())
        entry->bytes.resize(handle->at + count);
    memcpy(&entry->bytes[handle->at], bytes, count);
    handle->at += count;
    return (int)count;
}

long PlatformFileLength(PlatformFile file)
{
    Handle* handle = HandleOf(file);
    if (Fails("length", file) || handle == nullptr)
        return -1;
    DiskEntry* entry = EntryAt(handle->key);
    return entry == nullptr ? -1 : (long)entry->bytes.size();
}

bool PlatformClose(PlatformFile file)
{
    bool fail = Fails("close", file);
    Handle* handle = HandleOf(file);
    if (handle == nullptr)
        return false;
    DiskEntry* entry = EntryAt(handle->key);
    if (fail && handle->writing && entry != nullptr && !PowerIsOff())
        LoseUnflushed(*entry);
    Handles.erase(file);
    return !fail;
}

bool PlatformFlush(PlatformFile file)
{
    // A failed flush leaves the bytes in the cache.
    Handle* handle = HandleOf(file);
    if (Fails("flush", file) || handle == nullptr)
        return false;
    DiskEntry* entry = EntryAt(handle->key);
    if (entry == nullptr)
        return false;
    entry->lasting = entry->bytes.size();
    return true;
}

bool PlatformDelete(const char* path)
{
    if (Fails("delete", NameOf(path)))
        return false;
    const std::string key = KeyOf(path);
    DiskEntry* entry = EntryAt(key);
    if (entry == nullptr || entry->folder)
        return false;
    if (entry->immutable)
        return true;  // reported as done, as some systems do
    if (Room >= 0)
        Room += (long)entry->bytes.size();
    Disk.erase(key);  // a removal reaches the disk at once
    return true;
}

bool PlatformRemoveFolder(const char* path)
{
    if (Fails("remove-folder", NameOf(path)))
        return false;
    const std::string key = KeyOf(path);
    DiskEntry* entry = EntryAt(key);
    if (entry == nullptr || !entry->folder)
        return false;
    for (const auto& other : Disk) {
        if (other.first.compare(0, key.size() + 1, key + "\\") == 0)
            return false;  // not empty
    }
    Disk.erase(key);
    return true;
}

bool PlatformRename(const char* from, const char* to)
{
    if (Fails("rename", NameOf(from) + ">" + NameOf(to)))
        return false;
    const std::string fromKey = KeyOf(from), toKey = KeyOf(to);
    DiskEntry* entry = EntryAt(fromKey);
    if (entry == nullptr || entry->folder || entry->immutable || EntryAt(toKey) != nullptr || !HasFolderFor(toKey))
        return false;
    for (const auto& handle : Handles) {
        if (handle.second.key == fromKey)
            return false;  // in use
    }
    DiskEntry moved = *entry;
    Disk.erase(fromKey);
    Disk[toKey] = moved;  // a rename reaches the disk at once, with what had
    return true;
}

PlatformFileCheck PlatformCheckFile(const char* path)
{
    if (Fails("check", NameOf(path)))
        return PlatformFileUnknown;
    DiskEntry* entry = EntryAt(KeyOf(path));
    if (entry == nullptr)
        return PlatformFileAbsent;
    return entry->folder ? PlatformFileFolder : PlatformFilePresent;
}

void PlatformFlushProfileCache()
{
    // Logged with the file operations, so that tests see where it comes.
    Fails("flush-profiles", "");
}

void PlatformCommitVolume(const char* path)
{
    // Logged with the file operations, with its drive, so that tests see
    // where it comes. The stand-in's removals and renames reach its disk at
    // once, so there is nothing more to commit.
    Fails("commit-volume", std::string(path).substr(0, 2));
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
