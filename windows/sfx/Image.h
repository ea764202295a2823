/* Where the module's own image ends in its file: the configuration block starts there. Portable C. */
#ifndef PW_SFX_IMAGE_H
#define PW_SFX_IMAGE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* How much of the file's start SfxImage_End needs: the headers and the section table. */
#define SFX_IMAGE_HEAD_SIZE 4096

/* Reads the PE headers at the start of a file of fileSize bytes (head holds its first headSize bytes) and
   sets *end to the end of the data of its last section. 0 when head is not a PE file's start, or the
   sections reach past the file's end. */
int SfxImage_End(const uint8_t *head, size_t headSize, uint64_t fileSize, uint64_t *end);

#ifdef __cplusplus
}
#endif

#endif
