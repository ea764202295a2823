/* LZMA and LZMA2 over the LZMA SDK's decoder. The dictionary is a ring buffer no larger than the coder's
   whole output, so a small file never costs the dictionary size the compressor announced; decoded bytes
   are handed out of it in pieces. */
#include "SzPrivate.h"

#include "LzmaDec.h"

#include <string.h>

typedef struct BlocksAlloc {
    ISzAlloc base;
    SzBlocks *blocks;
} BlocksAlloc;

static void *AllocFromBlocks(void *p, size_t size)
{
    return SzBlocks_Alloc(((BlocksAlloc *)p)->blocks, size);
}

static void LeaveToBlocks(void *p, void *address)
{
    (void)p; /* SzBlocks_FreeAll frees it with the rest */
    (void)address;
}

typedef struct LzmaStream {
    SzStream base;
    SzInput input;
    CLzmaDec dec;
    uint64_t remaining; /* bytes of the coder's output still to be decoded */
    size_t delivered;   /* dec.dic[delivered, dec.dicPos) is decoded but not yet handed out */
    ELzmaStatus status;
    /* LZMA2 only */
    int needDictionaryReset, needProperties;
    uint32_t chunkUnpacked, chunkPacked; /* left in the current chunk */
    uint8_t chunkControl;                /* 0: between chunks */
} LzmaStream;

static SzResult CreateCommon(SzBlocks *blocks, const SzCoderInfo *coder, SzStream *input, const uint8_t *props,
                             uint32_t dictionarySize, LzmaStream **made)
{
    BlocksAlloc alloc;
    LzmaStream *s = SzBlocks_Alloc(blocks, sizeof *s);
    size_t size;
    if (s == NULL)
        return UNPACK_ERROR_MEMORY;
    memset(s, 0, sizeof *s);
    alloc.base.Alloc = AllocFromBlocks;
    alloc.base.Free = LeaveToBlocks;
    alloc.blocks = blocks;
    LzmaDec_Construct(&s->dec);
    if (LzmaDec_AllocateProbs(&s->dec, props, LZMA_PROPS_SIZE, &alloc.base) != 0)
        return UNPACK_ERROR_MEMORY; /* the properties were checked when the header was read */
    /* Never more than the coder produces; the sizes were checked against the input's when the header was
       read, so this is what a real archive needs. */
    size = dictionarySize;
    if (coder->unpackSize < size)
        size = (size_t)coder->unpackSize;
    if (size == 0)
        size = 1;
    s->dec.dic = SzBlocks_Alloc(blocks, size);
    if (s->dec.dic == NULL)
        return UNPACK_ERROR_MEMORY;
    s->dec.dicBufSize = size;
    LzmaDec_Init(&s->dec);
    s->remaining = coder->unpackSize;
    SZ_TRY(SzInput_Init(&s->input, blocks, input));
    *made = s;
    return UNPACK_OK;
}

/* Decodes into the dictionary ring, up to its end, towards the end of the current unit (the stream for
   LZMA, the chunk for LZMA2) that lies `toEnd` bytes ahead, from at most `available` input bytes. */
static SzResult DecodeSome(LzmaStream *s, uint64_t toEnd, size_t available)
{
    size_t before = s->dec.dicPos, used = available, limit = s->dec.dicBufSize - s->dec.dicPos;
    ELzmaFinishMode finish = LZMA_FINISH_ANY;
    if (toEnd <= limit) {
        limit = (size_t)toEnd;
        finish = LZMA_FINISH_END; /* the unit must end exactly here */
    }
    if (LzmaDec_DecodeToDic(&s->dec, before + limit, s->input.data + s->input.pos, &used, finish, &s->status) != 0)
        return UNPACK_ERROR_DATA;
    s->input.pos += used;
    s->remaining -= s->dec.dicPos - before;
    if (used == 0 && s->dec.dicPos == before)
        return UNPACK_ERROR_DATA; /* no progress: the input ended early or is damaged */
    return UNPACK_OK;
}

