/* Reading the 7z headers: the start header at the archive's first byte, the next header at its end (which
   our writer always stores LZMA-compressed, described by a header of its own), the streams it describes
   and the items. Every count is checked against the bytes left in the header before memory is asked for
   it, and every size against the archive's, so that a damaged or hostile archive costs no more memory
   than a genuine one of its size. */
#include "SzPrivate.h"

#include <string.h>

enum {
    kEnd, kHeader, kArchiveProperties, kAdditionalStreamsInfo, kMainStreamsInfo, kFilesInfo, kPackInfo,
    kUnpackInfo, kSubStreamsInfo, kSize, kCrc, kFolder, kCodersUnpackSize, kNumUnpackStream, kEmptyStream,
    kEmptyFile, kAnti, kName, kCTime, kATime, kMTime, kWinAttributes, kComment, kEncodedHeader
};

/* LZMA turns one byte into at most about 7000 (200 MB of zeros pack into 28 KB): a claim beyond this is
   damage, not data. */
#define SZ_MAX_EXPANSION 16384

typedef struct Reader {
    const uint8_t *p, *end;
} Reader;

static size_t Left(const Reader *r)
{
    return (size_t)(r->end - r->p);
}

static SzResult ReadByte(Reader *r, uint8_t *value)
{
    if (r->p == r->end)
        return SZ_ERROR_DATA;
    *value = *r->p++;
    return SZ_OK;
}

static SzResult Skip(Reader *r, uint64_t size)
{
    if (size > Left(r))
        return SZ_ERROR_DATA;
    r->p += (size_t)size;
    return SZ_OK;
}

static SzResult ReadFixed(Reader *r, unsigned bytes, uint64_t *value)
{
    unsigned i;
    if (Left(r) < bytes)
        return SZ_ERROR_DATA;
    *value = 0;
    for (i = 0; i < bytes; ++i)
        *value |= (uint64_t)*r->p++ << (8 * i);
    return SZ_OK;
}

/* The 7z variable-length number: the count of leading 1 bits of the first byte says how many bytes follow
   (little-endian); the first byte's remaining bits are the top ones. */
static SzResult ReadNumber(Reader *r, uint64_t *value)
{
    uint8_t first, mask = 0x80;
    unsigned extra = 0;
    uint64_t low;
    SZ_TRY(ReadByte(r, &first));
    while (extra < 8 && (first & mask)) {
        ++extra;
        mask >>= 1;
    }
    SZ_TRY(ReadFixed(r, extra, &low));
    *value = extra == 8 ? low : low | (uint64_t)(first & (mask - 1)) << (8 * extra);
    return SZ_OK;
}

/* A count of things that each take at least one byte of what is left. */
static SzResult ReadCount(Reader *r, uint32_t *count)
{
    uint64_t value;
    SZ_TRY(ReadNumber(r, &value));
    if (value > Left(r) || value > 0x7FFFFFFF)
        return SZ_ERROR_DATA;
    *count = (uint32_t)value;
    return SZ_OK;
}

static SzResult SkipProperty(Reader *r)
{
    uint64_t size;
    SZ_TRY(ReadNumber(r, &size));
    return Skip(r, size);
}

static SzResult Expect(Reader *r, uint8_t id)
{
    uint8_t value;
    SZ_TRY(ReadByte(r, &value));
    return value == id ? SZ_OK : SZ_ERROR_DATA;
}

/* A bit vector, most significant bit first; NULL bits means all set. */
static int Bit(const uint8_t *bits, uint32_t i)
{
    return bits == NULL || (bits[i >> 3] >> (7 - (i & 7))) & 1;
}

static SzResult ReadBits(Reader *r, uint32_t count, const uint8_t **bits)
{
    *bits = r->p;
    return Skip(r, ((uint64_t)count + 7) / 8);
}

