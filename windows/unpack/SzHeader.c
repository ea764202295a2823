/* Reading the 7z headers: the start header at the archive's first byte, the next header at its end (which
   our writer always stores LZMA-compressed, described by a header of its own), the streams it describes
   (SzStreamsInfo.c) and the items. Every count is checked against the bytes left in the header before
   memory is asked for it, and every size against the archive's, so that a damaged or hostile archive costs
   no more memory than a genuine one of its size. */
#include "SzHeaderRead.h"

#include <string.h>

/* ---- items ---- */

/* Whether the stored name is a relative path that stays inside the extraction folder and can be created
   there: no empty, "." or ".." component (nor any made of dots and spaces only, which Windows trims to
   those), no drive letter or stream name (':'), no control character. */
static int IsSafePath(const uint16_t *name, uint32_t length)
{
    uint32_t i, start = 0;
    int onlyDotsAndSpaces = 1;
    if (length == 0)
        return 0;
    for (i = 0; i <= length; ++i) {
        uint16_t c = i < length ? name[i] : '/';
        if (c == '/' || c == '\\') {
            if (i == start || onlyDotsAndSpaces)
                return 0;
            start = i + 1;
            onlyDotsAndSpaces = 1;
        } else if (c < 0x20 || c == ':') {
            return 0;
        } else if (c != '.' && c != ' ') {
            onlyDotsAndSpaces = 0;
        }
    }
    return 1;
}

static SzResult ReadNames(SzArchive *a, SzReader *r, uint64_t size)
{
    uint32_t i, at = 0, count;
    uint8_t external;
    SZ_TRY(SzRead_Byte(r, &external));
    if (external != 0 || (size - 1) % 2 != 0)
        return UNPACK_ERROR_DATA;
    count = (uint32_t)((size - 1) / 2);
    a->names = SzArchive_Allocate(a, count, sizeof *a->names);
    if (a->names == NULL)
        return UNPACK_ERROR_MEMORY;
    for (i = 0; i < count; ++i, r->p += 2)
        a->names[i] = (uint16_t)(r->p[0] | r->p[1] << 8);
    for (i = 0; i < a->numEntries; ++i) {
        SzEntry *e = &a->entries[i];
        e->nameStart = at;
        while (at < count && a->names[at] != 0)
            ++at;
        if (at == count)
            return UNPACK_ERROR_DATA;
        e->nameLength = at++ - e->nameStart;
        if (!IsSafePath(a->names + e->nameStart, e->nameLength)) {
            SzMessage_Set(a, "unsafe item name: ");
            SzMessage_Name(a, a->names + e->nameStart, e->nameLength);
            return UNPACK_ERROR_NAME;
        }
    }
    /* items are handed out with '\\' between their components */
    for (i = 0; i < count; ++i)
        if (a->names[i] == '/')
            a->names[i] = '\\';
    return at == count ? UNPACK_OK : UNPACK_ERROR_DATA;
}

/* Attributes (4 bytes) or times (8 bytes) for the items that have them. */
static SzResult ReadItemValues(SzArchive *a, SzReader *r, unsigned bytes)
{
    const uint8_t *bits;
    uint32_t defined, i;
    uint8_t external;
    SZ_TRY(SzRead_Defined(r, a->numEntries, &bits, &defined));
    SZ_TRY(SzRead_Byte(r, &external));
    if (external != 0 || (uint64_t)defined * bytes > SzRead_Left(r))
        return UNPACK_ERROR_DATA;
    for (i = 0; i < a->numEntries; ++i) {
        SzEntry *e = &a->entries[i];
        uint64_t value;
        if (!SzRead_Bit(bits, i))
            continue;
        SZ_TRY(SzRead_Fixed(r, bytes, &value));
        if (bytes == 4) {
            e->attributes = (uint32_t)value;
            e->hasAttributes = 1;
        } else {
            e->modified = value;
            e->hasModified = 1;
        }
    }
    return UNPACK_OK;
}

