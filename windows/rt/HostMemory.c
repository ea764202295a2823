/* The portable parts' memory in the Linux build. */
#include "Text.h"

#include <stdlib.h>

void *RtAlloc(size_t size)
{
    return calloc(1, size ? size : 1);
}

void RtFree(void *block)
{
    free(block);
}