/* "all defined" byte, then a bit vector when not all are */
static SzResult ReadDefined(Reader *r, uint32_t count, const uint8_t **bits, uint32_t *defined)
{
    uint8_t all;
    uint32_t i;
    SZ_TRY(ReadByte(r, &all));
    *bits = NULL;
    if (!all)
        SZ_TRY(ReadBits(r, count, bits));
    for (*defined = 0, i = 0; i < count; ++i)
        *defined += (uint32_t)Bit(*bits, i);
    return SZ_OK;
}

/* CRCs for count streams; crcs/hasCrc may be NULL to only check and skip them. */
static SzResult ReadDigests(Reader *r, uint32_t count, uint32_t *crcs, uint8_t *hasCrc)
{
    const uint8_t *bits;
    uint32_t defined, i;
    SZ_TRY(ReadDefined(r, count, &bits, &defined));
    if ((uint64_t)defined * 4 > Left(r))
        return SZ_ERROR_DATA;
    for (i = 0; i < count; ++i) {
        uint64_t crc = 0;
        if (Bit(bits, i))
            SZ_TRY(ReadFixed(r, 4, &crc));
        if (crcs != NULL) {
            crcs[i] = (uint32_t)crc;
            hasCrc[i] = (uint8_t)Bit(bits, i);
        }
    }
    return SZ_OK;
}

static void *Allocate(SzArchive *a, uint64_t count, size_t size)
{
    if (count == 0)
        count = 1;
    if (count > (size_t)-1 / size)
        return NULL;
    return a->host.Alloc(a->host.context, (size_t)count * size);
}

void SzStreams_Free(const SzHost *host, SzStreams *s)
{
    void *blocks[] = {s->packOffsets, s->folders, s->coders, s->sources, s->substreamSizes, s->substreamCrcs,
                      s->substreamHasCrc};
    size_t i;
    for (i = 0; i < sizeof blocks / sizeof blocks[0]; ++i)
        host->Free(host->context, blocks[i]);
    memset(s, 0, sizeof *s);
}

static SzResult ReadPackInfo(SzArchive *a, Reader *r, SzStreams *s)
{
    uint64_t position, size;
    uint32_t i;
    uint8_t id;
    SZ_TRY(ReadNumber(r, &position));
    SZ_TRY(ReadCount(r, &s->numPacks));
    SZ_TRY(Expect(r, kSize));
    s->packOffsets = Allocate(a, (uint64_t)s->numPacks + 1, sizeof *s->packOffsets);
    if (s->packOffsets == NULL)
        return SZ_ERROR_MEMORY;
    /* the packed streams follow the 32-byte start header one after another */
    if (position > a->size - 32) {
        SzMessage_Set(a, "the archive ends before its packed data");
        return SZ_ERROR_TRUNCATED;
    }
    s->packOffsets[0] = 32 + position;
    for (i = 0; i < s->numPacks; ++i) {
        SZ_TRY(ReadNumber(r, &size));
        if (size > a->size - s->packOffsets[i]) {
            SzMessage_Set(a, "the archive ends before its packed data");
            return SZ_ERROR_TRUNCATED;
        }
        s->packOffsets[i + 1] = s->packOffsets[i] + size;
    }
    for (;;) {
        SZ_TRY(ReadByte(r, &id));
        if (id == kEnd)
            return SZ_OK;
        if (id == kCrc)
            SZ_TRY(ReadDigests(r, s->numPacks, NULL, NULL)); /* the folders' and files' CRCs cover the data */
        else
            SZ_TRY(SkipProperty(r));
    }
}