/* Hands out decoded bytes not yet handed out; returns how many. */
static size_t Deliver(LzmaStream *s, uint8_t *out, size_t wanted)
{
    size_t n = s->dec.dicPos - s->delivered;
    if (n > wanted)
        n = wanted;
    memcpy(out, s->dec.dic + s->delivered, n);
    s->delivered += n;
    if (s->delivered == s->dec.dicBufSize)
        s->dec.dicPos = s->delivered = 0; /* the ring wraps once all of it is out */
    return n;
}

static SzResult LzmaRead(SzStream *self, uint8_t *out, size_t *size)
{
    LzmaStream *s = (LzmaStream *)self;
    size_t wanted = *size, given = 0;
    while (given < wanted) {
        if (s->delivered < s->dec.dicPos) {
            given += Deliver(s, out + given, wanted - given);
            continue;
        }
        /* at the end, an end mark may still be on its way */
        if (s->remaining == 0 && s->status != LZMA_STATUS_NEEDS_MORE_INPUT)
            break;
        SZ_TRY(SzInput_Fill(&s->input));
        SZ_TRY(DecodeSome(s, s->remaining, s->input.limit - s->input.pos));
        if (s->remaining == 0 && s->status == LZMA_STATUS_NOT_FINISHED)
            return UNPACK_ERROR_DATA;
    }
    *size = given;
    return UNPACK_OK;
}

SzResult SzLzma_Create(SzBlocks *blocks, const SzCoderInfo *coder, SzStream **inputs, SzStream **output)
{
    LzmaStream *s;
    uint32_t dictionary = (uint32_t)coder->props[1] | (uint32_t)coder->props[2] << 8 |
                          (uint32_t)coder->props[3] << 16 | (uint32_t)coder->props[4] << 24;
    SZ_TRY(CreateCommon(blocks, coder, inputs[0], coder->props, dictionary < 4096 ? 4096 : dictionary, &s));
    s->base.Read = LzmaRead;
    *output = &s->base;
    return UNPACK_OK;
}

/* A new LZMA2 chunk restarts the decoder through the fields LzmaDec.h declares: the range coder is
   always read afresh, the probabilities when the state is reset, and a reset dictionary forgets every
   byte before it. The ring (dic, dicPos) stays as it is, since decoded bytes may still be in it. */
static void RestartDecoder(CLzmaDec *dec, int resetDictionary, int resetState)
{
    dec->needFlush = 1;
    dec->remainLen = 0;
    dec->tempBufSize = 0;
    if (resetDictionary) {
        dec->processedPos = 0;
        dec->checkDicSize = 0;
    }
    if (resetDictionary || resetState)
        dec->needInitState = 1;
}

/* ---- LZMA2: a sequence of chunks, each either stored or LZMA-compressed, that may reset the dictionary,
   the decoder's state or its lc/lp/pb properties. ---- */

/* Reads the next chunk's header; *ended is set at the end-of-stream byte. */
static SzResult StartChunk(LzmaStream *s, int *ended)
{
    uint8_t control, b[2];
    SZ_TRY(SzInput_Byte(&s->input, &control));
    *ended = control == 0;
    if (control == 0)
        return UNPACK_OK;
    if (control < 0x80 && control > 2)
        return UNPACK_ERROR_DATA;
    /* stored chunks: 1 resets the dictionary; LZMA chunks: bits 5-6 say how much is reset */
    if (control == 1 || control >= 0xE0) {
        RestartDecoder(&s->dec, 1, 1);
        s->needDictionaryReset = 0;
        if (control == 1)
            s->needProperties = 1;
    } else if (s->needDictionaryReset) {
        return UNPACK_ERROR_DATA;
    }
    s->chunkUnpacked = control >= 0x80 ? (uint32_t)(control & 0x1F) << 16 : 0;
    SZ_TRY(SzInput_Byte(&s->input, &b[0]));
    SZ_TRY(SzInput_Byte(&s->input, &b[1]));
    s->chunkUnpacked += ((uint32_t)b[0] << 8 | b[1]) + 1;
    s->chunkControl = control;
    if (control < 0x80)
        return UNPACK_OK;
    SZ_TRY(SzInput_Byte(&s->input, &b[0]));
    SZ_TRY(SzInput_Byte(&s->input, &b[1]));
    s->chunkPacked = ((uint32_t)b[0] << 8 | b[1]) + 1;
    if (control >= 0xC0) {
        uint8_t props;
        SZ_TRY(SzInput_Byte(&s->input, &props));
        if (props >= 9 * 5 * 5 || props % 9 + props / 9 % 5 > 4)
            return UNPACK_ERROR_DATA; /* lc + lp may not exceed 4 */
        s->dec.prop.lc = props % 9;
        s->dec.prop.lp = props / 9 % 5;
        s->dec.prop.pb = props / 45;
        s->needProperties = 0;
    } else if (s->needProperties) {
        return UNPACK_ERROR_DATA;
    }
    /* each LZMA chunk starts a new range coder; the state is kept only when bits 5-6 are 0 */
    RestartDecoder(&s->dec, 0, control >= 0xA0);
    return UNPACK_OK;
}

