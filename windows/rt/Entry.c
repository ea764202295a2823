#include "Runtime.h"

/* The loader jumps here; there is no runtime start-up to run before the program's own code. */
void __stdcall PwEntry(void)
{
    ExitProcess((UINT)AppMain());
}