/* One folder's coders and bind pairs, into *folder and coders[] / sources[] (its own numbering). */
static SzResult ReadFolder(SzArchive *a, Reader *r, uint32_t index, SzFolderInfo *folder, SzCoderInfo *coders,
                           uint8_t *sources)
{
    uint32_t numCoders, numInputs = 0, i, boundOutputs = 0;
    uint64_t value;
    SZ_TRY(ReadNumber(r, &value));
    if (value == 0 || value > SZ_MAX_CODERS) {
        SzMessage_Set(a, "too many coders in folder ");
        SzMessage_Number(a, index);
        return value == 0 ? SZ_ERROR_DATA : SZ_ERROR_UNSUPPORTED;
    }
    numCoders = (uint32_t)value;
    for (i = 0; i < numCoders; ++i) {
        SzCoderInfo *c = &coders[i];
        uint8_t flags;
        uint64_t method, numIn = 1, numOut = 1, propsSize = 0;
        SZ_TRY(ReadByte(r, &flags));
        if ((flags & 0xC0) != 0 || (flags & 0x0F) > 8) {
            SzMessage_Set(a, "unsupported coder description in folder ");
            SzMessage_Number(a, index);
            return SZ_ERROR_UNSUPPORTED;
        }
        SZ_TRY(Left(r) < (flags & 0x0F) ? SZ_ERROR_DATA : SZ_OK);
        for (method = 0, value = flags & 0x0F; value > 0; --value)
            method = method << 8 | *r->p++;
        if (flags & 0x10) {
            SZ_TRY(ReadNumber(r, &numIn));
            SZ_TRY(ReadNumber(r, &numOut));
        }
        if (flags & 0x20)
            SZ_TRY(ReadNumber(r, &propsSize));
        if (propsSize > Left(r))
            return SZ_ERROR_DATA;
        c->method = method;
        c->propsSize = propsSize <= sizeof c->props ? (uint8_t)propsSize : 0xFF;
        if (propsSize <= sizeof c->props)
            memcpy(c->props, r->p, (size_t)propsSize);
        r->p += (size_t)propsSize;
        if (numOut != 1 || numIn == 0 || numIn > SZ_MAX_FOLDER_INPUTS - numInputs) {
            SzMessage_Set(a, "unsupported coder streams in folder ");
            SzMessage_Number(a, index);
            return SZ_ERROR_UNSUPPORTED;
        }
        c->numInputs = (uint8_t)numIn;
        c->firstInput = (uint8_t)numInputs;
        numInputs += (uint32_t)numIn;
    }
    /* every coder output but one feeds exactly one coder input */
    memset(sources, 0xFF, numInputs);
    for (i = 0; i + 1 < numCoders; ++i) {
        uint64_t in, out;
        SZ_TRY(ReadNumber(r, &in));
        SZ_TRY(ReadNumber(r, &out));
        if (in >= numInputs || out >= numCoders || sources[in] != 0xFF || (boundOutputs >> out) & 1)
            return SZ_ERROR_DATA;
        sources[in] = (uint8_t)out;
        boundOutputs |= 1u << out;
    }
    folder->numCoders = (uint8_t)numCoders;
    folder->numInputs = (uint8_t)numInputs;
    folder->numPacked = (uint8_t)(numInputs - (numCoders - 1));
    for (folder->mainCoder = 0; (boundOutputs >> folder->mainCoder) & 1; ++folder->mainCoder) {
    }
    if (folder->numPacked == 1) {
        for (i = 0; sources[i] != 0xFF; ++i) {
        }
        sources[i] = SZ_SOURCE_PACKED;
    } else {
        for (i = 0; i < folder->numPacked; ++i) {
            SZ_TRY(ReadNumber(r, &value));
            if (value >= numInputs || sources[value] != 0xFF)
                return SZ_ERROR_DATA;
            sources[value] = (uint8_t)(SZ_SOURCE_PACKED | i);
        }
    }
    /* the coders must form one tree under the main coder: following the bind pairs from each coder must
       reach the main coder without a loop */
    for (i = 0; i < numCoders; ++i) {
        uint32_t at = i, steps = 0, in;
        while (at != folder->mainCoder) {
            for (in = 0; sources[in] != at; ++in) {
            }
            for (at = 0; in >= coders[at].firstInput + coders[at].numInputs; ++at) {
            }
            if (++steps > numCoders)
                return SZ_ERROR_DATA;
        }
    }
    return SZ_OK;
}

/* Checks what the decoders rely on: known methods with the properties they take, and sizes that the
   inputs can produce. */
