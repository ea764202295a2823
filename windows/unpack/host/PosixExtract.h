/* Extraction of a 7z archive, or of the archive inside a self-extractor, into a folder on a POSIX system:
   names become UTF-8 paths, folders are made as needed, modification times are set, and read-only files
   lose their write permission. Used by the Linux extractor program, its benchmark and the tests. */
#ifndef PW_UNPACK_POSIXEXTRACT_H
#define PW_UNPACK_POSIXEXTRACT_H

#include "SzArchive.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Where the 7z archive starts in the file behind fd: 0 for a plain archive; for a self-extractor, where its
   module finds it (after the module's image and the configuration block); -1 when neither is found. */
long long PwFindArchiveStart(int fd);

/* Extracts the archive file at path into outDir (which must exist). On failure message receives the
   reason, one line. */
SzResult PwExtractArchive(const char *path, const char *outDir, char *message, size_t messageSize);

#ifdef __cplusplus
}
#endif

#endif
