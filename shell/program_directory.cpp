#include "shell/program_directory.h"

char ProgramDirectory[TextBufferSize];

void CutToDirectory(char* path)
{
    unsigned end = 0;  // just after the last separator seen
    unsigned i = 0;
    for (; i < TextBufferSize && path[i] != '\0'; ++i) {
        if (path[i] == '\\' || path[i] == '/')
            end = i + 1;
    }
    if (i == TextBufferSize)
        end = 0;  // no end within the buffer: not a path to trust
    path[end] = '\0';
}
