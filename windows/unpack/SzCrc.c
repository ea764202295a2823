/* CRC32 eight bytes at a time, with the tables made at run time (no initialised data to carry). */
#include "SzPrivate.h"

void SzCrc_Init(SzCrcTable *table)
{
    unsigned i, k;
    for (i = 0; i < 256; ++i) {
        uint32_t r = i;
        for (k = 0; k < 8; ++k)
            r = (r >> 1) ^ (0xEDB88320u & (0u - (r & 1)));
        table->t[0][i] = r;
    }
    for (i = 0; i < 256; ++i)
        for (k = 1; k < 8; ++k)
            table->t[k][i] = (table->t[k - 1][i] >> 8) ^ table->t[0][table->t[k - 1][i] & 0xFF];
}

uint32_t SzCrc_Update(const SzCrcTable *table, uint32_t crc, const void *data, size_t size)
{
    const uint8_t *p = data;
    for (; size >= 8; size -= 8, p += 8) {
        uint32_t high = (uint32_t)p[4] | (uint32_t)p[5] << 8 | (uint32_t)p[6] << 16 | (uint32_t)p[7] << 24;
        crc ^= (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
        crc = table->t[7][crc & 0xFF] ^ table->t[6][(crc >> 8) & 0xFF] ^ table->t[5][(crc >> 16) & 0xFF] ^
              table->t[4][crc >> 24] ^ table->t[3][high & 0xFF] ^ table->t[2][(high >> 8) & 0xFF] ^
              table->t[1][(high >> 16) & 0xFF] ^ table->t[0][high >> 24];
    }
    for (; size > 0; --size)
        crc = table->t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return crc;
}
