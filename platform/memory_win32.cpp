// The one block of memory the settings rewrite holds a file in.
#include <windows.h>

#include "platform/platform.h"

void* PlatformAllocate(unsigned long size)
{
    return HeapAlloc(GetProcessHeap(), 0, size);
}

void PlatformFree(void* block)
{
    if (block != nullptr)
        HeapFree(GetProcessHeap(), 0, block);
}
