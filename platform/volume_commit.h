// What PlatformCommitVolume asks of VWIN32 on Windows 95, 98 and Me, and what
// it makes of the answer. No system call here, so the native tests try it.
//
// Interrupt 21h Function 710Dh, Reset Drive (Win32 SDK, Windows 95
// reference, "Interrupt 21h Function 710Dh"): AX 710Dh, CX 0001h to reset the
// drive, flush the file system buffers and flush and invalidate the cache, DX
// the drive (1 for A:). It returns nothing but the carry flag: clear when it
// was done, set on an error; where the long-file-name functions are not
// there at all, AX comes back as 7100h with the carry set. A Win32 program
// has VWIN32 carry out the interrupt ("Using VWIN32 to Carry Out MS-DOS
// Functions"): DeviceIoControl on "\\.\vwin32" with VWIN32_DIOC_DOS_IOCTL and
// the registers as a DIOC_REGISTERS block, in and out.
#pragma once

#include <stdint.h>

struct DosRegisters {  // DIOC_REGISTERS, in its order
    uint32_t ebx, edx, ecx, eax, edi, esi, flags;
};
const uint32_t DosCarryFlag = 1;
const unsigned long VwinDosIoctl = 1;  // VWIN32_DIOC_DOS_IOCTL

// The registers of a Reset Drive of the drive of path ("C:\\..." or "c:...");
// false when path begins with no drive letter.
inline bool ResetDriveRegisters(const char* path, DosRegisters* registers)
{
    char letter = (char)(path[0] & ~0x20);  // upper case
    if (letter < 'A' || letter > 'Z' || path[1] != ':')
        return false;
    *registers = DosRegisters{0, (uint32_t)(letter - 'A' + 1), 0x0001, 0x710D, 0, 0, DosCarryFlag};
    return true;
}

enum ResetDriveAnswer { ResetDriveDone, ResetDriveFailed, ResetDriveNotThere, ResetDriveNotAsked };

// What the answer means: called is what DeviceIoControl returned.
inline ResetDriveAnswer ResetDriveResult(bool called, const DosRegisters& after)
{
    if (!called)
        return ResetDriveNotAsked;
    if ((after.flags & DosCarryFlag) == 0)
        return ResetDriveDone;
    return (after.eax & 0xFFFF) == 0x7100 ? ResetDriveNotThere : ResetDriveFailed;
}

// Its line for the debugger's output.
inline const char* ResetDriveText(ResetDriveAnswer answer)
{
    static const char* const Texts[] = {"710Dh done\n", "710Dh failed\n", "710Dh missing\n", "710Dh refused\n"};
    return Texts[answer];
}