static SzResult CheckFolder(SzArchive *a, const SzStreams *s, uint32_t index)
{
    const SzFolderInfo *f = &s->folders[index];
    unsigned i, k;
    for (i = 0; i < f->numCoders; ++i) {
        const SzCoderInfo *c = &s->coders[f->firstCoder + i];
        const SzMethod *m = SzMethod_Find(c->method);
        uint64_t inputs = 0, size;
        if (m == NULL) {
            SzMessage_Set(a, c->method == 0x06F10701 ? "encrypted data (coder " : "unknown coder ");
            SzMessage_Method(a, c->method);
            SzMessage_Text(a, c->method == 0x06F10701 ? ") in folder " : " in folder ");
            SzMessage_Number(a, index);
            return SZ_ERROR_UNSUPPORTED;
        }
        if (m->numInputs != c->numInputs || c->propsSize < m->propsMin || c->propsSize > m->propsMax ||
            (m->propsMax == 4 && c->propsSize != 0 && c->propsSize != 4) ||
            (m->create == SzLzma_Create && c->props[0] >= 9 * 5 * 5) ||
            (m->create == SzLzma2_Create && c->props[0] > 40)) {
            SzMessage_Set(a, "unsupported properties of coder ");
            SzMessage_Method(a, c->method);
            SzMessage_Text(a, " in folder ");
            SzMessage_Number(a, index);
            return SZ_ERROR_UNSUPPORTED;
        }
        for (k = 0; k < c->numInputs; ++k) {
            size = SzFolder_InputSize(s, f, c->firstInput + k);
            if (m->create != SzBcj2_Create || k < 3)
                inputs = inputs + size < inputs ? (uint64_t)-1 : inputs + size;
        }
        if (m->create == SzLzma_Create || m->create == SzLzma2_Create) {
            if (inputs < (uint64_t)-1 / SZ_MAX_EXPANSION && c->unpackSize > inputs * SZ_MAX_EXPANSION + 64)
                return SZ_ERROR_DATA;
        } else if (m->create == SzBcj2_Create ? c->unpackSize > inputs : c->unpackSize != inputs) {
            return SZ_ERROR_DATA;
        }
    }
    return SZ_OK;
}

static SzResult ReadUnpackInfo(SzArchive *a, Reader *r, SzStreams *s)
{
    Reader start;
    SzFolderInfo folder;
    SzCoderInfo coders[SZ_MAX_CODERS];
    uint8_t sources[SZ_MAX_FOLDER_INPUTS], external, id;
    uint32_t i, k, pack = 0;
    SZ_TRY(Expect(r, kFolder));
    SZ_TRY(ReadCount(r, &s->numFolders));
    SZ_TRY(ReadByte(r, &external));
    if (external != 0)
        return SZ_ERROR_UNSUPPORTED;
    /* a first pass counts the coders and inputs, the second stores them */
    start = *r;
    for (i = 0; i < s->numFolders; ++i) {
        SZ_TRY(ReadFolder(a, r, i, &folder, coders, sources));
        s->numCoders += folder.numCoders;
        s->numSources += folder.numInputs;
        pack += folder.numPacked;
    }
    if (pack != s->numPacks)
        return SZ_ERROR_DATA;
    s->folders = Allocate(a, s->numFolders, sizeof *s->folders);
    s->coders = Allocate(a, s->numCoders, sizeof *s->coders);
    s->sources = Allocate(a, s->numSources, 1);
    if (s->folders == NULL || s->coders == NULL || s->sources == NULL)
        return SZ_ERROR_MEMORY;
    *r = start;
    for (i = 0, s->numCoders = s->numSources = pack = 0; i < s->numFolders; ++i) {
        SzFolderInfo *f = &s->folders[i];
        SZ_TRY(ReadFolder(a, r, i, f, s->coders + s->numCoders, s->sources + s->numSources));
        f->firstCoder = s->numCoders;
        f->firstSource = s->numSources;
        f->firstPack = pack;
        f->numSubstreams = 1;
        f->hasCrc = 0;
        s->numCoders += f->numCoders;
        s->numSources += f->numInputs;
        pack += f->numPacked;
    }
    SZ_TRY(Expect(r, kCodersUnpackSize));
    for (i = 0; i < s->numCoders; ++i)
        SZ_TRY(ReadNumber(r, &s->coders[i].unpackSize));
    for (;;) {
        SZ_TRY(ReadByte(r, &id));
        if (id == kEnd)
            break;
        if (id == kCrc) {
            uint32_t *crcs = Allocate(a, s->numFolders, sizeof *crcs);
            uint8_t *has = Allocate(a, s->numFolders, 1);
            SzResult result = crcs == NULL || has == NULL ? SZ_ERROR_MEMORY : ReadDigests(r, s->numFolders, crcs, has);
            for (k = 0; result == SZ_OK && k < s->numFolders; ++k) {
                s->folders[k].crc = crcs[k];
                s->folders[k].hasCrc = has[k];
            }
            a->host.Free(a->host.context, crcs);
            a->host.Free(a->host.context, has);
            SZ_TRY(result);
        } else {
            SZ_TRY(SkipProperty(r));
        }
    }
    for (i = 0; i < s->numFolders; ++i)
        SZ_TRY(CheckFolder(a, s, i));
    return SZ_OK;
}

