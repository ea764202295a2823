/* Reading a header's streams part: where the packed streams lie, how each folder's coders are bound, and
   how the folders' outputs divide into files. Each count and size is checked against the archive before
   memory is taken for it. */
#include "SzHeaderRead.h"

#include <string.h>

void SzStreams_Free(const SzHost *host, SzStreams *s)
{
    void *blocks[] = {s->packOffsets, s->folders, s->coders, s->sources, s->substreamSizes, s->substreamCrcs,
                      s->substreamHasCrc};
    size_t i;
    for (i = 0; i < sizeof blocks / sizeof blocks[0]; ++i)
        host->Free(host->context, blocks[i]);
    memset(s, 0, sizeof *s);
}

static SzResult ReadPackInfo(SzArchive *a, SzReader *r, SzStreams *s)
{
    uint64_t position, size;
    uint32_t i;
    uint8_t id;
    SZ_TRY(SzRead_Number(r, &position));
    SZ_TRY(SzRead_Count(r, &s->numPacks));
    SZ_TRY(SzRead_Expect(r, kSize));
    s->packOffsets = SzArchive_Allocate(a, (uint64_t)s->numPacks + 1, sizeof *s->packOffsets);
    if (s->packOffsets == NULL)
        return UNPACK_ERROR_MEMORY;
    /* the packed streams follow the 32-byte start header one after another */
    if (position > a->size - 32) {
        SzMessage_Set(a, "the archive ends before its packed data");
        return UNPACK_ERROR_TRUNCATED;
    }
    s->packOffsets[0] = 32 + position;
    for (i = 0; i < s->numPacks; ++i) {
        SZ_TRY(SzRead_Number(r, &size));
        if (size > a->size - s->packOffsets[i]) {
            SzMessage_Set(a, "the archive ends before its packed data");
            return UNPACK_ERROR_TRUNCATED;
        }
        s->packOffsets[i + 1] = s->packOffsets[i] + size;
    }
    for (;;) {
        SZ_TRY(SzRead_Byte(r, &id));
        if (id == kEnd)
            return UNPACK_OK;
        if (id == kCrc)
            SZ_TRY(SzRead_Digests(r, s->numPacks, NULL, NULL)); /* the folders' and files' CRCs cover the data */
        else
            SZ_TRY(SzRead_SkipProperty(r));
    }
}

