/* The 7z header's numbers, bit vectors and digests, read with a check of every length against the bytes
   left. */
#include "SzHeaderRead.h"

size_t SzRead_Left(const SzReader *r)
{
    return (size_t)(r->end - r->p);
}

SzResult SzRead_Byte(SzReader *r, uint8_t *value)
{
    if (r->p == r->end)
        return UNPACK_ERROR_DATA;
    *value = *r->p++;
    return UNPACK_OK;
}

SzResult SzRead_Skip(SzReader *r, uint64_t size)
{
    if (size > SzRead_Left(r))
        return UNPACK_ERROR_DATA;
    r->p += (size_t)size;
    return UNPACK_OK;
}

SzResult SzRead_Fixed(SzReader *r, unsigned bytes, uint64_t *value)
{
    unsigned i;
    if (SzRead_Left(r) < bytes)
        return UNPACK_ERROR_DATA;
    *value = 0;
    for (i = 0; i < bytes; ++i)
        *value |= (uint64_t)*r->p++ << (8 * i);
    return UNPACK_OK;
}

/* The 7z variable-length number: the count of leading 1 bits of the first byte says how many bytes follow
   (little-endian); the first byte's remaining bits are the top ones. */
SzResult SzRead_Number(SzReader *r, uint64_t *value)
{
    uint8_t first, mask = 0x80;
    unsigned extra = 0;
    uint64_t low;
    SZ_TRY(SzRead_Byte(r, &first));
    while (extra < 8 && (first & mask)) {
        ++extra;
        mask >>= 1;
    }
    SZ_TRY(SzRead_Fixed(r, extra, &low));
    *value = extra == 8 ? low : low | (uint64_t)(first & (mask - 1)) << (8 * extra);
    return UNPACK_OK;
}

/* A count of things that each take at least one byte of what is left. */
SzResult SzRead_Count(SzReader *r, uint32_t *count)
{
    uint64_t value;
    SZ_TRY(SzRead_Number(r, &value));
    if (value > SzRead_Left(r) || value > 0x7FFFFFFF)
        return UNPACK_ERROR_DATA;
    *count = (uint32_t)value;
    return UNPACK_OK;
}

SzResult SzRead_SkipProperty(SzReader *r)
{
    uint64_t size;
    SZ_TRY(SzRead_Number(r, &size));
    return SzRead_Skip(r, size);
}

SzResult SzRead_Expect(SzReader *r, uint8_t id)
{
    uint8_t value;
    SZ_TRY(SzRead_Byte(r, &value));
    return value == id ? UNPACK_OK : UNPACK_ERROR_DATA;
}

SzResult SzRead_Bits(SzReader *r, uint32_t count, const uint8_t **bits)
{
    *bits = r->p;
    return SzRead_Skip(r, ((uint64_t)count + 7) / 8);
}

/* "all defined" byte, then a bit vector when not all are */
SzResult SzRead_Defined(SzReader *r, uint32_t count, const uint8_t **bits, uint32_t *defined)
{
    uint8_t all;
    uint32_t i;
    SZ_TRY(SzRead_Byte(r, &all));
    *bits = NULL;
    if (!all)
        SZ_TRY(SzRead_Bits(r, count, bits));
    for (*defined = 0, i = 0; i < count; ++i)
        *defined += (uint32_t)SzRead_Bit(*bits, i);
    return UNPACK_OK;
}

/* CRCs for count streams; crcs/hasCrc may be NULL to only check and skip them. */
SzResult SzRead_Digests(SzReader *r, uint32_t count, uint32_t *crcs, uint8_t *hasCrc)
{
    const uint8_t *bits;
    uint32_t defined, i;
    SZ_TRY(SzRead_Defined(r, count, &bits, &defined));
    if ((uint64_t)defined * 4 > SzRead_Left(r))
        return UNPACK_ERROR_DATA;
    for (i = 0; i < count; ++i) {
        uint64_t crc = 0;
        if (SzRead_Bit(bits, i))
            SZ_TRY(SzRead_Fixed(r, 4, &crc));
        if (crcs != NULL) {
            crcs[i] = (uint32_t)crc;
            hasCrc[i] = (uint8_t)SzRead_Bit(bits, i);
        }
    }
    return UNPACK_OK;
}

void *SzArchive_Allocate(SzArchive *a, uint64_t count, size_t size)
{
    if (count == 0)
        count = 1;
    if (count > (size_t)-1 / size)
        return NULL;
    return a->host.Alloc(a->host.context, (size_t)count * size);
}
