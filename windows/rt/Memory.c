/* The compiler emits calls to these for structure copies and initialisations even in freestanding code. */
#include <stddef.h>

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

int memcmp(const void *a, const void *b, size_t size)
{
    const unsigned char *p = a, *q = b;
    for (; size; --size, ++p, ++q)
        if (*p != *q)
            return *p - *q;
    return 0;
}
