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

/* Items come folder by folder, so the folder an item lies in is mostly made already, or most of the way to
   it: only what lies past that is made, and a tree of any depth costs one folder made per folder, not one per
   folder on the way to each item. Given the folder an item needs, folder[0..length), and the last folder
   made, made[0..madeLength) (relative paths, '\\' between components, "" for the extraction folder itself),
   returns how much of folder is a folder made already: 0, or a length after which folder has a '\\' or
   ends. Equal to length when nothing is left to make. */
size_t SfxNames_MadeFolder(const PwChar *folder, size_t length, const PwChar *made, size_t madeLength);

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
