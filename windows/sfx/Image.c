#include "Image.h"

static uint32_t Read16(const uint8_t *p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8;
}

static uint32_t Read32(const uint8_t *p)
{
    return Read16(p) | Read16(p + 2) << 16;
}

int SfxImage_End(const uint8_t *head, size_t headSize, uint64_t fileSize, uint64_t *end)
{
    if (headSize < 0x40 || head[0] != 'M' || head[1] != 'Z')
        return 0;
    uint32_t pe = Read32(head + 0x3C);
    if (pe > headSize - 24 || Read32(head + pe) != 0x4550) /* "PE\0\0" */
        return 0;
    uint32_t sections = Read16(head + pe + 6);
    uint64_t table = (uint64_t)pe + 24 + Read16(head + pe + 20);
    if (sections == 0 || table + (uint64_t)sections * 40 > headSize)
        return 0;
    uint64_t last = 0;
    for (uint32_t i = 0; i < sections; ++i) {
        const uint8_t *section = head + table + (uint64_t)i * 40;
        uint32_t size = Read32(section + 16), offset = Read32(section + 20);
        if (size && (uint64_t)offset + size > last)
            last = (uint64_t)offset + size;
    }
    if (last == 0 || last > fileSize)
        return 0;
    *end = last;
    return 1;
}
