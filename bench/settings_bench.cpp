// Times reading and rewriting a 4 KiB and a 1 MiB system.ini on the host and
// prints each as a ratio to a plain read or copy of the same file, made in the
// same run. Best of several rounds, to keep out the noise of a busy machine.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>

#include "core/selection.h"
#include "tests/host/host_control.h"
#include "settings/settings_reader.h"
#include "settings/settings_writer.h"

static std::string Directory;

static std::string PathOf(const char* name) { return Directory + "/" + name; }

static void WriteFile(const char* name, const std::string& bytes)
{
    FILE* f = fopen(PathOf(name).c_str(), "wb");
    if (f == nullptr || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || fclose(f) != 0) {
        perror(name);
        exit(1);
    }
}

// A plain read: open, read in 4 KiB pieces, close.
static void PlainRead()
{
    static char buffer[4096];
    int in = open(PathOf("system.ini").c_str(), O_RDONLY);
    while (read(in, buffer, sizeof buffer) > 0) {
    }
    close(in);
}

// A plain copy of system.ini to another file, in 4 KiB pieces.
static void PlainCopy()
{
    static char buffer[4096];
    int in = open(PathOf("system.ini").c_str(), O_RDONLY);
    int out = open(PathOf("copy.ini").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ssize_t got;
    while ((got = read(in, buffer, sizeof buffer)) > 0) {
        if (write(out, buffer, (size_t)got) != got)
            exit(1);
    }
    close(in);
    close(out);
}

static double BestMicroseconds(const std::function<void()>& work, int repeats)
{
    double best = 1e30;
    for (int round = 0; round < 7; ++round) {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < repeats; ++i)
            work();
        std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        if (took.count() / repeats < best)
            best = took.count() / repeats;
    }
    return best;
}

// A system.ini as Windows 98 writes it, its sections repeated to the size wanted.
static std::string MakeIni(size_t size)
{
    const std::string sections =
        "[boot]\r\noemfonts.fon=vgaoem.fon\r\nshell=Explorer.exe\r\nsystem.drv=system.drv\r\n"
        "drivers=mmsystem.dll power.drv\r\nuser.exe=user.exe\r\nmouse.drv=mouse.drv\r\n"
        "[386Enh]\r\nebios=*ebios\r\nwoafont=dosapp.fon\r\nmouse=*vmouse, msmouse.vxd\r\n"
        "device=*dynapage\r\nMinSPs=16\r\nPagingDrive=C:\r\nkeyboard=*vkd\r\n"
        "display=*vdd,*vflatd\r\n\r\n[drivers]\r\nwavemapper=*.drv\r\n"
        "MSACM.imaadpcm=*.drv\r\nMSACM.msadpcm=*.drv\r\n[mci]\r\n[NonWindowsApp]\r\n"
        "[vcache]\r\nMaxFileCache=32768\r\n[Password Lists]\r\n[display]\r\n";
    std::string ini = "[boot]\r\n[386Enh]\r\n"
                      ";; Following 2 lines by Hueline (hueline@hueline.org)\r\n"
                      ";; They are used to change the color of the blue screen of death\r\n"
                      "MessageBackColor=1\r\nMessageTextColor=E\r\n;; End of Hueline Lines\r\n";
    while (ini.size() < size)
        ini += sections;
    ini.resize(size - 2);
    return ini + "\r\n";
}

static void RunIn(const std::string& where, const char* label)
{
    char pattern[600];
    snprintf(pattern, sizeof pattern, "%s/hueline-bench-XXXXXX", where.c_str());
    if (mkdtemp(pattern) == nullptr) {
        printf("%s: cannot make a folder in %s\n", label, where.c_str());
        return;
    }
    Directory = pattern;
    HostSetWindowsDirectory(Directory.c_str());
    ColorSelection.InstalledBack = "Dark Blue";
    ColorSelection.InstalledText = "Yellow";

    printf("%s (%s)\n", label, where.c_str());
    printf("  %-8s %10s %10s %7s %12s %10s %7s\n", "file", "read us", "plain us", "ratio",
           "rewrite us", "copy us", "ratio");
    for (size_t size : {size_t(4096), size_t(1) << 20}) {
        WriteFile("system.ini", MakeIni(size));
        const int repeats = size > 100000 ? 20 : 1000;
        double read = BestMicroseconds(ReadInstalledColors, repeats);
        double plainRead = BestMicroseconds(PlainRead, repeats);
        // Every Apply after the first rewrites the same bytes.
        double rewrite = BestMicroseconds([] { WriteColorSettings(true); }, repeats);
        double plainCopy = BestMicroseconds(PlainCopy, repeats);
        printf("  %-8s %10.1f %10.1f %6.2fx %12.1f %10.1f %6.2fx\n", size > 100000 ? "1 MiB" : "4 KiB",
               read, plainRead, read / plainRead, rewrite, plainCopy, rewrite / plainCopy);
    }
    for (const char* name : {"system.ini", "system.old", "copy.ini"})
        unlink(PathOf(name).c_str());
    rmdir(Directory.c_str());
}

// Usage: settings_bench [folder on disk]. Also runs in /dev/shm, where the
// file system costs least and the program's own work shows most.
int main(int argc, char** argv)
{
    RunIn(argc > 1 ? argv[1] : ".", "on disk");
    if (access("/dev/shm", W_OK) == 0)
        RunIn("/dev/shm", "in memory");
    printf("targets: read within 1.5x of a plain read, rewrite within 2.5x of a plain copy\n");
    return 0;
}
