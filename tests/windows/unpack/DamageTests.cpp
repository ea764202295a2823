// What the reader refuses, and how: damaged or truncated archives, unknown coders and encryption, files
// without a checksum. None of them is ever extracted in part or as wrong data.
#include "UnpackTools.h"

#include "ArchiveTools.h"
#include "support/TempDir.h"

#include <QFile>

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
        ASSERT_EQ(original.result, UNPACK_OK);
        int errors = 0;
        for (qsizetype i = 0; i < archive.size(); ++i) {
            QByteArray damaged = archive;
            damaged[i] = char(damaged[i] ^ (1 << (i % 8)));
            const Extraction extraction = ExtractBytes(damaged);
            if (extraction.result != UNPACK_OK) {
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
        EXPECT_NE(extraction.result, UNPACK_OK) << size;
        EXPECT_EQ(extraction.result, size < 32 ? UNPACK_ERROR_SIGNATURE : UNPACK_ERROR_TRUNCATED) << size;
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
        EXPECT_EQ(extraction.result, UNPACK_ERROR_UNSUPPORTED);
        EXPECT_EQ(extraction.message, QString::fromLatin1(c.message));
        EXPECT_TRUE(extraction.items.empty());
    }
    HandItem item{QStringLiteral("a.bin"), "xyz"};
    item.coder = QByteArray("\x3F\x01\x02\x03\x04\x05\x06\x07", 8);
    const Extraction extraction = ExtractBytes(HandMadeArchive({item}));
    EXPECT_EQ(extraction.result, UNPACK_ERROR_UNSUPPORTED);
    EXPECT_EQ(extraction.message, QStringLiteral("unknown coder 3F01020304050607 in folder 0"));
}

TEST(UnpackDamage, AFileWithoutAChecksumIsRefusedBeforeAnythingIsWritten)
{
    // Our writer gives every file a CRC: data without one could be damaged and nobody would know.
    HandItem checked{QStringLiteral("first.txt"), "checked"};
    HandItem unchecked{QStringLiteral("dir/setup.exe"), "MZ damaged or not"};
    unchecked.crc = 0xFFFFFFFFu;
    const Extraction extraction = ExtractBytes(HandMadeArchive({checked, unchecked}));
    EXPECT_EQ(extraction.result, UNPACK_ERROR_CRC);
    EXPECT_EQ(extraction.message, QStringLiteral("no checksum for dir\\setup.exe"));
    EXPECT_TRUE(extraction.items.empty());
}

}  // namespace