static uint64_t FolderSize(const SzStreams *s, uint32_t folder)
{
    return s->coders[s->folders[folder].firstCoder + s->folders[folder].mainCoder].unpackSize;
}

/* The CRC list of the files whose folder's own CRC does not already cover them. */
static SzResult ReadSubstreamCrcs(SzArchive *a, Reader *r, SzStreams *s, uint32_t unknown)
{
    uint32_t *crcs = Allocate(a, unknown, sizeof *crcs), n, k = 0;
    uint8_t *has = Allocate(a, unknown, 1);
    SzResult result = crcs == NULL || has == NULL ? SZ_ERROR_MEMORY : ReadDigests(r, unknown, crcs, has);
    for (n = 0; result == SZ_OK && n < s->numSubstreams; ++n) {
        if (s->substreamHasCrc[n])
            continue;
        s->substreamCrcs[n] = crcs[k];
        s->substreamHasCrc[n] = has[k++];
    }
    a->host.Free(a->host.context, crcs);
    a->host.Free(a->host.context, has);
    return result;
}

/* How the folders' outputs divide into files: counts, sizes (all but the last of each folder) and CRCs
   (where the folder's own does not already cover its one file). Without it, each folder is one file. */
static SzResult ReadSubStreams(SzArchive *a, Reader *r, SzStreams *s, int present)
{
    uint32_t i, k, n = 0, unknown = 0;
    uint8_t id = kEnd;
    uint64_t total = 0;
    while (present) {
        SZ_TRY(ReadByte(r, &id));
        if (id != kNumUnpackStream)
            break;
        for (i = 0; i < s->numFolders; ++i) {
            uint64_t count;
            SZ_TRY(ReadNumber(r, &count));
            if (count > 0x7FFFFFFF)
                return SZ_ERROR_DATA;
            s->folders[i].numSubstreams = (uint32_t)count;
        }
    }
    for (i = 0; i < s->numFolders; ++i)
        total += s->folders[i].numSubstreams;
    /* every file but the last of its folder has its size written out */
    if (total > (uint64_t)s->numFolders + Left(r))
        return SZ_ERROR_DATA;
    s->numSubstreams = (uint32_t)total;
    s->substreamSizes = Allocate(a, s->numSubstreams, sizeof *s->substreamSizes);
    s->substreamCrcs = Allocate(a, s->numSubstreams, sizeof *s->substreamCrcs);
    s->substreamHasCrc = Allocate(a, s->numSubstreams, 1);
    if (s->substreamSizes == NULL || s->substreamCrcs == NULL || s->substreamHasCrc == NULL)
        return SZ_ERROR_MEMORY;
    for (i = 0; i < s->numFolders; ++i) {
        const SzFolderInfo *f = &s->folders[i];
        uint64_t left = FolderSize(s, i);
        for (k = 1; k < f->numSubstreams; ++k) {
            uint64_t size = 0;
            if (id == kSize)
                SZ_TRY(ReadNumber(r, &size));
            else
                return SZ_ERROR_DATA;
            if (size > left)
                return SZ_ERROR_DATA;
            s->substreamSizes[n++] = size;
            left -= size;
        }
        if (f->numSubstreams != 0)
            s->substreamSizes[n++] = left;
        if (f->numSubstreams != 1 || !f->hasCrc)
            unknown += f->numSubstreams;
    }
    if (id == kSize)
        SZ_TRY(ReadByte(r, &id));
    /* the folders' own CRCs first, so that a CRC list can fill in the others */
    for (i = 0, n = 0; i < s->numFolders; ++i) {
        for (k = 0; k < s->folders[i].numSubstreams; ++k, ++n) {
            s->substreamHasCrc[n] = s->folders[i].numSubstreams == 1 && s->folders[i].hasCrc;
            s->substreamCrcs[n] = s->folders[i].crc;
        }
    }
    while (present && id != kEnd) {
        if (id == kCrc)
            SZ_TRY(ReadSubstreamCrcs(a, r, s, unknown));
        else
            SZ_TRY(SkipProperty(r));
        SZ_TRY(ReadByte(r, &id));
    }
    return SZ_OK;
}

