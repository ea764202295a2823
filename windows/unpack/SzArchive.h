/* Reading and extracting 7z archives: the decoding half of the self-extractor module, in portable C so that
   the same code runs inside the Windows module (no C runtime) and in the Linux tests, fuzzer and benchmark.
   Everything the reader needs from its surroundings (bytes of the archive, memory) comes through SzHost;
   everything it produces goes to an SzSink. */
#ifndef PW_UNPACK_SZARCHIVE_H
#define PW_UNPACK_SZARCHIVE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Prefixed with UNPACK_, not SZ_: the LZMA SDK's header, which the LZMA decoder includes, takes those. */
typedef enum SzResult {
    UNPACK_OK = 0,
    UNPACK_ERROR_READ,        /* the host could not read the archive's bytes */
    UNPACK_ERROR_SIGNATURE,   /* not a 7z archive */
    UNPACK_ERROR_TRUNCATED,   /* the archive ends before the data its headers describe */
    UNPACK_ERROR_DATA,        /* damaged headers or a decoder met an impossible stream */
    UNPACK_ERROR_CRC,         /* a checksum does not match */
    UNPACK_ERROR_UNSUPPORTED, /* a coder or feature this reader does not know (encryption, an unknown method) */
    UNPACK_ERROR_MEMORY,      /* the host had no memory to give */
    UNPACK_ERROR_NAME,        /* an item name that cannot be extracted safely */
    UNPACK_ERROR_WRITE,       /* the sink failed (it keeps its own detail) */
    UNPACK_ERROR_ABORTED      /* the sink asked to stop */
} SzResult;

typedef struct SzHost {
    void *context;
    /* Fills buffer with exactly size bytes read at offset from the archive's first byte (the signature). */
    SzResult (*Read)(void *context, uint64_t offset, void *buffer, size_t size);
    void *(*Alloc)(void *context, size_t size); /* NULL when out of memory */
    void (*Free)(void *context, void *block);   /* accepts NULL */
} SzHost;

typedef struct SzItem {
    uint32_t index;
    /* UTF-16 (surrogate pairs as stored), zero-terminated, components joined by '\\'. Already checked: no
       empty, ".", ".." or drive-letter component, no absolute path; so it always names something inside the
       extraction folder. */
    const uint16_t *path;
    uint32_t pathLength;
    int isDirectory;
    uint64_t size;
    int hasModified;
    uint64_t modified; /* FILETIME: 100 ns units since 1601-01-01 UTC */
    int hasAttributes;
    /* Windows file attributes: the low 16 bits of what the archive stores, less the 0x8000 flag with which
       archives made on POSIX systems say that the high 16 bits hold a file mode (0x81A48020 gives 0x20). */
    uint32_t attributes;
} SzItem;

typedef struct SzSink {
    void *context;
    /* Called for every item, in archive order. *file receives the sink's handle for the item's data;
       UNPACK_OK with *file left NULL skips the item (its data is still decoded and checked). */
    SzResult (*Begin)(void *context, const SzItem *item, void **file);
    SzResult (*Write)(void *context, void *file, const void *data, size_t size);
    /* Called once per item after Begin succeeded: after its last byte with result UNPACK_OK, or with the failure
       that stopped it, so the sink can close and remove what it wrote. */
    SzResult (*End)(void *context, void *file, const SzItem *item, SzResult result);
} SzSink;

typedef struct SzArchive SzArchive;

/* Reads and checks the headers of an archive of archiveSize bytes. On failure *archive is still set (NULL
   only when even that had no memory) so that SzArchive_LastMessage can say why; close it either way. */
SzResult SzArchive_Open(const SzHost *host, uint64_t archiveSize, SzArchive **archive);
/* The items to extract: anti-items (deletions an update recorded) are left out. */
uint32_t SzArchive_ItemCount(const SzArchive *archive);
SzResult SzArchive_Item(const SzArchive *archive, uint32_t index, SzItem *item);
/* Decodes every item into the sink, checking every CRC; stops at the first failure. */
SzResult SzArchive_Extract(SzArchive *archive, const SzSink *sink);
/* One line of ASCII that says what went wrong last, with its detail ("unknown coder 04F71101 in folder 3",
   "CRC mismatch in setup.exe"); "" when nothing did. */
const char *SzArchive_LastMessage(const SzArchive *archive);
void SzArchive_Close(SzArchive *archive);

#ifdef __cplusplus
}
#endif

#endif
