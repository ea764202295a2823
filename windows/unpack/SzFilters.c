/* The filters that sit in front of a compressor: the branch converters, which turned the relative target
   of each call or jump in machine code into an absolute address so that repeated calls to one function
   compress well (undone here), and Delta, which stored differences between bytes a fixed distance apart.
   Each converter works in place on a buffer and reports how many bytes it has finished with; an
   instruction that might continue past the buffer's end waits for the next call. */
#include "SzPrivate.h"

#include <string.h>

static uint32_t Le32(const uint8_t *p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

static uint32_t Be32(const uint8_t *p)
{
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | (uint32_t)p[3];
}

static void PutLe32(uint8_t *p, uint32_t v)
{
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

static void PutBe32(uint8_t *p, uint32_t v)
{
    p[0] = (uint8_t)(v >> 24);
    p[1] = (uint8_t)(v >> 16);
    p[2] = (uint8_t)(v >> 8);
    p[3] = (uint8_t)v;
}

/* x86: CALL (E8) and JMP (E9) with a 32-bit operand whose top byte is 00 or FF (a near target). To avoid
   converting bytes that only look like an opcode, the filter remembers which of the three bytes before the
   current one were E8/E9 bytes it left alone (bit k: k+1 bytes back), and skips an opcode that could be
   the operand of such an earlier one. state keeps that memory between calls. */
static int IsNearTop(uint8_t b)
{
    return b == 0 || b == 0xFF;
}

static size_t ConvertX86(uint32_t *state, uint8_t *data, size_t size, uint32_t ip)
{
    uint32_t recent = *state & 7;
    size_t pos = 0;
    if (size < 5)
        return 0;
    while (pos < size - 4) {
        uint8_t *p = data + pos;
        uint32_t back, target, operand;
        if ((p[0] & 0xFE) != 0xE8) {
            ++pos;
            recent = (recent << 1) & 7;
            continue;
        }
        /* how far back the nearest remembered opcode is: 1, 2 or 3 (0: none) */
        back = recent == 0 ? 0 : recent == 1 ? 1 : recent <= 3 ? 2 : 3;
        if (recent != 0 && (recent != (1u << (back - 1)) || IsNearTop(p[4 - back]))) {
            ++pos;
            recent = ((recent << 1) | 1) & 7;
            continue;
        }
        if (!IsNearTop(p[4])) {
            ++pos;
            recent = ((recent << 1) | 1) & 7;
            continue;
        }
        operand = Le32(p + 1);
        for (;;) {
            uint32_t shift;
            target = operand - (ip + (uint32_t)pos + 5);
            if (back == 0)
                break;
            shift = 32 - 8 * back;
            if (!IsNearTop((uint8_t)(target >> (shift - 8))))
                break;
            operand = target ^ ((1u << shift) - 1);
        }
        target &= 0x01FFFFFF;
        PutLe32(p + 1, (target & 0x01000000) ? target | 0xFF000000u : target);
        pos += 5;
        recent = 0;
    }
    *state = recent;
    return pos;
}

/* ARM: BL with the "always" condition, a 24-bit word offset from the instruction's address + 8. */
static size_t ConvertArm(uint32_t *state, uint8_t *data, size_t size, uint32_t ip)
{
    size_t i;
    (void)state;
    for (i = 0; i + 4 <= size; i += 4) {
        if (data[i + 3] == 0xEB) {
            uint32_t target = ((Le32(data + i) & 0x00FFFFFF) << 2) - (ip + (uint32_t)i + 8);
            target >>= 2;
            data[i] = (uint8_t)target;
            data[i + 1] = (uint8_t)(target >> 8);
            data[i + 2] = (uint8_t)(target >> 16);
        }
    }
    return i;
}

/* ARM Thumb: the two-halfword BL (11110 high part, 11111 low part), offset in halfwords from address + 4. */
static size_t ConvertArmThumb(uint32_t *state, uint8_t *data, size_t size, uint32_t ip)
{
    size_t i = 0;
    (void)state;
    while (i + 4 <= size) {
        if ((data[i + 1] & 0xF8) == 0xF0 && (data[i + 3] & 0xF8) == 0xF8) {
            uint32_t target = ((uint32_t)(data[i + 1] & 7) << 19 | (uint32_t)data[i] << 11 |
                               (uint32_t)(data[i + 3] & 7) << 8 | data[i + 2]) << 1;
            target = (target - (ip + (uint32_t)i + 4)) >> 1;
            data[i + 1] = (uint8_t)(0xF0 | ((target >> 19) & 7));
            data[i] = (uint8_t)(target >> 11);
            data[i + 3] = (uint8_t)(0xF8 | ((target >> 8) & 7));
            data[i + 2] = (uint8_t)target;
            i += 4;
        } else {
            i += 2;
        }
    }
    return i;
}

/* PowerPC (big-endian): "bl", opcode 18 with AA = 0 and LK = 1. */
static size_t ConvertPowerPc(uint32_t *state, uint8_t *data, size_t size, uint32_t ip)
{
    size_t i;
    (void)state;
    for (i = 0; i + 4 <= size; i += 4) {
        if ((data[i] >> 2) == 0x12 && (data[i + 3] & 3) == 1) {
            uint32_t target = (Be32(data + i) & 0x03FFFFFC) - (ip + (uint32_t)i);
            data[i] = (uint8_t)(0x48 | ((target >> 24) & 3));
            data[i + 1] = (uint8_t)(target >> 16);
            data[i + 2] = (uint8_t)(target >> 8);
            data[i + 3] = (uint8_t)((data[i + 3] & 3) | target);
        }
    }
    return i;
}

/* SPARC: "call" whose 30-bit displacement fits in 23 bits (the top bits all equal). */
static size_t ConvertSparc(uint32_t *state, uint8_t *data, size_t size, uint32_t ip)
{
    size_t i;
    (void)state;
    for (i = 0; i + 4 <= size; i += 4) {
        if ((data[i] == 0x40 && (data[i + 1] & 0xC0) == 0) || (data[i] == 0x7F && (data[i + 1] & 0xC0) == 0xC0)) {
            uint32_t target = ((Be32(data + i) << 2) - (ip + (uint32_t)i)) >> 2;
            target = ((0u - ((target >> 22) & 1)) << 22 & 0x3FFFFFFF) | (target & 0x3FFFFF) | 0x40000000;
            PutBe32(data + i, target);
        }
    }
    return i;
}

/* IA-64: 16-byte bundles of three 41-bit slots; the bundle's template says which slots hold branches, and
   an IP-relative branch (opcode 5, btype 0) has a 21-bit offset in 16-byte units. */
static size_t ConvertIa64(uint32_t *state, uint8_t *data, size_t size, uint32_t ip)
{
    /* per template (5 bits), the slots (bits 0-2) that may hold a branch */
    static const uint8_t branchSlots[32] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                            4, 4, 6, 6, 0, 0, 7, 7, 4, 4, 0, 0, 4, 4, 0, 0};
    size_t i;
    (void)state;
    for (i = 0; i + 16 <= size; i += 16) {
        unsigned slot, slots = branchSlots[data[i] & 0x1F];
        for (slot = 0; slot < 3; ++slot) {
            unsigned bit = 5 + 41 * slot, j, shift = bit & 7;
            uint8_t *p = data + i + (bit >> 3);
            uint64_t raw = 0, instruction;
            if (!((slots >> slot) & 1))
                continue;
            for (j = 0; j < 6; ++j)
                raw |= (uint64_t)p[j] << (8 * j);
            instruction = raw >> shift;
            if (((instruction >> 37) & 0xF) == 5 && ((instruction >> 9) & 7) == 0) {
                uint32_t target = (uint32_t)((instruction >> 13) & 0xFFFFF) | (uint32_t)((instruction >> 36) & 1) << 20;
                target = ((target << 4) - (ip + (uint32_t)i)) >> 4;
                instruction &= ~((uint64_t)0x8FFFFF << 13);
                instruction |= (uint64_t)(target & 0xFFFFF) << 13 | (uint64_t)(target & 0x100000) << 16;
                raw = (raw & (((uint64_t)1 << shift) - 1)) | instruction << shift;
                for (j = 0; j < 6; ++j)
                    p[j] = (uint8_t)(raw >> (8 * j));
            }
        }
    }
    return i;
}

/* ARM64: BL (26-bit word offset) and ADRP (21-bit page offset, converted only within +-512 MiB). */
static size_t ConvertArm64(uint32_t *state, uint8_t *data, size_t size, uint32_t ip)
{
    size_t i;
    (void)state;
    for (i = 0; i + 4 <= size; i += 4) {
        uint32_t instruction = Le32(data + i), pc = ip + (uint32_t)i;
        if ((instruction >> 26) == 0x25) {
            PutLe32(data + i, 0x94000000u | ((instruction - (pc >> 2)) & 0x03FFFFFF));
        } else if ((instruction & 0x9F000000) == 0x90000000) {
            uint32_t page = ((instruction >> 29) & 3) | ((instruction >> 3) & 0x001FFFFC);
            if (((page + 0x00020000) & 0x001C0000) != 0)
                continue; /* outside the range the filter converts */
            page -= pc >> 12;
            instruction &= 0x9000001F;
            instruction |= (page & 3) << 29 | (page & 0x0003FFFC) << 3 | ((0u - (page & 0x00020000)) & 0x00E00000);
            PutLe32(data + i, instruction);
        }
    }
    return i;
}

/* RISC-V: JAL that links through ra or t0, whose target the encoder made absolute and stored big-endian in
   the instruction's upper 20 bits; and AUIPC followed by an instruction whose rs1 is AUIPC's rd, which the
   encoder rewrote as an AUIPC with rd = sp carrying the second instruction's low 20 bits, followed by the
   absolute address in big-endian order. A pair that merely looked like that rewritten form was swapped
   the other way by the encoder, so that any data survives the round trip, and is swapped back. */
static size_t ConvertRiscV(uint32_t *state, uint8_t *data, size_t size, uint32_t ip)
{
    size_t i = 0;
    (void)state;
    if (size < 8)
        return 0;
    while (i <= size - 8) {
        uint8_t *p = data + i;
        uint32_t pc = ip + (uint32_t)i;
        if (p[0] == 0xEF) { /* JAL */
            uint32_t target;
            if ((p[1] & 0x0D) != 0) { /* rd other than ra or t0 */
                i += 2;
                continue;
            }
            target = ((uint32_t)(p[1] & 0xF0) << 13 | (uint32_t)p[2] << 9 | (uint32_t)p[3] << 1) - pc;
            p[1] = (uint8_t)((p[1] & 0x0F) | ((target >> 8) & 0xF0));
            p[2] = (uint8_t)(((target >> 16) & 0x0F) | ((target >> 7) & 0x10) | ((target << 4) & 0xE0));
            p[3] = (uint8_t)(((target >> 4) & 0x7F) | ((target >> 13) & 0x80));
            i += 4;
        } else if ((p[0] & 0x7F) == 0x17) { /* AUIPC */
            uint32_t first = Le32(p), second = Le32(p + 4), rd = (first >> 7) & 0x1F;
            if (rd != 0 && rd != 2) {
                /* a genuine pair is never left like this by the encoder: only a swapped look-alike */
                if (((second >> 15) & 0x1F) != rd || (second & 3) != 3) {
                    i += 6;
                    continue;
                }
                PutLe32(p, 0x17 | (2u << 7) | (second << 12));
                PutLe32(p + 4, (first & 0xFFFFF000) + (second >> 20));
            } else {
                /* rd = sp (or zero): the encoded form, when the packed instruction is a 32-bit one whose
                   rs1 is a register a pair can have */
                uint32_t rs1 = first >> 27, address;
                if (rd != 2 || ((first >> 12) & 3) != 3 || rs1 == 0 || rs1 == 2) {
                    i += 4;
                    continue;
                }
                address = Be32(p + 4) - pc;
                PutLe32(p + 4, (first >> 12) | (address << 20));
                PutLe32(p, 0x17 | (rs1 << 7) | ((address + 0x800) & 0xFFFFF000));
            }
            i += 8;
        } else {
            i += 2;
        }
    }
    return i;
}

/* Undoes the filter on size bytes that start at stream position ip and returns how many of them are final;
   the rest must be offered again with more bytes after them (or are left as they are at the stream's
   end). */
typedef size_t (*SzConverter)(uint32_t *state, uint8_t *data, size_t size, uint32_t ip);

static SzConverter Converter(uint32_t method)
{
    switch (method) {
    case 0x04:
    case 0x03030103:
        return ConvertX86;
    case 0x05:
    case 0x03030205:
        return ConvertPowerPc;
    case 0x06:
    case 0x03030401:
        return ConvertIa64;
    case 0x07:
    case 0x03030501:
        return ConvertArm;
    case 0x08:
    case 0x03030701:
        return ConvertArmThumb;
    case 0x09:
    case 0x03030805:
        return ConvertSparc;
    case 0x0A:
        return ConvertArm64;
    case 0x0B:
        return ConvertRiscV;
    default:
        return NULL; /* Delta */
    }
}

/* ---- the stream of a filter coder ---- */
typedef struct FilterStream {
    SzStream base;
    SzStream *input;
    SzConverter convert; /* NULL: Delta */
    uint32_t state, ip;
    unsigned distance;   /* Delta */
    uint8_t history[256], historyPos;
    uint8_t *buffer;
    size_t pos, ready, limit; /* [pos, ready): finished; [ready, limit): waits for more input */
    int ended;
} FilterStream;

static void UndoDelta(FilterStream *f, uint8_t *data, size_t size)
{
    size_t i;
    for (i = 0; i < size; ++i) {
        uint8_t value = (uint8_t)(data[i] + f->history[(uint8_t)(f->historyPos - f->distance)]);
        data[i] = value;
        f->history[f->historyPos++] = value;
    }
}

static SzResult FilterRead(SzStream *self, uint8_t *out, size_t *size)
{
    FilterStream *f = (FilterStream *)self;
    size_t wanted = *size, given = 0;
    while (given < wanted) {
        size_t n;
        if (f->pos < f->ready) {
            n = f->ready - f->pos;
            if (n > wanted - given)
                n = wanted - given;
            memcpy(out + given, f->buffer + f->pos, n);
            f->pos += n;
            given += n;
            continue;
        }
        if (f->ended) {
            if (f->ready == f->limit)
                break;
            f->ready = f->limit; /* too short to be an instruction: it stays as it is */
            continue;
        }
        memmove(f->buffer, f->buffer + f->ready, f->limit - f->ready);
        f->limit -= f->ready;
        f->pos = f->ready = 0;
        n = SZ_BUFFER_SIZE - f->limit;
        SZ_TRY(f->input->Read(f->input, f->buffer + f->limit, &n));
        if (n == 0) {
            f->ended = 1;
            continue;
        }
        if (f->convert == NULL) {
            UndoDelta(f, f->buffer + f->limit, n);
            f->limit += n;
            f->ready = f->limit;
        } else {
            f->limit += n;
            f->ready = f->convert(&f->state, f->buffer, f->limit, f->ip);
            f->ip += (uint32_t)f->ready;
        }
    }
    *size = given;
    return UNPACK_OK;
}

SzResult SzFilter_Create(SzBlocks *blocks, const SzCoderInfo *coder, SzStream **inputs, SzStream **output)
{
    FilterStream *f = SzBlocks_Alloc(blocks, sizeof *f);
    if (f == NULL || (f->buffer = SzBlocks_Alloc(blocks, SZ_BUFFER_SIZE)) == NULL)
        return UNPACK_ERROR_MEMORY;
    f->base.Read = FilterRead;
    f->input = inputs[0];
    f->convert = Converter((uint32_t)coder->method);
    f->state = 0;
    f->ip = coder->propsSize == 4 ? Le32(coder->props) : 0; /* a start address other than 0 */
    f->distance = coder->propsSize == 1 ? coder->props[0] + 1u : 1;
    memset(f->history, 0, sizeof f->history);
    f->historyPos = 0;
    f->pos = f->ready = f->limit = 0;
    f->ended = 0;
    *output = &f->base;
    return UNPACK_OK;
}