static SzResult ReadFiles(SzArchive *a, SzReader *r)
{
    uint32_t i, k, emptyStreams = 0, stream = 0, kept = 0;
    const uint8_t *emptyFile = NULL, *anti = NULL, *emptyStream = NULL;
    int haveNames = 0;
    SZ_TRY(SzRead_Count(r, &a->numEntries));
    a->entries = SzArchive_Allocate(a, a->numEntries, sizeof *a->entries);
    if (a->entries == NULL)
        return UNPACK_ERROR_MEMORY;
    memset(a->entries, 0, (size_t)(a->numEntries ? a->numEntries : 1) * sizeof *a->entries);
    for (;;) {
        uint64_t type, size;
        SzReader property;
        SZ_TRY(SzRead_Number(r, &type));
        if (type == kEnd)
            break;
        SZ_TRY(SzRead_Number(r, &size));
        if (size > SzRead_Left(r))
            return UNPACK_ERROR_DATA;
        property.p = r->p;
        property.end = r->p + size;
        r->p += size;
        switch (type) {
        case kEmptyStream:
            SZ_TRY(SzRead_Bits(&property, a->numEntries, &emptyStream));
            for (emptyStreams = 0, i = 0; i < a->numEntries; ++i)
                emptyStreams += (uint32_t)SzRead_Bit(emptyStream, i);
            emptyFile = anti = NULL;
            break;
        case kEmptyFile:
            SZ_TRY(SzRead_Bits(&property, emptyStreams, &emptyFile));
            break;
        case kAnti:
            SZ_TRY(SzRead_Bits(&property, emptyStreams, &anti));
            break;
        case kName:
            if (haveNames || size == 0)
                return UNPACK_ERROR_DATA;
            SZ_TRY(ReadNames(a, &property, size));
            haveNames = 1;
            break;
        case kWinAttributes:
            SZ_TRY(ReadItemValues(a, &property, 4));
            break;
        case kMTime:
            SZ_TRY(ReadItemValues(a, &property, 8));
            break;
        default:
            break; /* creation and access times, padding, and whatever later versions add */
        }
    }
    if (!haveNames && a->numEntries != 0)
        return UNPACK_ERROR_DATA;
    /* the files with data take the streams in order; the others are folders, empty files, or anti-items
       (deletions recorded by an update), which an extraction leaves out */
    for (i = 0, k = 0; i < a->numEntries; ++i) {
        SzEntry e = a->entries[i];
        if (emptyStream != NULL && SzRead_Bit(emptyStream, i)) {
            int isFile = emptyFile != NULL && SzRead_Bit(emptyFile, k), isAnti = anti != NULL && SzRead_Bit(anti, k);
            ++k;
            if (isAnti)
                continue;
            e.isDirectory = (uint8_t)!isFile;
        } else {
            if (stream == a->streams.numSubstreams)
                return UNPACK_ERROR_DATA;
            /* Our writer gives every file a CRC; without one, damaged data would be written out as sound. */
            if (!a->streams.substreamHasCrc[stream]) {
                SzMessage_Set(a, "no checksum for ");
                SzMessage_Name(a, a->names + e.nameStart, e.nameLength);
                return UNPACK_ERROR_CRC;
            }
            e.hasStream = 1;
            e.size = a->streams.substreamSizes[stream];
            e.crc = a->streams.substreamCrcs[stream++];
        }
        a->entries[kept++] = e;
    }
    a->numEntries = kept;
    return stream == a->streams.numSubstreams ? UNPACK_OK : UNPACK_ERROR_DATA;
}

static SzResult ReadMainHeader(SzArchive *a, SzReader *r)
{
    uint8_t id;
    SZ_TRY(SzRead_Byte(r, &id));
    if (id == kArchiveProperties) {
        for (;;) {
            SZ_TRY(SzRead_Byte(r, &id));
            if (id == kEnd)
                break;
            SZ_TRY(SzRead_SkipProperty(r));
        }
        SZ_TRY(SzRead_Byte(r, &id));
    }
    if (id == kAdditionalStreamsInfo) {
        SzMessage_Set(a, "archives with additional streams are not supported");
        return UNPACK_ERROR_UNSUPPORTED;
    }
    if (id == kMainStreamsInfo) {
        SZ_TRY(SzStreams_Read(a, r, &a->streams));
        SZ_TRY(SzRead_Byte(r, &id));
    }
    if (id == kFilesInfo) {
        SZ_TRY(ReadFiles(a, r));
        SZ_TRY(SzRead_Byte(r, &id));
    } else if (a->streams.numSubstreams != 0) {
        return UNPACK_ERROR_DATA;
    }
    return id == kEnd ? UNPACK_OK : UNPACK_ERROR_DATA;
}

