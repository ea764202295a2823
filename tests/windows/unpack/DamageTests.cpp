// What the reader refuses, and how: damaged or truncated archives, unknown coders and encryption, names
// that would leave the extraction folder, impossible counts and sizes; and what it must still take: a
// file over 4 GiB, padding and properties it does not know, dictionaries larger than the data.
#include "UnpackTools.h"

#include "ArchiveTools.h"
#include "support/TempDir.h"

#include <QFile>

#include <lzma.h>
#include <zlib.h>

#include <gtest/gtest.h>


using namespace pwtest;

namespace {

QByteArray SevenZipArchive(const TempDir& dir, const QStringList& options)
{
    dir.write(QStringLiteral("p/setup.exe"), "MZ" + RandomBytes(3000, 2));
    QByteArray text;
    for (int i = 0; i < 300; ++i)
        text += "texto " + QByteArray::number(i % 17) + '\n';
    dir.write(QStringLiteral("p/leia-me.txt"), text);
    dir.write(QStringLiteral("p/sub/vazio.txt"));
    const QString archive = dir.path(QStringLiteral("a%1.7z").arg(options.join(QString()).size()));
    QFile::remove(archive);
    EXPECT_EQ(RunCommand(QStringLiteral("7z"), QStringList{QStringLiteral("a")} + options + QStringList{archive, QStringLiteral(".")},
                         dir.path(QStringLiteral("p")))
                  .exitCode,
              0);
    return ReadAll(archive);
}

bool SameItems(const Extraction& a, const Extraction& b)
{
    if (a.items.size() != b.items.size())
        return false;
    for (size_t i = 0; i < a.items.size(); ++i)
        if (a.items[i].path != b.items[i].path || a.items[i].data != b.items[i].data || a.items[i].size != b.items[i].size)
            return false;
    return true;
}

TEST(UnpackDamage, AChangedByteAnywhereIsAnErrorNeverWrongData)
{
    TempDir dir;
    for (const QStringList& options : {QStringList{QStringLiteral("-mx=0")}, QStringList{QStringLiteral("-mx=5"), QStringLiteral("-ms=off")},
                                       QStringList{QStringLiteral("-mx=9"), QStringLiteral("-ms=on")}}) {
        const QByteArray archive = SevenZipArchive(dir, options);
        const Extraction original = ExtractBytes(archive);
        ASSERT_EQ(original.result, SZ_OK);
        int errors = 0;
        for (qsizetype i = 0; i < archive.size(); ++i) {
            QByteArray damaged = archive;
            damaged[i] = char(damaged[i] ^ (1 << (i % 8)));
            const Extraction extraction = ExtractBytes(damaged);
            if (extraction.result != SZ_OK) {
                ++errors;
                EXPECT_FALSE(extraction.message.isEmpty());
            } else {
                EXPECT_TRUE(SameItems(extraction, original)) << "byte " << i << " of " << options.join(' ').toStdString();
            }
        }
        // a few bits carry nothing (the version's minor number, a range coder's last bits)
        EXPECT_GT(errors, archive.size() * 97 / 100) << options.join(' ').toStdString();
    }
}

TEST(UnpackDamage, ATruncatedArchiveIsAlwaysAnError)
{
    TempDir dir;
    const QByteArray archive = SevenZipArchive(dir, {QStringLiteral("-mx=5")});
    for (qsizetype size = 0; size < archive.size(); size += size < 64 ? 1 : 7) {
        const Extraction extraction = ExtractBytes(archive.left(size));
        EXPECT_NE(extraction.result, SZ_OK) << size;
        EXPECT_EQ(extraction.result, size < 32 ? SZ_ERROR_SIGNATURE : SZ_ERROR_TRUNCATED) << size;
    }
}

TEST(UnpackDamage, UnknownCodersAndEncryptionAreNamedInTheMessage)
{
    TempDir dir;
    const struct {
        QStringList options;
        const char* message;
    } cases[] = {
        {{QStringLiteral("-m0=PPMd")}, "unknown coder 030401 in folder 0"},
        {{QStringLiteral("-m0=BZip2")}, "unknown coder 040202 in folder 0"},
        {{QStringLiteral("-pSegredo")}, "encrypted data (coder 06F10701) in folder 0"},
        // the header itself encrypted: refused while the header's own folder is read
        {{QStringLiteral("-pSegredo"), QStringLiteral("-mhe=on")}, "encrypted data (coder 06F10701) in folder 0"},
    };
    for (const auto& c : cases) {
        const Extraction extraction = ExtractBytes(SevenZipArchive(dir, c.options));
        EXPECT_EQ(extraction.result, SZ_ERROR_UNSUPPORTED);
        EXPECT_EQ(extraction.message, QString::fromLatin1(c.message));
        EXPECT_TRUE(extraction.items.empty());
    }
    HandItem item{QStringLiteral("a.bin"), "xyz"};
    item.coder = QByteArray("\x3F\x01\x02\x03\x04\x05\x06\x07", 8);
    const Extraction extraction = ExtractBytes(HandMadeArchive({item}));
    EXPECT_EQ(extraction.result, SZ_ERROR_UNSUPPORTED);
    EXPECT_EQ(extraction.message, QStringLiteral("unknown coder 3F01020304050607 in folder 0"));
}

TEST(UnpackNames, NamesThatLeaveTheFolderAreRefused)
{
    const char16_t* const unsafe[] = {u"../evil.exe", u"a/../../evil.exe", u"C:evil.exe", u"C:/Windows/evil.exe",
                                      u"/etc/evil", u"\\\\server\\share\\evil", u"a//b", u"./a", u"a/.", u"a/ ../b",
                                      u"a/.. /b", u"...\\b", u"a\u0001b", u"", u"a/", u"file.txt:stream"};
    for (const char16_t* name : unsafe) {
        const Extraction extraction = ExtractBytes(HandMadeArchive({{QString::fromUtf16(name), "data"}}));
        EXPECT_EQ(extraction.result, SZ_ERROR_NAME) << QString::fromUtf16(name).toStdString();
        EXPECT_TRUE(extraction.message.startsWith(QLatin1String("unsafe item name: ")));
        EXPECT_TRUE(extraction.items.empty());
    }
    // The refusal shows the name as the archive stores it, whatever separators it uses.
    for (const char* name : {"a/b/../c", "a\\b/./c", "dir/sub/C:x"}) {
        const Extraction extraction = ExtractBytes(HandMadeArchive({{QString::fromLatin1(name), "data"}}));
        EXPECT_EQ(extraction.message, QLatin1String("unsafe item name: ") + QLatin1String(name));
    }
    const Extraction fine = ExtractBytes(HandMadeArchive(
        {{QStringLiteral("a/b c/..d.txt"), "1"}, {QStringLiteral("x\\y.z."), "2"}, {QStringLiteral("\U0001D11E/\u00E7"), "3"}}));
    ASSERT_EQ(fine.result, SZ_OK) << fine.message.toStdString();
    ASSERT_EQ(fine.items.size(), 3u);
    EXPECT_EQ(fine.items[0].path, QStringLiteral("a\\b c\\..d.txt"));
    EXPECT_EQ(fine.items[1].path, QStringLiteral("x\\y.z."));
    EXPECT_EQ(fine.items[2].path, QStringLiteral("\U0001D11E\\\u00E7"));
}

TEST(UnpackDamage, AFileWithoutAChecksumIsRefusedBeforeAnythingIsWritten)
{
    // Our writer gives every file a CRC: data without one could be damaged and nobody would know.
    HandItem checked{QStringLiteral("first.txt"), "checked"};
    HandItem unchecked{QStringLiteral("dir/setup.exe"), "MZ damaged or not"};
    unchecked.crc = 0xFFFFFFFFu;
    const Extraction extraction = ExtractBytes(HandMadeArchive({checked, unchecked}));
    EXPECT_EQ(extraction.result, SZ_ERROR_CRC);
    EXPECT_EQ(extraction.message, QStringLiteral("no checksum for dir\\setup.exe"));
    EXPECT_TRUE(extraction.items.empty());
}

TEST(UnpackHeader, UnknownPropertiesAndPaddingAreSkippedAndAntiItemsLeftOut)
{
    std::vector<HandItem> items(4);
    items[0] = {QStringLiteral("dir")};
    items[0].directory = true;
    items[0].attributes = 0x10;
    items[1] = {QStringLiteral("gone.txt")};
    items[1].anti = true;
    items[2] = {QStringLiteral("dir/a.txt"), "contents"};
    items[2].modified = 133000000000000000ull;
    items[2].attributes = 0x21;
    items[3] = {QStringLiteral("empty.txt")};
    items[3].emptyFile = true;
    const QByteArray padding = QByteArray("\x19\x05", 2) + QByteArray(5, '\0') + QByteArray("\x30\x02\xAA\xBB", 4);
    const Extraction extraction = ExtractBytes(HandMadeArchive(items, padding));
    ASSERT_EQ(extraction.result, SZ_OK) << extraction.message.toStdString();
    ASSERT_EQ(extraction.items.size(), 3u);
    EXPECT_TRUE(extraction.items[0].directory);
    EXPECT_EQ(extraction.items[0].attributes, 0x10u);
    EXPECT_EQ(extraction.items[1].path, QStringLiteral("dir\\a.txt"));
    EXPECT_EQ(extraction.items[1].data, QByteArray("contents"));
    EXPECT_EQ(extraction.items[1].modified, 133000000000000000ull);
    EXPECT_EQ(extraction.items[1].attributes, 0x21u);
    EXPECT_FALSE(extraction.items[2].directory);
    EXPECT_EQ(extraction.items[2].size, 0u);
    EXPECT_FALSE(extraction.items[2].modified.has_value());

    const QByteArray nothing = StartHeader(0, {});  // an archive of no items has no header at all
    EXPECT_EQ(ExtractBytes(nothing).result, SZ_OK);
}

TEST(UnpackHeader, ImpossibleCountsAndSizesAreRefusedBeforeMemoryIsAskedFor)
{
    const size_t limit = 1 << 20;
    // two billion items in a header of a few bytes
    QByteArray header = QByteArray("\x01\x05\xF0\x7F\xFF\xFF\xF0", 7) + QByteArray(8, '\0');
    EXPECT_EQ(ExtractBytes(StartHeader(0, header) + header, limit).result, SZ_ERROR_DATA);
    // a terabyte from ten bytes, stored or compressed
    HandItem stored{QStringLiteral("big"), "0123456789"};
    stored.unpackSize = quint64(1) << 40;
    EXPECT_EQ(ExtractBytes(HandMadeArchive({stored}), limit).result, SZ_ERROR_DATA);
    HandItem packed = stored;
    packed.coder = QByteArray("\x21", 1);
    packed.properties = QByteArray("\x10", 1);
    EXPECT_EQ(ExtractBytes(HandMadeArchive({packed}), limit).result, SZ_ERROR_DATA);
}

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
        ASSERT_EQ(extraction.result, SZ_OK) << extraction.message.toStdString();
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
    ASSERT_EQ(extraction.result, SZ_OK) << extraction.message.toStdString();
    ASSERT_EQ(extraction.items.size(), 1u);
    EXPECT_EQ(extraction.items[0].size, size);
    EXPECT_EQ(extraction.items[0].written, size);
    EXPECT_EQ(extraction.items[0].data, end);
}

}  // namespace
