// Whether the mark of an interrupted rewrite is absent, decided from the codes
// the system gives: Windows 95 may fail a call with any code, even 0.
#include <gtest/gtest.h>

#include "platform/file_check.h"

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