/* Stored bytes go through the dictionary too, since later chunks may refer to them. */
static SzResult CopyStored(LzmaStream *s, size_t limit)
{
    size_t n = s->input.limit - s->input.pos, room = s->dec.dicBufSize - s->dec.dicPos;
    if (n == 0)
        return UNPACK_ERROR_DATA;
    if (n > limit)
        n = limit;
    if (n > room)
        n = room;
    memcpy(s->dec.dic + s->dec.dicPos, s->input.data + s->input.pos, n);
    s->input.pos += n;
    s->dec.dicPos += n;
    if (s->dec.checkDicSize == 0 && s->dec.prop.dicSize - s->dec.processedPos <= n)
        s->dec.checkDicSize = s->dec.prop.dicSize;
    s->dec.processedPos += (uint32_t)n;
    s->remaining -= n;
    s->chunkUnpacked -= (uint32_t)n;
    return UNPACK_OK;
}

static SzResult Lzma2Read(SzStream *self, uint8_t *out, size_t *size)
{
    LzmaStream *s = (LzmaStream *)self;
    size_t wanted = *size, given = 0;
    while (given < wanted) {
        size_t limit;
        if (s->delivered < s->dec.dicPos) {
            given += Deliver(s, out + given, wanted - given);
            continue;
        }
        if (s->remaining == 0)
            break;
        if (s->chunkControl == 0) {
            int ended;
            SZ_TRY(StartChunk(s, &ended));
            if (ended)
                return UNPACK_ERROR_DATA; /* fewer bytes than the header says */
            continue;
        }
        SZ_TRY(SzInput_Fill(&s->input));
        limit = s->chunkUnpacked;
        if (limit > s->remaining)
            limit = (size_t)s->remaining;
        if (s->chunkControl < 0x80) {
            SZ_TRY(CopyStored(s, limit));
        } else {
            size_t available = s->input.limit - s->input.pos, before = s->input.pos, decodedBefore = s->dec.dicPos;
            if (available > s->chunkPacked)
                available = s->chunkPacked;
            SZ_TRY(DecodeSome(s, limit, available));
            s->chunkPacked -= (uint32_t)(s->input.pos - before);
            s->chunkUnpacked -= (uint32_t)(s->dec.dicPos - decodedBefore);
            if (s->chunkUnpacked == 0 &&
                (s->chunkPacked != 0 || s->status != LZMA_STATUS_MAYBE_FINISHED_WITHOUT_MARK))
                return UNPACK_ERROR_DATA;
        }
        if (s->chunkUnpacked == 0)
            s->chunkControl = 0;
    }
    *size = given;
    return UNPACK_OK;
}

SzResult SzLzma2_Create(SzBlocks *blocks, const SzCoderInfo *coder, SzStream **inputs, SzStream **output)
{
    /* room for the largest lc + lp LZMA2 allows; each chunk with properties sets its own */
    static const uint8_t widest[LZMA_PROPS_SIZE] = {4, 0, 0, 0, 0};
    unsigned p = coder->props[0];
    uint32_t dictionary = p >= 40 ? 0xFFFFFFFFu : (2u | (p & 1)) << (p / 2 + 11);
    LzmaStream *s;
    SZ_TRY(CreateCommon(blocks, coder, inputs[0], widest, dictionary, &s));
    s->dec.prop.dicSize = dictionary;
    s->needDictionaryReset = s->needProperties = 1;
    s->base.Read = Lzma2Read;
    *output = &s->base;
    return UNPACK_OK;
}
