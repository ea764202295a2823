// What the reader takes from an archive's header and what it refuses there: names that would leave the
// extraction folder, impossible counts and sizes; padding and properties it does not know are skipped.
#include "UnpackTools.h"

#include <gtest/gtest.h>

using namespace pwtest;

namespace {

TEST(UnpackNames, NamesThatLeaveTheFolderAreRefused)
{
    const char16_t* const unsafe[] = {u"../evil.exe", u"a/../../evil.exe", u"C:evil.exe", u"C:/Windows/evil.exe",
                                      u"/etc/evil", u"\\\\server\\share\\evil", u"a//b", u"./a", u"a/.", u"a/ ../b",
                                      u"a/.. /b", u"...\\b", u"a\u0001b", u"", u"a/", u"file.txt:stream"};
    for (const char16_t* name : unsafe) {
        const Extraction extraction = ExtractBytes(HandMadeArchive({{QString::fromUtf16(name), "data"}}));
        EXPECT_EQ(extraction.result, UNPACK_ERROR_NAME) << QString::fromUtf16(name).toStdString();
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
    ASSERT_EQ(fine.result, UNPACK_OK) << fine.message.toStdString();
    ASSERT_EQ(fine.items.size(), 3u);
    EXPECT_EQ(fine.items[0].path, QStringLiteral("a\\b c\\..d.txt"));
    EXPECT_EQ(fine.items[1].path, QStringLiteral("x\\y.z."));
    EXPECT_EQ(fine.items[2].path, QStringLiteral("\U0001D11E\\\u00E7"));
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
    ASSERT_EQ(extraction.result, UNPACK_OK) << extraction.message.toStdString();
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
    EXPECT_EQ(ExtractBytes(nothing).result, UNPACK_OK);
}

TEST(UnpackHeader, ImpossibleCountsAndSizesAreRefusedBeforeMemoryIsAskedFor)
{
    const size_t limit = 1 << 20;
    // two billion items in a header of a few bytes
    QByteArray header = QByteArray("\x01\x05\xF0\x7F\xFF\xFF\xF0", 7) + QByteArray(8, '\0');
    EXPECT_EQ(ExtractBytes(StartHeader(0, header) + header, limit).result, UNPACK_ERROR_DATA);
    // a terabyte from ten bytes, stored or compressed
    HandItem stored{QStringLiteral("big"), "0123456789"};
    stored.unpackSize = quint64(1) << 40;
    EXPECT_EQ(ExtractBytes(HandMadeArchive({stored}), limit).result, UNPACK_ERROR_DATA);
    HandItem packed = stored;
    packed.coder = QByteArray("\x21", 1);
    packed.properties = QByteArray("\x10", 1);
    EXPECT_EQ(ExtractBytes(HandMadeArchive({packed}), limit).result, UNPACK_ERROR_DATA);
}

}  // namespace
