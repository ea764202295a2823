// Sizes the reader must take within bounds: dictionaries larger than the data, a file over 4 GiB.
#include "UnpackTools.h"

#include "ArchiveTools.h"

#include <lzma.h>
#include <zlib.h>

#include <gtest/gtest.h>

using namespace pwtest;

namespace {

// LZMA2 (or LZMA) data made by liblzma, in a folder whose header announces a 4 GiB dictionary.
QByteArray Compressed(lzma_vli filter, const QByteArray& data)
{
    lzma_options_lzma options{};
    lzma_lzma_preset(&options, 1);
    const lzma_filter chain[] = {{filter, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    QByteArray packed(data.size() + 4096, '\0');
    size_t size = 0;
    EXPECT_EQ(lzma_raw_buffer_encode(chain, nullptr, reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()),
                                     reinterpret_cast<uint8_t*>(packed.data()), &size, size_t(packed.size())),
              LZMA_OK);
    return packed.left(qsizetype(size));
}

TEST(UnpackMemory, TheDictionaryNeverOutgrowsTheData)
{
    QByteArray data;
    for (int i = 0; data.size() < 1500000; ++i)
        data += "registro " + QByteArray::number(i * 7919 % 100003) + (i % 5 ? ' ' : '\n');
    data += RandomBytes(200000, 6);
    HandItem lzma2{QStringLiteral("a.dat"), Compressed(LZMA_FILTER_LZMA2, data)};
    lzma2.coder = QByteArray("\x21", 1);
    lzma2.properties = QByteArray("\x28", 1);  // 4 GiB
    lzma2.unpackSize = quint64(data.size());
    lzma2.crc = Crc32(data);
    // LZMA with an end mark after the data, which liblzma writes
    HandItem lzma{QStringLiteral("b.dat"), Compressed(LZMA_FILTER_LZMA1, data)};
    lzma.coder = QByteArray("\x03\x01\x01", 3);
    lzma.properties = QByteArray("\x5D\x00\x00\x00\xF0", 5);  // lc3 lp0 pb2, 3.75 GiB
    lzma.unpackSize = quint64(data.size());
    lzma.crc = Crc32(data);
    for (const HandItem& item : {lzma2, lzma}) {
        const Extraction extraction = ExtractBytes(HandMadeArchive({item}));
        ASSERT_EQ(extraction.result, UNPACK_OK) << extraction.message.toStdString();
        EXPECT_TRUE(extraction.items.at(0).data == data);
        // the data, the decoder's tables and four 64 KiB buffers
        EXPECT_LT(extraction.peakMemory, size_t(data.size()) + 400000) << item.coder.toHex().toStdString();
    }
}

// CRC32 of `size` zero bytes, by doubling.
uLong ZeroCrc(quint64 size)
{
    uLong crc = 0, block = crc32(0, reinterpret_cast<const Bytef*>("\0"), 1);
    for (quint64 blockSize = 1; size != 0; size >>= 1, block = crc32_combine(block, block, z_off_t(blockSize)), blockSize *= 2)
        if (size & 1)
            crc = crc32_combine(crc, block, z_off_t(blockSize));
    return crc;
}

TEST(UnpackLargeFile, AFileOverFourGiBIsExtractedWhole)
{
    const quint64 size = (quint64(4) << 30) + 12345;
    const QByteArray end("END!");
    HandItem item{QStringLiteral("grande.bin")};
    item.packedSize = size;  // zeros, then "END!": a hole in the archive that takes no room
    item.crc = quint32(crc32_combine(ZeroCrc(size - 4), crc32(0, reinterpret_cast<const Bytef*>(end.constData()), 4), 4));
    const QByteArray header = HandMadeHeader({item});
    const Extraction extraction = ExtractWithHole(StartHeader(size, header), size - 4, end + header, 4);
    ASSERT_EQ(extraction.result, UNPACK_OK) << extraction.message.toStdString();
    ASSERT_EQ(extraction.items.size(), 1u);
    EXPECT_EQ(extraction.items[0].size, size);
    EXPECT_EQ(extraction.items[0].written, size);
    EXPECT_EQ(extraction.items[0].data, end);
}

}  // namespace
