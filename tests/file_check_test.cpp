// The decisions the file layer takes from what the system answers: whether a
// file is absent, from the codes it gives (Windows 95 may fail a call with any
// code, even 0), and what the volume commit asks and what its answer means.
#include <gtest/gtest.h>

#include "platform/file_check.h"
#include "platform/volume_commit.h"

TEST(FileCheck, OnlyFileAndPathNotFoundSayAbsent)
{
    const PlatformFileCheck Absent = PlatformFileAbsent, Present = PlatformFilePresent,
                            Unknown = PlatformFileUnknown;
    // GetFileAttributesA's code; OpenFile's answer when it is asked: found,
    // and its DOS error code; what PlatformCheckFile reports.
    struct Case {
        unsigned long attributesError;
        bool asksOpenFile, found;
        unsigned dosError;
        PlatformFileCheck check;
    } cases[] = {
        {2, false, false, 0, Absent},     // file not found
        {3, false, false, 0, Absent},     // path not found
        {0, true, false, 2, Absent},      // Windows 95's 0 from a failed call
        {0, true, false, 3, Absent},
        {0, true, true, 0, Present},      // the second look finds it
        {0, true, false, 0, Unknown},
        {5, true, false, 5, Unknown},     // access denied
        {5, true, true, 0, Present},
        {32, true, false, 32, Unknown},   // sharing violation
        {18, true, false, 2, Absent},     // no more files, then not found
        {21, true, false, 21, Unknown},   // drive not ready
        {1, true, false, 4, Unknown},
        {0xFFFFFFFF, true, false, 3, Absent},
    };
    for (const Case& c : cases) {
        PlatformFileCheck first = CheckFromAttributesError(c.attributesError);
        EXPECT_EQ(first == PlatformFileUnknown, c.asksOpenFile) << c.attributesError;
        PlatformFileCheck check = c.asksOpenFile ? CheckFromOpenFile(c.found, c.dosError) : first;
        EXPECT_EQ(check, c.check) << c.attributesError << " " << c.found << " " << c.dosError;
    }
}

// The volume commit's registers for a path's drive, and what VWIN32's answer means.
TEST(FileCheck, TheVolumeCommitAsksForTheDriveAndReadsTheCarry)
{
    DosRegisters r;
    ASSERT_TRUE(ResetDriveRegisters("C:\\WINDOWS", &r));
    EXPECT_EQ(r.eax, 0x710Du);
    EXPECT_EQ(r.ecx, 1u);
    EXPECT_EQ(r.edx, 3u);
    EXPECT_EQ(r.flags & DosCarryFlag, DosCarryFlag);  // set, so that only a call that ran clears it
    ASSERT_TRUE(ResetDriveRegisters("a:\\", &r));
    EXPECT_EQ(r.edx, 1u);
    for (const char* path : {"\\\\SERVER\\WINDOWS", "WINDOWS", "@:\\", "C"})
        EXPECT_FALSE(ResetDriveRegisters(path, &r)) << path;
    const DosRegisters done = {0, 3, 1, 0x710D, 0, 0, 0}, failed = {0, 3, 1, 0x0005, 0, 0, DosCarryFlag},
                       missing = {0, 3, 1, 0x7100, 0, 0, DosCarryFlag};
    EXPECT_EQ(ResetDriveResult(true, done), ResetDriveDone);
    EXPECT_EQ(ResetDriveResult(true, failed), ResetDriveFailed);
    EXPECT_EQ(ResetDriveResult(true, missing), ResetDriveNotThere);
    EXPECT_EQ(ResetDriveResult(false, done), ResetDriveNotAsked);
}
