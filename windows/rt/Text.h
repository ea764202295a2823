/* Wide text for the Windows programs: UTF-16 strings that grow as they are built, and the conversions to and
   from UTF-8. Portable C: the same code builds into the programs (where PwChar is WCHAR) and into the Linux
   tests. Literals are written u"..." so that they are UTF-16 on both. */
#ifndef PW_RT_TEXT_H
#define PW_RT_TEXT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint16_t PwChar;

/* Zero-filled memory; NULL when there is none. The programs take it from the process heap, the Linux build
   from the C library. */
void *RtAlloc(size_t size);
void RtFree(void *block);

size_t RtLength(const PwChar *text);
/* ASCII letters compare without case, as Windows compares the file names our own build writes. */
PwChar RtFoldCase(PwChar c);
int RtEqualNoCase(const PwChar *a, size_t aLength, const PwChar *b, size_t bLength);
int RtIsBlank(PwChar c);

/* A text being built. Appending never fails outright: when memory runs out the text keeps what it had and
   `failed` is set, so a caller checks once after building instead of after every piece. */
typedef struct RtText {
    PwChar *chars; /* zero-terminated; NULL until something is appended */
    size_t length;
    size_t capacity;
    int failed;
} RtText;

void RtText_Append(RtText *text, const PwChar *chars, size_t count);
void RtText_AppendZ(RtText *text, const PwChar *chars);
void RtText_AppendChar(RtText *text, PwChar c);
void RtText_AppendAscii(RtText *text, const char *ascii);
void RtText_AppendNumber(RtText *text, uint64_t value);
/* Appends a UTF-8 text; 0 (and nothing appended) when it is not valid UTF-8. */
int RtText_AppendUtf8(RtText *text, const uint8_t *utf8, size_t size);
/* Appends path, a backslash unless path is empty or ends in one, and name. */
void RtText_AppendPath(RtText *text, const PwChar *path, size_t length, const PwChar *name, size_t nameLength);
void RtText_Truncate(RtText *text, size_t length);
/* The text, or "" when nothing was appended. */
const PwChar *RtText_Z(const RtText *text);
void RtText_Free(RtText *text);

/* Writes text as UTF-8 into out (room for 3 bytes per unit) and returns the byte count. A lone surrogate
   becomes U+FFFD. */
size_t RtUtf16ToUtf8(const PwChar *text, size_t length, uint8_t *out);

#ifdef __cplusplus
}
#endif

#endif
