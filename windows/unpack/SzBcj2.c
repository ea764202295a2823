/* BCJ2: the x86 converter that splits code into four streams. The main stream holds the code with the
   operands of converted CALL (E8), JMP (E9) and conditional jumps (0F 80-8F) taken out; those operands,
   made absolute, are in the call and jump streams as big-endian numbers; and a range-coded stream of one
   bit per candidate opcode says whether it was converted. The bit's probability depends on the kind of
   opcode and, for E8, on the byte before it. */
#include "SzPrivate.h"

#include <string.h>

enum { MAIN, CALL, JUMP, RANGE };

typedef struct Bcj2Stream {
    SzStream base;
    SzInput in[4];
    uint64_t remaining; /* output bytes still to come */
    uint32_t range, code;
    uint32_t position;  /* of the next output byte, as the converter counts it */
    uint8_t previous;   /* the last byte output */
    uint8_t pending[4]; /* an operand being handed out */
    unsigned pendingPos, pendingCount;
    int started;
    uint16_t probabilities[256 + 2]; /* E8 after each byte value, then E9, then the conditional jumps */
} Bcj2Stream;

#define PROBABILITY_BITS 11
#define MOVE_BITS 5

static SzResult RangeByte(Bcj2Stream *s, uint32_t *value)
{
    uint8_t b;
    SZ_TRY(SzInput_Byte(&s->in[RANGE], &b));
    *value = b;
    return UNPACK_OK;
}

static SzResult DecodeBit(Bcj2Stream *s, uint16_t *probability, int *bit)
{
    uint32_t bound, next;
    if (s->range < (1u << 24)) {
        SZ_TRY(RangeByte(s, &next));
        s->range <<= 8;
        s->code = s->code << 8 | next;
    }
    bound = (s->range >> PROBABILITY_BITS) * *probability;
    if (s->code < bound) {
        s->range = bound;
        *probability += ((1u << PROBABILITY_BITS) - *probability) >> MOVE_BITS;
        *bit = 0;
    } else {
        s->range -= bound;
        s->code -= bound;
        *probability -= *probability >> MOVE_BITS;
        *bit = 1;
    }
    return UNPACK_OK;
}

static SzResult Start(Bcj2Stream *s)
{
    unsigned i;
    s->range = 0xFFFFFFFFu;
    s->code = 0;
    for (i = 0; i < 5; ++i) {
        uint32_t next;
        SZ_TRY(RangeByte(s, &next));
        s->code = s->code << 8 | next;
    }
    if (s->code == 0xFFFFFFFFu)
        return UNPACK_ERROR_DATA;
    for (i = 0; i < 258; ++i)
        s->probabilities[i] = 1u << (PROBABILITY_BITS - 1);
    s->started = 1;
    return UNPACK_OK;
}

static int IsJump(uint8_t before, uint8_t b)
{
    return (b & 0xFE) == 0xE8 || (before == 0x0F && (b & 0xF0) == 0x80);
}

static SzResult Bcj2Read(SzStream *self, uint8_t *out, size_t *size)
{
    Bcj2Stream *s = (Bcj2Stream *)self;
    size_t wanted = *size, given = 0;
    if (!s->started && s->remaining != 0)
        SZ_TRY(Start(s));
    while (given < wanted && s->remaining != 0) {
        SzInput *main = &s->in[MAIN];
        uint8_t b;
        uint16_t *probability;
        int converted;
        if (s->pendingPos < s->pendingCount) {
            b = s->pending[s->pendingPos++];
        } else {
            /* plain bytes up to and including the next candidate opcode */
            SZ_TRY(SzInput_Byte(main, &b));
            if (IsJump(s->previous, b) && s->remaining > 1) {
                probability = b == 0xE8 ? &s->probabilities[s->previous] : &s->probabilities[b == 0xE9 ? 256 : 257];
                SZ_TRY(DecodeBit(s, probability, &converted));
                if (converted) {
                    SzInput *operands = &s->in[b == 0xE8 ? CALL : JUMP];
                    uint32_t target = 0;
                    unsigned i;
                    for (i = 0; i < 4; ++i) {
                        uint8_t t;
                        SZ_TRY(SzInput_Byte(operands, &t));
                        target = target << 8 | t;
                    }
                    target -= s->position + 5;
                    for (i = 0; i < 4; ++i)
                        s->pending[i] = (uint8_t)(target >> (8 * i));
                    s->pendingPos = 0;
                    s->pendingCount = 4;
                }
            }
        }
        out[given++] = b;
        s->previous = b;
        ++s->position;
        --s->remaining;
    }
    *size = given;
    return UNPACK_OK;
}

SzResult SzBcj2_Create(SzBlocks *blocks, const SzCoderInfo *coder, SzStream **inputs, SzStream **output)
{
    Bcj2Stream *s = SzBlocks_Alloc(blocks, sizeof *s);
    unsigned i;
    if (s == NULL)
        return UNPACK_ERROR_MEMORY;
    memset(s, 0, sizeof *s);
    for (i = 0; i < 4; ++i)
        SZ_TRY(SzInput_Init(&s->in[i], blocks, inputs[i]));
    s->remaining = coder->unpackSize;
    s->base.Read = Bcj2Read;
    *output = &s->base;
    return UNPACK_OK;
}