static SzResult ReadStreams(SzArchive *a, Reader *r, SzStreams *s)
{
    uint8_t id;
    SZ_TRY(ReadByte(r, &id));
    if (id == kPackInfo) {
        SZ_TRY(ReadPackInfo(a, r, s));
        SZ_TRY(ReadByte(r, &id));
    }
    if (id == kUnpackInfo) {
        SZ_TRY(ReadUnpackInfo(a, r, s));
        SZ_TRY(ReadByte(r, &id));
    } else if (s->numPacks != 0) {
        return SZ_ERROR_DATA;
    }
    SZ_TRY(ReadSubStreams(a, r, s, id == kSubStreamsInfo));
    if (id == kSubStreamsInfo)
        SZ_TRY(ReadByte(r, &id));
    return id == kEnd ? SZ_OK : SZ_ERROR_DATA;
}

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

static SzResult ReadNames(SzArchive *a, Reader *r, uint64_t size)
{
    uint32_t i, at = 0, count;
    uint8_t external;
    SZ_TRY(ReadByte(r, &external));
    if (external != 0 || (size - 1) % 2 != 0)
        return SZ_ERROR_DATA;
    count = (uint32_t)((size - 1) / 2);
    a->names = Allocate(a, count, sizeof *a->names);
    if (a->names == NULL)
        return SZ_ERROR_MEMORY;
    for (i = 0; i < count; ++i, r->p += 2)
        a->names[i] = (uint16_t)(r->p[0] | r->p[1] << 8);
    for (i = 0; i < a->numEntries; ++i) {
        SzEntry *e = &a->entries[i];
        e->nameStart = at;
        while (at < count && a->names[at] != 0)
            ++at;
        if (at == count)
            return SZ_ERROR_DATA;
        e->nameLength = at++ - e->nameStart;
        if (!IsSafePath(a->names + e->nameStart, e->nameLength)) {
            SzMessage_Set(a, "unsafe item name: ");
            SzMessage_Name(a, a->names + e->nameStart, e->nameLength);
            return SZ_ERROR_NAME;
        }
    }
    /* items are handed out with '\\' between their components */
    for (i = 0; i < count; ++i)
        if (a->names[i] == '/')
            a->names[i] = '\\';
    return at == count ? SZ_OK : SZ_ERROR_DATA;
}

/* Attributes (4 bytes) or times (8 bytes) for the items that have them. */
static SzResult ReadItemValues(SzArchive *a, Reader *r, unsigned bytes)
{
    const uint8_t *bits;
    uint32_t defined, i;
    uint8_t external;
    SZ_TRY(ReadDefined(r, a->numEntries, &bits, &defined));
    SZ_TRY(ReadByte(r, &external));
    if (external != 0 || (uint64_t)defined * bytes > Left(r))
        return SZ_ERROR_DATA;
    for (i = 0; i < a->numEntries; ++i) {
        SzEntry *e = &a->entries[i];
        uint64_t value;
        if (!Bit(bits, i))
            continue;
        SZ_TRY(ReadFixed(r, bytes, &value));
        if (bytes == 4) {
            e->attributes = (uint32_t)value;
            e->hasAttributes = 1;
        } else {
            e->modified = value;
            e->hasModified = 1;
        }
    }
    return SZ_OK;
}