/* One folder's coders and bind pairs, into *folder and coders[] / sources[] (its own numbering). */
static SzResult ReadFolder(SzArchive *a, SzReader *r, uint32_t index, SzFolderInfo *folder, SzCoderInfo *coders,
                           uint8_t *sources)
{
    uint32_t numCoders, numInputs = 0, i, boundOutputs = 0;
    uint64_t value;
    SZ_TRY(SzRead_Number(r, &value));
    if (value == 0 || value > SZ_MAX_CODERS) {
        SzMessage_Set(a, "too many coders in folder ");
        SzMessage_Number(a, index);
        return value == 0 ? UNPACK_ERROR_DATA : UNPACK_ERROR_UNSUPPORTED;
    }
    numCoders = (uint32_t)value;
    for (i = 0; i < numCoders; ++i) {
        SzCoderInfo *c = &coders[i];
        uint8_t flags;
        uint64_t method, numIn = 1, numOut = 1, propsSize = 0;
        SZ_TRY(SzRead_Byte(r, &flags));
        if ((flags & 0xC0) != 0 || (flags & 0x0F) > 8) {
            SzMessage_Set(a, "unsupported coder description in folder ");
            SzMessage_Number(a, index);
            return UNPACK_ERROR_UNSUPPORTED;
        }
        SZ_TRY(SzRead_Left(r) < (flags & 0x0F) ? UNPACK_ERROR_DATA : UNPACK_OK);
        for (method = 0, value = flags & 0x0F; value > 0; --value)
            method = method << 8 | *r->p++;
        if (flags & 0x10) {
            SZ_TRY(SzRead_Number(r, &numIn));
            SZ_TRY(SzRead_Number(r, &numOut));
        }
        if (flags & 0x20)
            SZ_TRY(SzRead_Number(r, &propsSize));
        if (propsSize > SzRead_Left(r))
            return UNPACK_ERROR_DATA;
        c->method = method;
        c->propsSize = propsSize <= sizeof c->props ? (uint8_t)propsSize : 0xFF;
        if (propsSize <= sizeof c->props)
            memcpy(c->props, r->p, (size_t)propsSize);
        r->p += (size_t)propsSize;
        if (numOut != 1 || numIn == 0 || numIn > SZ_MAX_FOLDER_INPUTS - numInputs) {
            SzMessage_Set(a, "unsupported coder streams in folder ");
            SzMessage_Number(a, index);
            return UNPACK_ERROR_UNSUPPORTED;
        }
        c->numInputs = (uint8_t)numIn;
        c->firstInput = (uint8_t)numInputs;
        numInputs += (uint32_t)numIn;
    }
    /* every coder output but one feeds exactly one coder input */
    memset(sources, 0xFF, numInputs);
    for (i = 0; i + 1 < numCoders; ++i) {
        uint64_t in, out;
        SZ_TRY(SzRead_Number(r, &in));
        SZ_TRY(SzRead_Number(r, &out));
        if (in >= numInputs || out >= numCoders || sources[in] != 0xFF || (boundOutputs >> out) & 1)
            return UNPACK_ERROR_DATA;
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
            SZ_TRY(SzRead_Number(r, &value));
            if (value >= numInputs || sources[value] != 0xFF)
                return UNPACK_ERROR_DATA;
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
                return UNPACK_ERROR_DATA;
        }
    }
    return UNPACK_OK;
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
            return UNPACK_ERROR_UNSUPPORTED;
        }
        if (m->numInputs != c->numInputs || c->propsSize < m->propsMin || c->propsSize > m->propsMax ||
            (m->propsMax == 4 && c->propsSize != 0 && c->propsSize != 4) ||
            (m->create == SzLzma_Create && c->props[0] >= 9 * 5 * 5) ||
            (m->create == SzLzma2_Create && c->props[0] > 40)) {
            SzMessage_Set(a, "unsupported properties of coder ");
            SzMessage_Method(a, c->method);
            SzMessage_Text(a, " in folder ");
            SzMessage_Number(a, index);
            return UNPACK_ERROR_UNSUPPORTED;
        }
        for (k = 0; k < c->numInputs; ++k) {
            size = SzFolder_InputSize(s, f, c->firstInput + k);
            if (m->create != SzBcj2_Create || k < 3)
                inputs = inputs + size < inputs ? (uint64_t)-1 : inputs + size;
        }
        if (m->create == SzLzma_Create || m->create == SzLzma2_Create) {
            if (inputs < (uint64_t)-1 / SZ_MAX_EXPANSION && c->unpackSize > inputs * SZ_MAX_EXPANSION + 64)
                return UNPACK_ERROR_DATA;
        } else if (m->create == SzBcj2_Create ? c->unpackSize > inputs : c->unpackSize != inputs) {
            return UNPACK_ERROR_DATA;
        }
    }
    return UNPACK_OK;
}

static SzResult ReadUnpackInfo(SzArchive *a, SzReader *r, SzStreams *s)
{
    SzReader start;
    SzFolderInfo folder;
    SzCoderInfo coders[SZ_MAX_CODERS];
    uint8_t sources[SZ_MAX_FOLDER_INPUTS], external, id;
    uint32_t i, k, pack = 0;
    SZ_TRY(SzRead_Expect(r, kFolder));
    SZ_TRY(SzRead_Count(r, &s->numFolders));
    SZ_TRY(SzRead_Byte(r, &external));
    if (external != 0)
        return UNPACK_ERROR_UNSUPPORTED;
    /* a first pass counts the coders and inputs, the second stores them */
    start = *r;
    for (i = 0; i < s->numFolders; ++i) {
        SZ_TRY(ReadFolder(a, r, i, &folder, coders, sources));
        s->numCoders += folder.numCoders;
        s->numSources += folder.numInputs;
        pack += folder.numPacked;
    }
    if (pack != s->numPacks)
        return UNPACK_ERROR_DATA;
    s->folders = SzArchive_Allocate(a, s->numFolders, sizeof *s->folders);
    s->coders = SzArchive_Allocate(a, s->numCoders, sizeof *s->coders);
    s->sources = SzArchive_Allocate(a, s->numSources, 1);
    if (s->folders == NULL || s->coders == NULL || s->sources == NULL)
        return UNPACK_ERROR_MEMORY;
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
    SZ_TRY(SzRead_Expect(r, kCodersUnpackSize));
    for (i = 0; i < s->numCoders; ++i)
        SZ_TRY(SzRead_Number(r, &s->coders[i].unpackSize));
    for (;;) {
        SZ_TRY(SzRead_Byte(r, &id));
        if (id == kEnd)
            break;
        if (id == kCrc) {
            uint32_t *crcs = SzArchive_Allocate(a, s->numFolders, sizeof *crcs);
            uint8_t *has = SzArchive_Allocate(a, s->numFolders, 1);
            SzResult result = crcs == NULL || has == NULL ? UNPACK_ERROR_MEMORY : SzRead_Digests(r, s->numFolders, crcs, has);
            for (k = 0; result == UNPACK_OK && k < s->numFolders; ++k) {
                s->folders[k].crc = crcs[k];
                s->folders[k].hasCrc = has[k];
            }
            a->host.Free(a->host.context, crcs);
            a->host.Free(a->host.context, has);
            SZ_TRY(result);
        } else {
            SZ_TRY(SzRead_SkipProperty(r));
        }
    }
    for (i = 0; i < s->numFolders; ++i)
        SZ_TRY(CheckFolder(a, s, i));
    return UNPACK_OK;
}

