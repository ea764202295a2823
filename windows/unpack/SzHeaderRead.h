/* The 7z header's building blocks, shared by the readers of its stream and item parts: the property ids,
   a cursor over the header's bytes, and the numbers, bit vectors and digests the format is made of. Not
   part of the interface. */
#ifndef PW_UNPACK_SZHEADERREAD_H
#define PW_UNPACK_SZHEADERREAD_H

#include "SzPrivate.h"

enum {
    kEnd, kHeader, kArchiveProperties, kAdditionalStreamsInfo, kMainStreamsInfo, kFilesInfo, kPackInfo,
    kUnpackInfo, kSubStreamsInfo, kSize, kCrc, kFolder, kCodersUnpackSize, kNumUnpackStream, kEmptyStream,
    kEmptyFile, kAnti, kName, kCTime, kATime, kMTime, kWinAttributes, kComment, kEncodedHeader
};

/* LZMA turns one byte into at most about 7000 (200 MB of zeros pack into 28 KB): a claim beyond this is
   damage, not data. */
#define SZ_MAX_EXPANSION 16384

typedef struct SzReader {
    const uint8_t *p, *end;
} SzReader;

/* A bit vector, most significant bit first; NULL bits means all set. */
static inline int SzRead_Bit(const uint8_t *bits, uint32_t i)
{
    return bits == NULL || (bits[i >> 3] >> (7 - (i & 7))) & 1;
}

size_t SzRead_Left(const SzReader *r);
SzResult SzRead_Byte(SzReader *r, uint8_t *value);
SzResult SzRead_Skip(SzReader *r, uint64_t size);
SzResult SzRead_Fixed(SzReader *r, unsigned bytes, uint64_t *value);
/* The 7z variable-length number: the count of leading 1 bits of the first byte says how many bytes follow
   (little-endian); the first byte's remaining bits are the top ones. */
SzResult SzRead_Number(SzReader *r, uint64_t *value);
/* A count of things that each take at least one byte of what is left. */
SzResult SzRead_Count(SzReader *r, uint32_t *count);
SzResult SzRead_SkipProperty(SzReader *r);
SzResult SzRead_Expect(SzReader *r, uint8_t id);
SzResult SzRead_Bits(SzReader *r, uint32_t count, const uint8_t **bits);
/* "all defined" byte, then a bit vector when not all are */
SzResult SzRead_Defined(SzReader *r, uint32_t count, const uint8_t **bits, uint32_t *defined);
/* CRCs for count streams; crcs/hasCrc may be NULL to only check and skip them. */
SzResult SzRead_Digests(SzReader *r, uint32_t count, uint32_t *crcs, uint8_t *hasCrc);
/* count items of size bytes from the archive's host, or NULL when that is more than memory can hold */
void *SzArchive_Allocate(SzArchive *a, uint64_t count, size_t size);

/* The streams part of a header (pack, unpack and substreams info) into *s, checked against the archive. */
SzResult SzStreams_Read(SzArchive *a, SzReader *r, SzStreams *s);
/* The size of a folder's whole output. */
uint64_t SzStreams_FolderSize(const SzStreams *s, uint32_t folder);

#endif
