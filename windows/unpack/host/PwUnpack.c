/* pwunpack ARCHIVE OUTDIR: extracts a 7z archive, or the archive inside a self-extractor, with the
   self-extractor's own reader. */
#include "PosixExtract.h"

#include <errno.h>
#include <stdio.h>
#include <sys/stat.h>

int main(int argc, char **argv)
{
    char message[512];
    if (argc != 3) {
        fprintf(stderr, "usage: pwunpack ARCHIVE OUTDIR\n");
        return 2;
    }
    if (mkdir(argv[2], 0777) != 0 && errno != EEXIST) {
        perror(argv[2]);
        return 1;
    }
    if (PwExtractArchive(argv[1], argv[2], message, sizeof message) != UNPACK_OK) {
        fprintf(stderr, "pwunpack: %s\n", message);
        return 1;
    }
    return 0;
}
