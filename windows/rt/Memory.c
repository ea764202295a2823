/* The compiler emits calls to the mem functions for structure copies and initialisations even in freestanding
   code; the portable parts call them, and strlen, as any C code does. */
#include "Runtime.h"

void *memset(void *target, int value, size_t size)
{
    unsigned char *p = target;
    while (size--)
        *p++ = (unsigned char)value;
    return target;
}

void *memcpy(void *target, const void *source, size_t size)
{
    unsigned char *p = target;
    const unsigned char *q = source;
    while (size--)
        *p++ = *q++;
    return target;
}

void *memmove(void *target, const void *source, size_t size)
{
    unsigned char *p = target;
    const unsigned char *q = source;
    if (p < q) {
        while (size--)
            *p++ = *q++;
    } else {
        while (size--)
            p[size] = q[size];
    }
    return target;
}

size_t strlen(const char *text)
{
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

int memcmp(const void *a, const void *b, size_t size)
{
    const unsigned char *p = a, *q = b;
    for (; size; --size, ++p, ++q)
        if (*p != *q)
            return *p - *q;
    return 0;
}

/* The programs' memory comes from the process heap; zero-filled, as the portable code expects. */
void *RtAlloc(size_t size)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size ? size : 1);
}

void RtFree(void *block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}