uint64_t SzStreams_FolderSize(const SzStreams *s, uint32_t folder)
{
    return s->coders[s->folders[folder].firstCoder + s->folders[folder].mainCoder].unpackSize;
}

/* The CRC list of the files whose folder's own CRC does not already cover them. */
static SzResult ReadSubstreamCrcs(SzArchive *a, SzReader *r, SzStreams *s, uint32_t unknown)
{
    uint32_t *crcs = SzArchive_Allocate(a, unknown, sizeof *crcs), n, k = 0;
    uint8_t *has = SzArchive_Allocate(a, unknown, 1);
    SzResult result = crcs == NULL || has == NULL ? UNPACK_ERROR_MEMORY : SzRead_Digests(r, unknown, crcs, has);
    for (n = 0; result == UNPACK_OK && n < s->numSubstreams; ++n) {
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
static SzResult ReadSubStreams(SzArchive *a, SzReader *r, SzStreams *s, int present)
{
    uint32_t i, k, n = 0, unknown = 0;
    uint8_t id = kEnd;
    uint64_t total = 0;
    while (present) {
        SZ_TRY(SzRead_Byte(r, &id));
        if (id != kNumUnpackStream)
            break;
        for (i = 0; i < s->numFolders; ++i) {
            uint64_t count;
            SZ_TRY(SzRead_Number(r, &count));
            if (count > 0x7FFFFFFF)
                return UNPACK_ERROR_DATA;
            s->folders[i].numSubstreams = (uint32_t)count;
        }
    }
    for (i = 0; i < s->numFolders; ++i)
        total += s->folders[i].numSubstreams;
    /* every file but the last of its folder has its size written out */
    if (total > (uint64_t)s->numFolders + SzRead_Left(r))
        return UNPACK_ERROR_DATA;
    s->numSubstreams = (uint32_t)total;
    s->substreamSizes = SzArchive_Allocate(a, s->numSubstreams, sizeof *s->substreamSizes);
    s->substreamCrcs = SzArchive_Allocate(a, s->numSubstreams, sizeof *s->substreamCrcs);
    s->substreamHasCrc = SzArchive_Allocate(a, s->numSubstreams, 1);
    if (s->substreamSizes == NULL || s->substreamCrcs == NULL || s->substreamHasCrc == NULL)
        return UNPACK_ERROR_MEMORY;
    for (i = 0; i < s->numFolders; ++i) {
        const SzFolderInfo *f = &s->folders[i];
        uint64_t left = SzStreams_FolderSize(s, i);
        for (k = 1; k < f->numSubstreams; ++k) {
            uint64_t size = 0;
            if (id == kSize)
                SZ_TRY(SzRead_Number(r, &size));
            else
                return UNPACK_ERROR_DATA;
            if (size > left)
                return UNPACK_ERROR_DATA;
            s->substreamSizes[n++] = size;
            left -= size;
        }
        if (f->numSubstreams != 0)
            s->substreamSizes[n++] = left;
        if (f->numSubstreams != 1 || !f->hasCrc)
            unknown += f->numSubstreams;
    }
    if (id == kSize)
        SZ_TRY(SzRead_Byte(r, &id));
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
            SZ_TRY(SzRead_SkipProperty(r));
        SZ_TRY(SzRead_Byte(r, &id));
    }
    return UNPACK_OK;
}

SzResult SzStreams_Read(SzArchive *a, SzReader *r, SzStreams *s)
{
    uint8_t id;
    SZ_TRY(SzRead_Byte(r, &id));
    if (id == kPackInfo) {
        SZ_TRY(ReadPackInfo(a, r, s));
        SZ_TRY(SzRead_Byte(r, &id));
    }
    if (id == kUnpackInfo) {
        SZ_TRY(ReadUnpackInfo(a, r, s));
        SZ_TRY(SzRead_Byte(r, &id));
    } else if (s->numPacks != 0) {
        return UNPACK_ERROR_DATA;
    }
    SZ_TRY(ReadSubStreams(a, r, s, id == kSubStreamsInfo));
    if (id == kSubStreamsInfo)
        SZ_TRY(SzRead_Byte(r, &id));
    return id == kEnd ? UNPACK_OK : UNPACK_ERROR_DATA;
}
