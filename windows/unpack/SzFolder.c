/* A folder's coders joined into one stream: each coder input reads either a packed stream of the archive
   or the output of another coder, as the folder's bind pairs say; the folder's output is the one coder
   output nothing else reads. */
#include "SzPrivate.h"

static const SzMethod methods[] = {
    {0x00, 1, 0, 0, NULL},                  /* Copy */
    {0x21, 1, 1, 1, SzLzma2_Create},        /* LZMA2 */
    {0x030101, 1, 5, 5, SzLzma_Create},     /* LZMA */
    {0x03, 1, 1, 1, SzFilter_Create},       /* Delta */
    {0x0303011B, 4, 0, 0, SzBcj2_Create},   /* BCJ2 */
    {0x03030103, 1, 0, 4, SzFilter_Create}, /* BCJ x86 */
    {0x03030205, 1, 0, 4, SzFilter_Create}, /* PowerPC */
    {0x03030401, 1, 0, 4, SzFilter_Create}, /* IA-64 */
    {0x03030501, 1, 0, 4, SzFilter_Create}, /* ARM */
    {0x03030701, 1, 0, 4, SzFilter_Create}, /* ARM Thumb */
    {0x03030805, 1, 0, 4, SzFilter_Create}, /* SPARC */
    {0x04, 1, 0, 4, SzFilter_Create},       /* the same converters under their short ids */
    {0x05, 1, 0, 4, SzFilter_Create},
    {0x06, 1, 0, 4, SzFilter_Create},
    {0x07, 1, 0, 4, SzFilter_Create},
    {0x08, 1, 0, 4, SzFilter_Create},
    {0x09, 1, 0, 4, SzFilter_Create},
    {0x0A, 1, 0, 4, SzFilter_Create},       /* ARM64 */
    {0x0B, 1, 0, 4, SzFilter_Create},       /* RISC-V */
};

const SzMethod *SzMethod_Find(uint64_t id)
{
    size_t i;
    for (i = 0; i < sizeof methods / sizeof methods[0]; ++i)
        if (methods[i].id == id)
            return &methods[i];
    return NULL;
}

void *SzBlocks_Alloc(SzBlocks *blocks, size_t size)
{
    void *block;
    if (blocks->count == SZ_MAX_BLOCKS)
        return NULL;
    block = blocks->host->Alloc(blocks->host->context, size);
    if (block != NULL)
        blocks->block[blocks->count++] = block;
    return block;
}

void SzBlocks_FreeAll(SzBlocks *blocks)
{
    while (blocks->count > 0)
        blocks->host->Free(blocks->host->context, blocks->block[--blocks->count]);
}

SzResult SzInput_Init(SzInput *input, SzBlocks *blocks, SzStream *source)
{
    input->source = source;
    input->data = SzBlocks_Alloc(blocks, SZ_BUFFER_SIZE);
    input->pos = input->limit = 0;
    input->ended = 0;
    return input->data == NULL ? UNPACK_ERROR_MEMORY : UNPACK_OK;
}

SzResult SzInput_Fill(SzInput *input)
{
    size_t n = SZ_BUFFER_SIZE;
    if (input->pos < input->limit || input->ended)
        return UNPACK_OK;
    SZ_TRY(input->source->Read(input->source, input->data, &n));
    input->pos = 0;
    input->limit = n;
    input->ended = n == 0;
    return UNPACK_OK;
}

/* A packed stream: a stretch of the archive read through the host. */
typedef struct PackStream {
    SzStream base;
    const SzHost *host;
    uint64_t offset, remaining;
} PackStream;

static SzResult PackRead(SzStream *self, uint8_t *buffer, size_t *size)
{
    PackStream *s = (PackStream *)self;
    if (*size > s->remaining)
        *size = (size_t)s->remaining;
    if (*size > 0)
        SZ_TRY(s->host->Read(s->host->context, s->offset, buffer, *size));
    s->offset += *size;
    s->remaining -= *size;
    return UNPACK_OK;
}

uint64_t SzFolder_InputSize(const SzStreams *streams, const SzFolderInfo *folder, unsigned input)
{
    uint8_t source = streams->sources[folder->firstSource + input];
    uint32_t pack = folder->firstPack + (source & ~SZ_SOURCE_PACKED);
    if (source & SZ_SOURCE_PACKED)
        return streams->packOffsets[pack + 1] - streams->packOffsets[pack];
    return streams->coders[folder->firstCoder + source].unpackSize;
}

static SzResult Build(SzBlocks *blocks, const SzStreams *streams, const SzFolderInfo *folder, unsigned coderIndex,
                      SzStream **output)
{
    const SzCoderInfo *coder = &streams->coders[folder->firstCoder + coderIndex];
    SzStream *inputs[4];
    unsigned i;
    for (i = 0; i < coder->numInputs; ++i) {
        unsigned input = coder->firstInput + i;
        uint8_t source = streams->sources[folder->firstSource + input];
        if (source & SZ_SOURCE_PACKED) {
            uint32_t pack = folder->firstPack + (source & ~SZ_SOURCE_PACKED);
            PackStream *p = SzBlocks_Alloc(blocks, sizeof *p);
            if (p == NULL)
                return UNPACK_ERROR_MEMORY;
            p->base.Read = PackRead;
            p->host = blocks->host;
            p->offset = streams->packOffsets[pack];
            p->remaining = streams->packOffsets[pack + 1] - p->offset;
            inputs[i] = &p->base;
        } else {
            SZ_TRY(Build(blocks, streams, folder, source, &inputs[i]));
        }
    }
    if (coder->method == 0) {
        *output = inputs[0];
        return UNPACK_OK;
    }
    return SzMethod_Find(coder->method)->create(blocks, coder, inputs, output);
}

SzResult SzFolder_Open(SzBlocks *blocks, const SzStreams *streams, uint32_t folder, SzStream **output)
{
    const SzFolderInfo *f = &streams->folders[folder];
    return Build(blocks, streams, f, f->mainCoder, output);
}
