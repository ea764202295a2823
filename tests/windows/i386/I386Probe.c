/* Tells whether this machine runs 32-bit x86 programs: built as a static i386 program, it ends with 0
   wherever the kernel runs it at all, and the kernel refuses to start it ("Exec format error") where 32-bit
   code cannot run. PW_PRETEND_NO_32BIT makes it fail as if it had been refused, so that what the tests do on
   such a machine can be tried on any machine. */
#include <stdio.h>
#include <stdlib.h>

int main(void)
{
    const char *pretend = getenv("PW_PRETEND_NO_32BIT");
    if (pretend != NULL && *pretend != '\0') {
        fputs("pretended: PW_PRETEND_NO_32BIT is set\n", stderr);
        return 1;
    }
    return 0;
}
