/* The reader's interface: opening, listing, and extraction, which decodes the folders in archive order
   and hands each file's bytes to the sink in pieces as they come out of the decoders. */
#include "SzPrivate.h"

#include <string.h>

SzResult SzArchive_Open(const SzHost *host, uint64_t archiveSize, SzArchive **archive)
{
    SzArchive *a = host->Alloc(host->context, sizeof *a);
    SzResult result;
    *archive = a;
    if (a == NULL)
        return UNPACK_ERROR_MEMORY;
    memset(a, 0, sizeof *a);
    a->host = *host;
    a->size = archiveSize;
    SzCrc_Init(&a->crc);
    result = SzHeader_Read(a);
    if (result != UNPACK_OK) {
        if (a->message[0] == 0)
            SzMessage_Set(a, result == UNPACK_ERROR_MEMORY ? "not enough memory to read the archive's header"
                             : result == UNPACK_ERROR_READ ? "the archive could not be read"
                                                       : "the archive's header is damaged");
        a->numEntries = 0;
    }
    return result;
}

uint32_t SzArchive_ItemCount(const SzArchive *archive)
{
    return archive->numEntries;
}

SzResult SzArchive_Item(const SzArchive *archive, uint32_t index, SzItem *item)
{
    const SzEntry *e;
    if (index >= archive->numEntries)
        return UNPACK_ERROR_DATA;
    e = &archive->entries[index];
    item->index = index;
    item->path = archive->names + e->nameStart;
    item->pathLength = e->nameLength;
    item->isDirectory = e->isDirectory;
    item->size = e->size;
    item->hasModified = e->hasModified;
    item->modified = e->modified;
    item->hasAttributes = e->hasAttributes;
    /* archives made on POSIX systems keep the file mode in the high half, flagged by 0x8000 */
    item->attributes = e->attributes & (e->attributes & 0x8000 ? 0x7FFF : 0xFFFF);
    return UNPACK_OK;
}

const char *SzArchive_LastMessage(const SzArchive *archive)
{
    return archive->message;
}

void SzArchive_Close(SzArchive *archive)
{
    SzHost host;
    if (archive == NULL)
        return;
    host = archive->host;
    SzStreams_Free(&host, &archive->streams);
    host.Free(host.context, archive->entries);
    host.Free(host.context, archive->names);
    host.Free(host.context, archive);
}

/* Moves size bytes of a folder's output to a sink's file (or into memory when sink is NULL: then file is
   where they go), updating the CRC on the way, and the folder's too when folderCrc is not NULL. */
static SzResult Pump(SzStream *stream, uint8_t *buffer, uint64_t size, const SzCrcTable *table, uint32_t *crc,
                     uint32_t *folderCrc, const SzSink *sink, void *file)
{
    while (size > 0) {
        size_t n = size < SZ_BUFFER_SIZE ? (size_t)size : SZ_BUFFER_SIZE;
        uint8_t *target = sink == NULL ? (uint8_t *)file : buffer;
        SZ_TRY(stream->Read(stream, target, &n));
        if (n == 0)
            return UNPACK_ERROR_DATA; /* the folder's data ends before its files do */
        *crc = SzCrc_Update(table, *crc, target, n);
        if (folderCrc != NULL)
            *folderCrc = SzCrc_Update(table, *folderCrc, target, n);
        if (sink == NULL)
            file = target + n;
        else if (file != NULL)
            SZ_TRY(sink->Write(sink->context, file, buffer, n));
        size -= n;
    }
    return UNPACK_OK;
}

SzResult SzArchive_UnpackFolder(SzArchive *a, const SzStreams *streams, uint32_t folder, uint8_t *buffer)
{
    const SzFolderInfo *f = &streams->folders[folder];
    SzBlocks blocks;
    SzStream *stream;
    uint32_t crc = SZ_CRC_START;
    SzResult result;
    blocks.host = &a->host;
    blocks.count = 0;
    result = SzFolder_Open(&blocks, streams, folder, &stream);
    if (result == UNPACK_OK)
        result = Pump(stream, NULL, streams->coders[f->firstCoder + f->mainCoder].unpackSize, &a->crc, &crc, NULL,
                      NULL, buffer);
    if (result == UNPACK_OK && f->hasCrc && SZ_CRC_VALUE(crc) != f->crc) {
        SzMessage_Set(a, "CRC mismatch in the header");
        result = UNPACK_ERROR_CRC;
    }
    SzBlocks_FreeAll(&blocks);
    return result;
}

