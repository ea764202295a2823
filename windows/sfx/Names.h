/* Names of extracted items: the path each item gets inside the extraction folder, and the list of files
   extracted, against which the run command finds its start file. Portable C. */
#ifndef PW_SFX_NAMES_H
#define PW_SFX_NAMES_H

#include "Text.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Appends to out the path that an item's path from the archive gets inside the extraction folder:
   components joined by '\\' (the archive's '/' separates too); a character that Windows cannot hold in a
   name (< > : " | ? * and control characters), and a trailing dot or blank that Windows would drop, become
   '_'. So no name reaches a drive, a stream or a device. Returns 0 for a path that could leave the folder:
   empty, absolute, or with an empty, "." or ".." component. The reader refuses those already; this is the
   module's own check on what it writes. */
int SfxNames_Make(const PwChar *path, size_t length, RtText *out);

typedef struct SfxNames {
    RtText all; /* every name followed by a zero */
    size_t count;
} SfxNames;

void SfxNames_Add(SfxNames *names, const PwChar *name, size_t length);
/* Compares without case, as the file system does. */
int SfxNames_Contains(const SfxNames *names, const PwChar *name, size_t length);
void SfxNames_Free(SfxNames *names);

#ifdef __cplusplus
}
#endif

#endif
