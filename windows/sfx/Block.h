/* The configuration block that the build writes between the module and the archive: ";!@Install@!UTF-8!",
   lines of Key="Value" separated by LF CR (CR LF, LF and CR alone are read too), ";!@InstallEnd@!", and the 7z
   archive right after it. Portable C. */
#ifndef PW_SFX_BLOCK_H
#define PW_SFX_BLOCK_H

#include "Text.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The block is small: one that does not end within this much of the module's image end is no block of ours.
   The block and the archive's signature must lie within the bytes handed to SfxBlock_Read. */
#define SFX_BLOCK_WINDOW (256 * 1024)

typedef enum SfxBlockResult {
    SFX_BLOCK_OK = 0,
    SFX_BLOCK_NO_BLOCK,   /* nothing, or something else, follows the module */
    SFX_BLOCK_NO_END,     /* the block has no end marker */
    SFX_BLOCK_NO_ARCHIVE, /* no 7z archive follows the block */
    SFX_BLOCK_NOT_UTF8,
    SFX_BLOCK_MEMORY
} SfxBlockResult;

typedef struct SfxBlock {
    RtText text;              /* the block's lines, decoded: the values below point into it */
    const PwChar *runProgram; /* RunProgram without its quotes; NULL when the block has none */
    int hidden;               /* GUIMode "2": no window at all */
    int overwriteMode;        /* OverwriteMode: 0 every file, 1 only missing files, 2 only older files */
    const PwChar **shortcuts; /* the values of the Shortcut lines, without their outer quotes, in order */
    size_t shortcutCount;
    size_t archiveOffset; /* where the archive starts, counted from the block's first byte */
} SfxBlock;

/* Reads the block at the start of bytes (what follows the module's image, as much of it as was read; the
   block and the archive's signature must lie within it). With SFX_BLOCK_NO_ARCHIVE the settings are read
   all the same, from the block up to its last end marker. Keys are compared without case; unknown keys and
   lines without "=" are passed over; the last of repeated keys counts, except Shortcut, which adds one
   shortcut per line. A value loses one pair of enclosing quotes and nothing else: the build writes the
   quotes inside a value as they stand, unescaped. */
SfxBlockResult SfxBlock_Read(const uint8_t *bytes, size_t size, SfxBlock *config);
/* One line of ASCII that says what is wrong. */
const char *SfxBlock_Message(SfxBlockResult result);
void SfxBlock_Free(SfxBlock *config);

#ifdef __cplusplus
}
#endif

#endif