static SzResult ReadFiles(SzArchive *a, Reader *r)
{
    uint32_t i, k, emptyStreams = 0, stream = 0, kept = 0;
    const uint8_t *emptyFile = NULL, *anti = NULL, *emptyStream = NULL;
    int haveNames = 0;
    SZ_TRY(ReadCount(r, &a->numEntries));
    a->entries = Allocate(a, a->numEntries, sizeof *a->entries);
    if (a->entries == NULL)
        return SZ_ERROR_MEMORY;
    memset(a->entries, 0, (size_t)(a->numEntries ? a->numEntries : 1) * sizeof *a->entries);
    for (;;) {
        uint64_t type, size;
        Reader property;
        SZ_TRY(ReadNumber(r, &type));
        if (type == kEnd)
            break;
        SZ_TRY(ReadNumber(r, &size));
        if (size > Left(r))
            return SZ_ERROR_DATA;
        property.p = r->p;
        property.end = r->p + size;
        r->p += size;
        switch (type) {
        case kEmptyStream:
            SZ_TRY(ReadBits(&property, a->numEntries, &emptyStream));
            for (emptyStreams = 0, i = 0; i < a->numEntries; ++i)
                emptyStreams += (uint32_t)Bit(emptyStream, i);
            emptyFile = anti = NULL;
            break;
        case kEmptyFile:
            SZ_TRY(ReadBits(&property, emptyStreams, &emptyFile));
            break;
        case kAnti:
            SZ_TRY(ReadBits(&property, emptyStreams, &anti));
            break;
        case kName:
            if (haveNames || size == 0)
                return SZ_ERROR_DATA;
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
        return SZ_ERROR_DATA;
    /* the files with data take the streams in order; the others are folders, empty files, or anti-items
       (deletions recorded by an update), which an extraction leaves out */
    for (i = 0, k = 0; i < a->numEntries; ++i) {
        SzEntry e = a->entries[i];
        if (emptyStream != NULL && Bit(emptyStream, i)) {
            int isFile = emptyFile != NULL && Bit(emptyFile, k), isAnti = anti != NULL && Bit(anti, k);
            ++k;
            if (isAnti)
                continue;
            e.isDirectory = (uint8_t)!isFile;
        } else {
            if (stream == a->streams.numSubstreams)
                return SZ_ERROR_DATA;
            /* Our writer gives every file a CRC; without one, damaged data would be written out as sound. */
            if (!a->streams.substreamHasCrc[stream]) {
                SzMessage_Set(a, "no checksum for ");
                SzMessage_Name(a, a->names + e.nameStart, e.nameLength);
                return SZ_ERROR_CRC;
            }
            e.hasStream = 1;
            e.size = a->streams.substreamSizes[stream];
            e.crc = a->streams.substreamCrcs[stream++];
        }
        a->entries[kept++] = e;
    }
    a->numEntries = kept;
    return stream == a->streams.numSubstreams ? SZ_OK : SZ_ERROR_DATA;
}

static SzResult ReadMainHeader(SzArchive *a, Reader *r)
{
    uint8_t id;
    SZ_TRY(ReadByte(r, &id));
    if (id == kArchiveProperties) {
        for (;;) {
            SZ_TRY(ReadByte(r, &id));
            if (id == kEnd)
                break;
            SZ_TRY(SkipProperty(r));
        }
        SZ_TRY(ReadByte(r, &id));
    }
    if (id == kAdditionalStreamsInfo) {
        SzMessage_Set(a, "archives with additional streams are not supported");
        return SZ_ERROR_UNSUPPORTED;
    }
    if (id == kMainStreamsInfo) {
        SZ_TRY(ReadStreams(a, r, &a->streams));
        SZ_TRY(ReadByte(r, &id));
    }
    if (id == kFilesInfo) {
        SZ_TRY(ReadFiles(a, r));
        SZ_TRY(ReadByte(r, &id));
    } else if (a->streams.numSubstreams != 0) {
        return SZ_ERROR_DATA;
    }
    return id == kEnd ? SZ_OK : SZ_ERROR_DATA;
}

/* The header that describes how the real header was packed: one folder, decoded into a new buffer. */
static SzResult UnpackHeader(SzArchive *a, Reader *r, uint8_t **buffer, size_t *size)
{
    SzStreams packed;
    SzResult result;
    uint64_t unpacked;
    memset(&packed, 0, sizeof packed);
    result = ReadStreams(a, r, &packed);
    if (result == SZ_OK && packed.numFolders != 1)
        result = SZ_ERROR_DATA;
    if (result == SZ_OK) {
        unpacked = FolderSize(&packed, 0);
        *buffer = unpacked == 0 || unpacked > (size_t)-1 / 2 ? NULL : Allocate(a, unpacked, 1);
        *size = (size_t)unpacked;
        if (unpacked == 0)
            result = SZ_ERROR_DATA;
        else if (*buffer == NULL)
            result = SZ_ERROR_MEMORY;
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
    Reader r;
    SzResult result;
    if (a->size < 32) {
        SzMessage_Set(a, "not a 7z archive");
        return SZ_ERROR_SIGNATURE;
    }
    SZ_TRY(a->host.Read(a->host.context, 0, start, 32));
    if (memcmp(start, signature, 6) != 0) {
        SzMessage_Set(a, "not a 7z archive");
        return SZ_ERROR_SIGNATURE;
    }
    if (start[6] != 0) {
        SzMessage_Set(a, "unsupported 7z format version ");
        SzMessage_Number(a, start[6]);
        return SZ_ERROR_UNSUPPORTED;
    }
    r.p = start + 8;
    r.end = start + 32;
    ReadFixed(&r, 4, &crc);
    if (SZ_CRC_VALUE(SzCrc_Update(&a->crc, SZ_CRC_START, start + 12, 20)) != crc) {
        SzMessage_Set(a, "CRC mismatch in the start header");
        return SZ_ERROR_CRC;
    }
    ReadFixed(&r, 8, &offset);
    ReadFixed(&r, 8, &size);
    ReadFixed(&r, 4, &crc);
    if (size == 0)
        return offset == 0 ? SZ_OK : SZ_ERROR_DATA; /* an archive of nothing */
    if (offset > a->size - 32 || size > a->size - 32 - offset) {
        SzMessage_Set(a, "the archive ends before its header");
        return SZ_ERROR_TRUNCATED;
    }
    if (size > (size_t)-1 / 2 || (buffer = Allocate(a, size, 1)) == NULL)
        return SZ_ERROR_MEMORY;
    length = (size_t)size;
    result = a->host.Read(a->host.context, 32 + offset, buffer, length);
    if (result == SZ_OK && SZ_CRC_VALUE(SzCrc_Update(&a->crc, SZ_CRC_START, buffer, length)) != crc) {
        SzMessage_Set(a, "CRC mismatch in the header");
        result = SZ_ERROR_CRC;
    }
    r.p = buffer;
    r.end = buffer + length;
    if (result == SZ_OK)
        result = ReadByte(&r, &id);
    if (result == SZ_OK && id == kEncodedHeader) {
        uint8_t *unpacked = NULL;
        result = UnpackHeader(a, &r, &unpacked, &length);
        a->host.Free(a->host.context, buffer);
        buffer = unpacked;
        if (result == SZ_OK) {
            r.p = buffer;
            r.end = buffer + length;
            result = ReadByte(&r, &id);
        }
    }
    if (result == SZ_OK)
        result = id == kHeader ? ReadMainHeader(a, &r) : SZ_ERROR_DATA;
    a->host.Free(a->host.context, buffer);
    return result;
}
