/* unpack_each OUTDIR ARCHIVE...: extracts each archive into a folder of its own under OUTDIR (which must
   exist) with the Linux extractor's code, all in one process: under qemu-i386, starting a process costs more
   than reading a small archive. Prints "ARCHIVE: " before each one and "ok" or "refused: REASON" after it,
   so that a crash names the input it happened on. Exits with 0 once every archive has been read. */
#include "PosixExtract.h"

#include <stdio.h>
#include <sys/stat.h>

int main(int argc, char **argv)
{
    char folder[4096], message[512];
    int i;
    if (argc < 2) {
        fprintf(stderr, "usage: unpack_each OUTDIR ARCHIVE...\n");
        return 2;
    }
    for (i = 2; i < argc; ++i) {
        printf("%s: ", argv[i]);
        fflush(stdout);
        snprintf(folder, sizeof folder, "%s/%d", argv[1], i - 1);
        if (mkdir(folder, 0777) != 0) {
            perror(folder);
            return 1;
        }
        if (PwExtractArchive(argv[i], folder, message, sizeof message) == UNPACK_OK)
            printf("ok\n");
        else
            printf("refused: %s\n", message);
    }
    return 0;
}
