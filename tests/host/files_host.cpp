// Host stand-in of the platform's files: a disk held in memory, so that a
// whole Apply costs microseconds, with switches to fail chosen operations, to
// cut the power, to fill the disk, and a model of what Windows 9x keeps in
// its cache on a FAT disk: the data written to a file since its last flush,
// its directory entry as that write left it, and every creation, removal and
// rename of the folder since the last commit of the volume. A flush writes a
// file's data and its own entry; a commit writes everything. When the power
// goes, the test chooses what of the cache had reached the disk
// (HostLandPowerCut). The host tests and the fuzz targets both run on it.
#include <stdlib.h>
#include <string.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "tests/host/host_control.h"

namespace {

// A file's clusters, or a folder.
struct FileData {
    std::string bytes;      // what a read gives now, through the cache
    std::string disk;       // what its clusters on the disk hold
    size_t diskLength = 0;  // the length its directory entry has on the disk
    bool dirty = false;     // written since its last flush
};

// A name in the directory.
struct DiskEntry {
    int file = -1;  // into Files
    bool folder = false;
    bool immutable = false;  // writes fail, a removal is reported but not done
    bool unreadable = false;  // it cannot be opened for reading
    unsigned long attributes = PlatformArchive;
};
typedef std::map<std::string, DiskEntry> Directory;  // by path in lower case

// A change of the directory not yet on the disk: an entry set at to (a
// creation, or a change of the entry's attributes), removed from from, or
// moved from from to to.
struct DirectoryChange {
    std::string from, to;
    DiskEntry entry;
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

// Everything a power cut can be landed from again.
struct DiskState {
    Directory shown, onDisk;
    std::vector<DirectoryChange> pending;
    std::vector<FileData> files;
    std::string freed;  // what the clusters freed last held, most recent first
};

std::string WindowsDirectory = "C:\\WINDOWS";
DiskState State;
Directory& Disk = State.shown;
std::vector<FileData>& Files = State.files;
DiskState AtCut;
bool CutTaken = false, CutLanded = false;
std::map<PlatformFile, Handle> Handles;
PlatformFile NextHandle = 3;
long Room = -1;  // bytes the files may still grow by, -1: no end

unsigned OperationCount = 0;
std::set<unsigned> FailAt;
unsigned PowerCutAfter = 0;
bool ShortReads = false;
bool Logging = true;
std::vector<Operation> Log;

const size_t SectorSize = 512;
const char EarlierBytes[] = "bytes the disk held before\r\n";

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

int NewFile()
{
    Files.push_back(FileData());
    return (int)Files.size() - 1;
}

// What the disk held at position at of a file's clusters before they were
// written: their earlier content, then what the clusters freed last held.
char EarlierByte(const FileData& data, size_t at)
{
    if (at < data.disk.size())
        return data.disk[at];
    at -= data.disk.size();
    if (at < State.freed.size())
        return State.freed[at];
    return EarlierBytes[(at - State.freed.size()) % (sizeof EarlierBytes - 1)];
}

// The start of what the disk held in clusters freed lately: enough for the
// earlier bytes of any file the tests write.
const size_t FreedKept = 64u << 10;

void Free(const FileData& data)
{
    std::string freed = data.disk.substr(0, data.diskLength < FreedKept ? data.diskLength : FreedKept);
    if (freed.size() < FreedKept)
        freed += State.freed.substr(0, FreedKept - freed.size());
    State.freed.swap(freed);
}

// A file's data and its own entry reach the disk.
void MakeLasting(const std::string& key, FileData& data)
{
    data.disk = data.bytes;
    data.diskLength = data.bytes.size();
    data.dirty = false;
    auto entry = Disk.find(key);
    if (entry == Disk.end())
        return;
    // Its slot, with the name it has now: an earlier name of it goes.
    for (auto at = State.onDisk.begin(); at != State.onDisk.end();) {
        if (at->second.file == entry->second.file && at->first != key)
            at = State.onDisk.erase(at);
        else
            ++at;
    }
    State.onDisk[key] = entry->second;
}

// Keeps only the files that some entry names, so that a long test does not
// carry every file it ever made.
void Compact()
{
    std::map<int, int> kept;
    std::vector<FileData> files;
    auto keep = [&](DiskEntry& entry) {
        auto at = kept.find(entry.file);
        if (at == kept.end()) {
            at = kept.emplace(entry.file, (int)files.size()).first;
            files.push_back(std::move(Files[entry.file]));
        }
        entry.file = at->second;
    };
    for (Directory* directory : {&State.shown, &State.onDisk}) {
        for (auto& entry : *directory)
            keep(entry.second);
    }
    for (DirectoryChange& change : State.pending)
        keep(change.entry);
    Files.swap(files);
}

void CommitAll()
{
    for (auto& entry : Disk) {
        if (!entry.second.folder && Files[entry.second.file].dirty)
            MakeLasting(entry.first, Files[entry.second.file]);
    }
    State.onDisk = Disk;
    State.pending.clear();
}

void Change(const std::string& from, const std::string& to, const DiskEntry& entry)
{
    State.pending.push_back(DirectoryChange{from, to, entry});
}

// Applies a change to a directory as the disk would hold it; false when it
// gives two entries one name.
bool Apply(Directory& directory, const DirectoryChange& change)
{
    auto same = [&](const std::string& key) {
        auto at = directory.find(key);
        return at != directory.end() && at->second.file == change.entry.file;
    };
    if (!change.from.empty() && !same(change.from))
        return true;  // what it changes never reached the disk
    if (!change.to.empty() && directory.count(change.to) != 0 && !same(change.to))
        return false;
    if (!change.from.empty())
        directory.erase(change.from);
    if (!change.to.empty())
        directory[change.to] = change.entry;
    return true;
}

// What of a file written since its last flush is on the disk.
std::string Landed(const FileData& data, HostLanding landing)
{
    if (!data.dirty || landing == LandAll)
        return data.bytes;
    const size_t length = landing == LandNothing ? data.diskLength : data.bytes.size();
    const size_t sectors = (length + SectorSize - 1) / SectorSize;
    std::string bytes(length, '\0');
    for (size_t at = 0; at < length; ++at) {
        const size_t sector = at / SectorSize;
        const bool lands = landing == LandFirstOnly      ? sector == 0
                           : landing == LandAllButFirst  ? sector != 0
                           : landing == LandAllButMiddle ? sector != sectors / 2
                                                         : false;
        bytes[at] = lands && at < data.bytes.size() ? data.bytes[at] : EarlierByte(data, at);
    }
    return bytes;
}

bool Land(unsigned mask, HostLanding landing)
{
    bool whole = true;
    Directory landed = State.onDisk;
    for (size_t n = 0; n < State.pending.size(); ++n) {
        if (n < 32 && (mask >> n & 1) != 0)
            whole = Apply(landed, State.pending[n]) && whole;
    }
    for (auto& entry : landed) {
        if (entry.second.folder)
            continue;
        FileData& data = Files[entry.second.file];
        data.bytes = Landed(data, landing);
    }
    for (auto& data : Files) {
        data.disk = data.bytes;
        data.diskLength = data.bytes.size();
        data.dirty = false;
    }
    State.shown = landed;
    State.onDisk = landed;
    State.pending.clear();
    return whole;
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
    if (dead && !CutTaken) {
        AtCut = State;
        CutTaken = true;
    }
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

FileData* DataAt(const std::string& key)
{
    DiskEntry* entry = EntryAt(key);
    return entry == nullptr || entry->folder ? nullptr : &Files[entry->file];
}

bool HasFolderFor(const std::string& key)
{
    size_t slash = key.find_last_of('\\');
    if (slash == std::string::npos || KeyOf(WindowsDirectory) == key.substr(0, slash))
        return true;
    DiskEntry* parent = EntryAt(key.substr(0, slash));
    return parent != nullptr && parent->folder;
}

void Grow(long bytes)
{
    if (Room >= 0)
        Room -= bytes;
}

PlatformFile Open(const char* kind, const char* path, bool create, bool writing = false)
{
    const std::string key = KeyOf(path);
    if (Fails(kind, NameOf(path)))
        return PlatformNoFile;
    DiskEntry* entry = EntryAt(key);
    if (entry != nullptr && entry->folder)
        return PlatformNoFile;
    if (create) {
        if (!HasFolderFor(key) || (entry != nullptr && (entry->immutable || (entry->attributes & PlatformReadOnly))))
            return PlatformNoFile;
        if (entry == nullptr) {
            DiskEntry made;
            made.file = NewFile();
            Disk[key] = made;
            Change("", key, made);
            entry = &Disk[key];
        }
        FileData& data = Files[entry->file];
        Grow(-(long)data.bytes.size());
        data.bytes.clear();
        data.dirty = true;
    } else if (entry == nullptr || entry->unreadable) {
        return PlatformNoFile;
    }
    PlatformFile file = NextHandle++;
    Handles[file] = Handle{key, NameOf(path), 0, create || writing};
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
    State = DiskState();
    Handles.clear();
    Room = -1;
    HostResetFileOperations(0);
}

void HostPutFile(const std::string& path, const std::string& bytes)
{
    const std::string key = KeyOf(path);
    DiskEntry entry;
    entry.file = NewFile();
    Files[entry.file].bytes = bytes;
    Disk[key] = entry;
    MakeLasting(key, Files[entry.file]);
}

bool HostGetFile(const std::string& path, std::string* bytes)
{
    FileData* data = DataAt(KeyOf(path));
    if (data == nullptr)
        return false;
    *bytes = data->bytes;
    return true;
}

void HostRemoveFile(const std::string& path)
{
    const std::string key = KeyOf(path);
    for (Directory* directory : {&State.shown, &State.onDisk}) {
        for (auto at = directory->begin(); at != directory->end();) {
            if (at->first == key || at->first.compare(0, key.size() + 1, key + "\\") == 0)
                at = directory->erase(at);
            else
                ++at;
        }
    }
}

void HostMakeFolder(const std::string& path)
{
    HostRemoveFile(path);
    DiskEntry entry;
    entry.file = NewFile();
    entry.folder = true;
    Disk[KeyOf(path)] = entry;
    State.onDisk[KeyOf(path)] = entry;
}

void HostMakeImmutable(const std::string& path, bool immutable)
{
    DiskEntry* entry = EntryAt(KeyOf(path));
    if (entry != nullptr)
        entry->immutable = immutable;
}

void HostMakeUnreadable(const std::string& path)
{
    DiskEntry* entry = EntryAt(KeyOf(path));
    if (entry != nullptr)
        entry->unreadable = true;
}

void HostSetAttributes(const std::string& path, unsigned long attributes)
{
    DiskEntry* entry = EntryAt(KeyOf(path));
    if (entry != nullptr) {
        entry->attributes = attributes;
        State.onDisk[KeyOf(path)] = *entry;
    }
}

unsigned long HostAttributes(const std::string& path)
{
    DiskEntry* entry = EntryAt(KeyOf(path));
    return entry == nullptr ? PlatformNoAttributes : entry->attributes;
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
    // After a power cut that was not landed, none of the cache reached the
    // disk; without a cut, all of it does.
    if (CutTaken && !CutLanded)
        HostLandPowerCut(0, LandNothing);
    else if (!CutTaken)
        CommitAll();
    CutTaken = CutLanded = false;
    if (Handles.empty())
        Compact();
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

unsigned HostPendingAtCut()
{
    return CutTaken ? (unsigned)AtCut.pending.size() : 0;
}

bool HostUnflushedAtCut()
{
    if (!CutTaken)
        return false;
    for (const FileData& data : AtCut.files) {
        if (data.dirty)
            return true;
    }
    return false;
}

bool HostLandPowerCut(unsigned mask, HostLanding landing)
{
    if (!CutTaken)
        return true;
    Handles.clear();
    State = AtCut;
    CutLanded = true;
    return Land(mask, landing);
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

PlatformFile PlatformOpenWrite(const char* path)
{
    return Open("open-write", path, false, true);
}

int PlatformRead(PlatformFile file, char* bytes, unsigned count)
{
    Handle* handle = HandleOf(file);
    if (Fails("read", file)) {
        if (!ShortReads || PowerIsOff())
            return -1;
        count /= 2;
    }
    FileData* data = handle == nullptr ? nullptr : DataAt(handle->key);
    if (data == nullptr || handle->writing)
        return -1;
    size_t n = handle->at < data->bytes.size() ? data->bytes.size() - handle->at : 0;
    if (n > count)
        n = count;
    memcpy(bytes, data->bytes.data() + handle->at, n);
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
    if (entry == nullptr || entry->folder || entry->immutable || !handle->writing)
        return -1;
    FileData& data = Files[entry->file];
    size_t end = handle->at + count;
    if (Room >= 0 && end > data.bytes.size()) {
        size_t grows = end - data.bytes.size();
        if ((long)grows > Room) {
            count -= (unsigned)(grows - (size_t)Room);  // the disk is full
            grows = (size_t)Room;
        }
        Grow((long)grows);
    }
    if (handle->at + count > data.bytes.size())
        data.bytes.resize(handle->at + count);
    memcpy(&data.bytes[handle->at], bytes, count);
    handle->at += count;
    data.dirty = true;
    return (int)count;
}

long PlatformFileLength(PlatformFile file)
{
    Handle* handle = HandleOf(file);
    if (Fails("length", file) || handle == nullptr)
        return -1;
    FileData* data = DataAt(handle->key);
    return data == nullptr ? -1 : (long)data->bytes.size();
}

bool PlatformClose(PlatformFile file)
{
    bool fail = Fails("close", file);
    Handle* handle = HandleOf(file);
    if (handle == nullptr)
        return false;
    FileData* data = DataAt(handle->key);
    if (fail && handle->writing && data != nullptr && data->dirty && !PowerIsOff()) {
        // What the cache held of it is lost.
        std::string left(data->diskLength, '\0');
        for (size_t at = 0; at < left.size(); ++at)
            left[at] = EarlierByte(*data, at);
        Grow((long)left.size() - (long)data->bytes.size());
        data->bytes = left;
        data->dirty = false;
    }
    Handles.erase(file);
    return !fail;
}

bool PlatformFlush(PlatformFile file)
{
    // A failed flush leaves the bytes in the cache.
    Handle* handle = HandleOf(file);
    if (Fails("flush", file) || handle == nullptr)
        return false;
    FileData* data = DataAt(handle->key);
    if (data == nullptr)
        return false;
    MakeLasting(handle->key, *data);
    return true;
}

bool PlatformDelete(const char* path)
{
    if (Fails("delete", NameOf(path)))
        return false;
    const std::string key = KeyOf(path);
    DiskEntry* entry = EntryAt(key);
    if (entry == nullptr || entry->folder || (entry->attributes & PlatformReadOnly) != 0)
        return false;
    if (entry->immutable)
        return true;  // reported as done, as some systems do
    FileData& data = Files[entry->file];
    Grow(-(long)data.bytes.size());
    Free(data);
    Change(key, "", *entry);
    Disk.erase(key);
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
    Change(key, "", *entry);
    Disk.erase(key);
    return true;
}

bool PlatformRename(const char* from, const char* to)
{
    if (Fails("rename", NameOf(from) + ">" + NameOf(to)))
        return false;
    const std::string fromKey = KeyOf(from), toKey = KeyOf(to);
    DiskEntry* entry = EntryAt(fromKey);
    if (entry == nullptr || entry->immutable || EntryAt(toKey) != nullptr || !HasFolderFor(toKey))
        return false;
    for (const auto& handle : Handles) {
        if (handle.second.key == fromKey)
            return false;  // in use
    }
    DiskEntry moved = *entry;
    Change(fromKey, toKey, moved);
    Disk.erase(fromKey);
    Disk[toKey] = moved;
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

unsigned long PlatformFileAttributes(const char* path)
{
    if (Fails("attributes", NameOf(path)))
        return PlatformNoAttributes;
    DiskEntry* entry = EntryAt(KeyOf(path));
    if (entry == nullptr)
        return PlatformNoAttributes;
    return entry->folder ? entry->attributes | 16 : entry->attributes;
}

bool PlatformSetFileAttributes(const char* path, unsigned long attributes)
{
    if (Fails("set-attributes", NameOf(path)))
        return false;
    const std::string key = KeyOf(path);
    DiskEntry* entry = EntryAt(key);
    if (entry == nullptr || entry->immutable)
        return false;
    entry->attributes = attributes;
    Change("", key, *entry);
    return true;
}

void PlatformFlushProfileCache()
{
    // Logged with the file operations, so that tests see where it comes.
    Fails("flush-profiles", "");
}

void PlatformCommitVolume(const char* path)
{
    // Logged with the file operations, with its drive, so that tests see
    // where it comes.
    if (!Fails("commit-volume", std::string(path).substr(0, 2)))
        CommitAll();
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