/* The header that describes how the real header was packed: one folder, decoded into a new buffer. */
static SzResult UnpackHeader(SzArchive *a, SzReader *r, uint8_t **buffer, size_t *size)
{
    SzStreams packed;
    SzResult result;
    uint64_t unpacked;
    memset(&packed, 0, sizeof packed);
    result = SzStreams_Read(a, r, &packed);
    if (result == UNPACK_OK && packed.numFolders != 1)
        result = UNPACK_ERROR_DATA;
    if (result == UNPACK_OK) {
        unpacked = SzStreams_FolderSize(&packed, 0);
        *buffer = unpacked == 0 || unpacked > (size_t)-1 / 2 ? NULL : SzArchive_Allocate(a, unpacked, 1);
        *size = (size_t)unpacked;
        if (unpacked == 0)
            result = UNPACK_ERROR_DATA;
        else if (*buffer == NULL)
            result = UNPACK_ERROR_MEMORY;
        else
            result = SzArchive_UnpackFolder(a, &packed, 0, *buffer);
    }
    SzStreams_Free(&a->host, &packed);
    return result;
}

SzResult SzHeader_Read(SzArchive *a)
{
    static const uint8_t signature[6] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
    uint8_t start[32], *buffer = NULL, id;
    uint64_t offset, size, crc;
    size_t length;
    SzReader r;
    SzResult result;
    if (a->size < 32) {
        SzMessage_Set(a, "not a 7z archive");
        return UNPACK_ERROR_SIGNATURE;
    }
    SZ_TRY(a->host.Read(a->host.context, 0, start, 32));
    if (memcmp(start, signature, 6) != 0) {
        SzMessage_Set(a, "not a 7z archive");
        return UNPACK_ERROR_SIGNATURE;
    }
    if (start[6] != 0) {
        SzMessage_Set(a, "unsupported 7z format version ");
        SzMessage_Number(a, start[6]);
        return UNPACK_ERROR_UNSUPPORTED;
    }
    r.p = start + 8;
    r.end = start + 32;
    SzRead_Fixed(&r, 4, &crc);
    if (SZ_CRC_VALUE(SzCrc_Update(&a->crc, SZ_CRC_START, start + 12, 20)) != crc) {
        SzMessage_Set(a, "CRC mismatch in the start header");
        return UNPACK_ERROR_CRC;
    }
    SzRead_Fixed(&r, 8, &offset);
    SzRead_Fixed(&r, 8, &size);
    SzRead_Fixed(&r, 4, &crc);
    if (size == 0)
        return offset == 0 ? UNPACK_OK : UNPACK_ERROR_DATA; /* an archive of nothing */
    if (offset > a->size - 32 || size > a->size - 32 - offset) {
        SzMessage_Set(a, "the archive ends before its header");
        return UNPACK_ERROR_TRUNCATED;
    }
    if (size > (size_t)-1 / 2 || (buffer = SzArchive_Allocate(a, size, 1)) == NULL)
        return UNPACK_ERROR_MEMORY;
    length = (size_t)size;
    result = a->host.Read(a->host.context, 32 + offset, buffer, length);
    if (result == UNPACK_OK && SZ_CRC_VALUE(SzCrc_Update(&a->crc, SZ_CRC_START, buffer, length)) != crc) {
        SzMessage_Set(a, "CRC mismatch in the header");
        result = UNPACK_ERROR_CRC;
    }
    r.p = buffer;
    r.end = buffer + length;
    if (result == UNPACK_OK)
        result = SzRead_Byte(&r, &id);
    if (result == UNPACK_OK && id == kEncodedHeader) {
        uint8_t *unpacked = NULL;
        result = UnpackHeader(a, &r, &unpacked, &length);
        a->host.Free(a->host.context, buffer);
        buffer = unpacked;
        if (result == UNPACK_OK) {
            r.p = buffer;
            r.end = buffer + length;
            result = SzRead_Byte(&r, &id);
        }
    }
    if (result == UNPACK_OK)
        result = id == kHeader ? ReadMainHeader(a, &r) : UNPACK_ERROR_DATA;
    a->host.Free(a->host.context, buffer);
    return result;
}
