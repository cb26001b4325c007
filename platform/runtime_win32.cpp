// The executables link no C runtime. The compiler may still emit calls to
// these for copies and clears, so they are defined here, plainly. This
// file is built so that the compiler does not turn these loops back into calls
// to themselves.
#include <stddef.h>

extern "C" {

void* memcpy(void* to, const void* from, size_t count)
{
    unsigned char* t = (unsigned char*)to;
    const unsigned char* f = (const unsigned char*)from;
    while (count--)
        *t++ = *f++;
    return to;
}

void* memmove(void* to, const void* from, size_t count)
{
    unsigned char* t = (unsigned char*)to;
    const unsigned char* f = (const unsigned char*)from;
    if (t < f) {
        while (count--)
            *t++ = *f++;
    } else {
        while (count--)
            t[count] = f[count];
    }
    return to;
}

void* memset(void* to, int value, size_t count)
{
    unsigned char* t = (unsigned char*)to;
    while (count--)
        *t++ = (unsigned char)value;
    return to;
}

int memcmp(const void* a, const void* b, size_t count)
{
    const unsigned char* x = (const unsigned char*)a;
    const unsigned char* y = (const unsigned char*)b;
    for (; count > 0; --count, ++x, ++y) {
        if (*x != *y)
            return *x < *y ? -1 : 1;
    }
    return 0;
}

void* memchr(const void* from, int value, size_t count)
{
    const unsigned char* f = (const unsigned char*)from;
    for (; count > 0; --count, ++f) {
        if (*f == (unsigned char)value)
            return (void*)f;
    }
    return 0;
}

}  // extern "C"
