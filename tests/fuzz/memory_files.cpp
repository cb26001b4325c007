#include "tests/fuzz/memory_files.h"

#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/platform.h"

namespace {

std::map<std::string, std::string> Disk;
struct Open {
    std::string name;
    size_t at;
    bool writing;
};
std::map<PlatformFile, Open> Handles;
PlatformFile NextHandle = 1;
unsigned Operations = 0;
unsigned FailAt = 0;

bool Fails()
{
    return ++Operations == FailAt;
}

// "C:\WINDOWS\system.ini" to "system.ini"; paths elsewhere are not on the disk.
bool NameOf(const char* path, std::string* name)
{
    const char prefix[] = FuzzWindowsDirectory "\\";
    if (strncmp(path, prefix, sizeof prefix - 1) != 0)
        return false;
    *name = path + sizeof prefix - 1;
    return true;
}

PlatformFile OpenFile(const char* path, bool create)
{
    std::string name;
    if (Fails() || !NameOf(path, &name))
        return PlatformNoFile;
    if (create)
        Disk[name].clear();
    else if (Disk.count(name) == 0)
        return PlatformNoFile;
    Handles[NextHandle] = {name, 0, create};
    return NextHandle++;
}

}  // namespace

void FuzzResetFiles(unsigned failAt)
{
    Disk.clear();
    Handles.clear();
    Operations = 0;
    FailAt = failAt;
}

void FuzzFailAt(unsigned failAt)
{
    Operations = 0;
    FailAt = failAt;
}

unsigned FuzzFileOperations() { return Operations; }

void FuzzPutFile(const std::string& name, const std::string& bytes) { Disk[name] = bytes; }

bool FuzzGetFile(const std::string& name, std::string* bytes)
{
    auto found = Disk.find(name);
    if (found == Disk.end())
        return false;
    *bytes = found->second;
    return true;
}

PlatformFile PlatformOpenRead(const char* path) { return OpenFile(path, false); }
PlatformFile PlatformCreate(const char* path) { return OpenFile(path, true); }

int PlatformRead(PlatformFile file, char* bytes, unsigned count)
{
    if (Fails() || Handles.count(file) == 0)
        return -1;
    Open& open = Handles[file];
    const std::string& content = Disk[open.name];
    size_t n = open.at < content.size() ? content.size() - open.at : 0;
    if (n > count)
        n = count;
    memcpy(bytes, content.data() + open.at, n);
    open.at += n;
    return (int)n;
}

int PlatformWrite(PlatformFile file, const char* bytes, unsigned count)
{
    if (Handles.count(file) == 0 || !Handles[file].writing)
        return -1;
    unsigned n = Fails() ? count / 2 : count;
    Open& open = Handles[file];
    std::string& content = Disk[open.name];
    content.replace(open.at, n, bytes, n);
    open.at += n;
    return (int)n;
}

long PlatformFileLength(PlatformFile file)
{
    if (Fails() || Handles.count(file) == 0)
        return -1;
    return (long)Disk[Handles[file].name].size();
}

bool PlatformClose(PlatformFile file)
{
    bool failed = Fails();
    return Handles.erase(file) == 1 && !failed;
}

bool PlatformFlush(PlatformFile file) { return !Fails() && Handles.count(file) == 1; }

bool PlatformDelete(const char* path)
{
    std::string name;
    return !Fails() && NameOf(path, &name) && Disk.erase(name) == 1;
}

PlatformFileCheck PlatformCheckFile(const char* path)
{
    std::string name;
    if (Fails() || !NameOf(path, &name))
        return PlatformFileUnknown;
    return Disk.count(name) ? PlatformFilePresent : PlatformFileAbsent;
}

void* PlatformAllocate(unsigned long size) { return Fails() ? nullptr : malloc(size); }
void PlatformFree(void* block) { free(block); }

unsigned PlatformWindowsDirectory(char* out, unsigned size)
{
    const char directory[] = FuzzWindowsDirectory;
    if (sizeof directory > size)
        return 0;
    memcpy(out, directory, sizeof directory);
    return sizeof directory - 1;
}