static void Explain(SzArchive *a, SzResult result, const SzItem *item)
{
    static const char *const texts[] = {"", "could not read the archive at ", "", "", "damaged data in ",
                                        "CRC mismatch in ", "", "not enough memory for ", "",
                                        "could not write ", "stopped at "};
    if (result <= UNPACK_ERROR_ABORTED && texts[result][0] != 0) {
        SzMessage_Set(a, texts[result]);
        SzMessage_Name(a, item->path, item->pathLength);
    }
}

SzResult SzArchive_Extract(SzArchive *a, const SzSink *sink)
{
    const SzStreams *streams = &a->streams;
    SzBlocks blocks;
    SzStream *stream = NULL;
    uint8_t *buffer = a->host.Alloc(a->host.context, SZ_BUFFER_SIZE);
    uint32_t i, folder = 0, substream = 0, folderCrc = SZ_CRC_START;
    SzResult result = buffer == NULL ? UNPACK_ERROR_MEMORY : UNPACK_OK;
    blocks.host = &a->host;
    blocks.count = 0;
    a->message[0] = 0;
    for (i = 0; result == UNPACK_OK && i < a->numEntries; ++i) {
        const SzEntry *e = &a->entries[i];
        const SzFolderInfo *f = NULL;
        SzItem item;
        void *file = NULL;
        uint32_t crc = SZ_CRC_START;
        SzArchive_Item(a, i, &item);
        if (e->hasStream) {
            while (streams->folders[folder].numSubstreams == 0)
                ++folder; /* a folder with no files in it has nothing to extract */
            f = &streams->folders[folder];
            if (substream == 0) {
                SzBlocks_FreeAll(&blocks);
                result = SzFolder_Open(&blocks, streams, folder, &stream);
                folderCrc = SZ_CRC_START;
            }
        }
        if (result == UNPACK_OK)
            result = sink->Begin(sink->context, &item, &file);
        if (result != UNPACK_OK) {
            Explain(a, result, &item);
            break;
        }
        if (e->hasStream) {
            /* a folder of several files may have a CRC of its own besides theirs */
            int wholeFolder = f->hasCrc && f->numSubstreams > 1;
            result = Pump(stream, buffer, e->size, &a->crc, &crc, wholeFolder ? &folderCrc : NULL, sink, file);
            if (result == UNPACK_OK && wholeFolder && substream + 1 == f->numSubstreams &&
                SZ_CRC_VALUE(folderCrc) != f->crc)
                result = UNPACK_ERROR_CRC;
            if (result == UNPACK_OK && SZ_CRC_VALUE(crc) != e->crc)
                result = UNPACK_ERROR_CRC;
        }
        {
            SzResult ended = sink->End(sink->context, file, &item, result);
            if (result == UNPACK_OK)
                result = ended;
        }
        Explain(a, result, &item);
        if (e->hasStream && ++substream == f->numSubstreams) {
            substream = 0;
            ++folder;
        }
    }
    SzBlocks_FreeAll(&blocks);
    a->host.Free(a->host.context, buffer);
    if (result == UNPACK_ERROR_MEMORY && a->message[0] == 0)
        SzMessage_Set(a, "not enough memory to extract");
    return result;
}

/* ---- messages ---- */
void SzMessage_Set(SzArchive *a, const char *text)
{
    a->message[0] = 0;
    SzMessage_Text(a, text);
}

static void Append(SzArchive *a, char c)
{
    size_t n = 0;
    while (a->message[n] != 0)
        ++n;
    if (n + 1 < sizeof a->message) {
        a->message[n] = c;
        a->message[n + 1] = 0;
    }
}

void SzMessage_Text(SzArchive *a, const char *text)
{
    while (*text)
        Append(a, *text++);
}

void SzMessage_Number(SzArchive *a, uint32_t value)
{
    char digits[10];
    int n = 0;
    do {
        digits[n++] = (char)('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n > 0)
        Append(a, digits[--n]);
}

void SzMessage_Method(SzArchive *a, uint64_t method)
{
    int shift = 56;
    while (shift > 0 && (method >> shift) == 0)
        shift -= 8;
    for (shift += 4; shift >= 0; shift -= 4)
        Append(a, "0123456789ABCDEF"[(method >> shift) & 0xF]);
}

void SzMessage_Name(SzArchive *a, const uint16_t *name, uint32_t length)
{
    uint32_t i;
    for (i = 0; i < length; ++i)
        Append(a, name[i] >= 0x20 && name[i] < 0x7F ? (char)name[i] : '?');
}
