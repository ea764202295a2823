/* What the parts of the 7z reader share among themselves: streams that decoders pull bytes from, the
   archive's parsed layout, CRC32 and memory bookkeeping. Not part of the interface. */
#ifndef PW_UNPACK_SZPRIVATE_H
#define PW_UNPACK_SZPRIVATE_H

#include "SzArchive.h"

#define SZ_TRY(expression)                                                                                    \
    do {                                                                                                       \
        SzResult tryResult_ = (expression);                                                                    \
        if (tryResult_ != UNPACK_OK)                                                                               \
            return tryResult_;                                                                                 \
    } while (0)

/* Limits of what this reader accepts in one folder; real archives use at most 4 coders and 7 streams. */
#define SZ_MAX_CODERS 8
#define SZ_MAX_FOLDER_INPUTS 16
/* Size of the buffers that carry data between the archive, the decoders and the sink. */
#define SZ_BUFFER_SIZE ((size_t)1 << 16)

/* ---- CRC32 (the IEEE polynomial, as 7z stores it) ---- */
typedef struct SzCrcTable {
    uint32_t t[8][256];
} SzCrcTable;
void SzCrc_Init(SzCrcTable *table);
uint32_t SzCrc_Update(const SzCrcTable *table, uint32_t crc, const void *data, size_t size);
#define SZ_CRC_START 0xFFFFFFFFu
#define SZ_CRC_VALUE(crc) ((crc) ^ 0xFFFFFFFFu)

/* ---- the archive's layout, as the headers describe it ---- */
typedef struct SzCoderInfo {
    uint64_t method;     /* the id bytes read as a big-endian number: 030101 for LZMA */
    uint64_t unpackSize; /* of the coder's one output */
    uint8_t props[5];
    uint8_t propsSize;   /* 0xFF when the properties are longer than any supported coder takes */
    uint8_t numInputs;
    uint8_t firstInput;  /* the folder numbers its coders' inputs one after another */
} SzCoderInfo;

/* Where a coder input takes its bytes from: the output of another coder of the folder, or (with this bit)
   one of the folder's packed streams. */
#define SZ_SOURCE_PACKED 0x80

typedef struct SzFolderInfo {
    uint32_t firstCoder;
    uint32_t firstSource; /* index of the folder's first input in SzStreams.sources */
    uint32_t firstPack;   /* index of the folder's first packed stream */
    uint32_t numSubstreams;
    uint32_t crc;
    uint8_t numCoders, numInputs, numPacked, mainCoder, hasCrc;
} SzFolderInfo;

typedef struct SzStreams {
    uint32_t numPacks, numFolders, numCoders, numSources, numSubstreams;
    uint64_t *packOffsets; /* from the archive's first byte; sizes are the differences, plus one at the end */
    SzFolderInfo *folders;
    SzCoderInfo *coders;
    uint8_t *sources;
    uint64_t *substreamSizes;
    uint32_t *substreamCrcs;
    uint8_t *substreamHasCrc;
} SzStreams;

/* ---- streams that decoders read from ---- */
typedef struct SzStream SzStream;
struct SzStream {
    /* Fills up to *size bytes of buffer and sets *size to the count; 0 only at the stream's end. */
    SzResult (*Read)(SzStream *self, uint8_t *buffer, size_t *size);
};

/* Every block one folder's decoders take, so that they are all freed together. */
#define SZ_MAX_BLOCKS 48
typedef struct SzBlocks {
    const SzHost *host;
    unsigned count;
    void *block[SZ_MAX_BLOCKS];
} SzBlocks;
void *SzBlocks_Alloc(SzBlocks *blocks, size_t size);
void SzBlocks_FreeAll(SzBlocks *blocks);

/* Buffered reading of a stream, for decoders that take their input a few bytes at a time. */
typedef struct SzInput {
    SzStream *source;
    uint8_t *data;
    size_t pos, limit;
    int ended;
} SzInput;
SzResult SzInput_Init(SzInput *input, SzBlocks *blocks, SzStream *source);
/* Makes at least one byte available unless the stream has ended (then pos == limit). */
SzResult SzInput_Fill(SzInput *input);
/* One byte; UNPACK_ERROR_DATA when the stream ends first. */
static inline SzResult SzInput_Byte(SzInput *input, uint8_t *value)
{
    if (input->pos == input->limit) {
        SZ_TRY(SzInput_Fill(input));
        if (input->pos == input->limit)
            return UNPACK_ERROR_DATA;
    }
    *value = input->data[input->pos++];
    return UNPACK_OK;
}

/* The decoders. Each takes the coder's description and its inputs (in the coder's own order) and makes the
   stream of its output, which never gives more than coder->unpackSize bytes. */
typedef SzResult (*SzDecoderFactory)(SzBlocks *blocks, const SzCoderInfo *coder, SzStream **inputs,
                                     SzStream **output);
SzResult SzLzma_Create(SzBlocks *blocks, const SzCoderInfo *coder, SzStream **inputs, SzStream **output);
SzResult SzLzma2_Create(SzBlocks *blocks, const SzCoderInfo *coder, SzStream **inputs, SzStream **output);
SzResult SzBcj2_Create(SzBlocks *blocks, const SzCoderInfo *coder, SzStream **inputs, SzStream **output);
SzResult SzFilter_Create(SzBlocks *blocks, const SzCoderInfo *coder, SzStream **inputs, SzStream **output);

typedef struct SzMethod {
    uint32_t id;
    uint8_t numInputs;
    uint8_t propsMin, propsMax;
    SzDecoderFactory create; /* NULL for Copy, whose output is its input */
} SzMethod;
/* The method with that id, or NULL when this reader does not know it. */
const SzMethod *SzMethod_Find(uint64_t id);

/* The decoding stream of one folder; the blocks it took are the caller's to free. */
SzResult SzFolder_Open(SzBlocks *blocks, const SzStreams *streams, uint32_t folder, SzStream **output);
/* Size of the bytes a folder's coder input reads. */
uint64_t SzFolder_InputSize(const SzStreams *streams, const SzFolderInfo *folder, unsigned input);

/* ---- the archive ---- */
typedef struct SzEntry {
    uint64_t size, modified;
    uint32_t nameStart, nameLength; /* in SzArchive.names */
    uint32_t attributes, crc;
    uint8_t hasStream, isDirectory, hasModified, hasAttributes; /* an item with a stream always has a CRC */
} SzEntry;

struct SzArchive {
    SzHost host;
    uint64_t size;
    SzStreams streams;
    SzEntry *entries;
    uint32_t numEntries;
    uint16_t *names;
    SzCrcTable crc;
    char message[160];
};

/* Reads the headers into the archive, setting a message for what it refuses. */
SzResult SzHeader_Read(SzArchive *archive);
void SzStreams_Free(const SzHost *host, SzStreams *streams);
/* Decodes one whole folder into buffer (its output's size), checking its CRC. */
SzResult SzArchive_UnpackFolder(SzArchive *archive, const SzStreams *streams, uint32_t folder, uint8_t *buffer);

/* The last message, built from pieces: text, decimal numbers (folder indexes and the like: 32 bits, so that
   i686 needs no 64-bit division helper), method ids in hex, item names. */
void SzMessage_Set(SzArchive *archive, const char *text);
void SzMessage_Text(SzArchive *archive, const char *text);
void SzMessage_Number(SzArchive *archive, uint32_t value);
void SzMessage_Method(SzArchive *archive, uint64_t method);
void SzMessage_Name(SzArchive *archive, const uint16_t *name, uint32_t length);

#endif
