// The output stream's single-file, stub and volume modes, and the input stream, driven directly.
#include "archive/sevenzip/StreamReader.h"
#include "archive/sevenzip/StreamWriter.h"
#include "platform/Errors.h"
#include "support/TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cerrno>

using namespace pw;
using pwtest::Exists;
using pwtest::ReadAll;

namespace {

class SevenZipWriter : public ::testing::Test {
protected:
    ComPtr<TMyStreamWriter> Open(std::uint32_t volumeSize, bool append = false)
    {
        return TMyStreamWriter::Open({archive, QDateTime::currentDateTime(), 0x20, volumeSize, append, &sink});
    }
    static HRESULT Write(const ComPtr<TMyStreamWriter>& w, const QByteArray& bytes, std::uint32_t* counted = nullptr)
    {
        return w->Write(bytes.constData(), std::uint32_t(bytes.size()), counted);
    }

    pwtest::TempDir dir;
    QString archive = dir.path(QStringLiteral("out.7z"));
    std::atomic<qint32> sink{0};
};

TEST_F(SevenZipWriter, VolumesTakeAWriteAcrossFilesAndARewriteTouchesOnlyItsFile)
{
    const QByteArray data = QByteArray(100, 'a') + QByteArray(100, 'b') + QByteArray(50, 'c');
    {
        auto writer = Open(100);
        std::uint32_t counted = 0;
        EXPECT_EQ(Write(writer, data, &counted), S_OK);
        EXPECT_EQ(counted, 250u);
        std::uint64_t position = 1;
        EXPECT_EQ(writer->Seek(0, 0, &position), S_OK);
        EXPECT_EQ(position, 0u);
        EXPECT_EQ(Write(writer, QByteArray(32, 'z')), S_OK);
        EXPECT_EQ(writer->FileNames(), QStringList({archive + ".001", archive + ".002", archive + ".003"}));
    }
    EXPECT_EQ(ReadAll(archive + ".001"), QByteArray(32, 'z') + QByteArray(68, 'a'));
    EXPECT_EQ(ReadAll(archive + ".002"), QByteArray(100, 'b'));
    EXPECT_EQ(ReadAll(archive + ".003"), QByteArray(50, 'c'));
    EXPECT_FALSE(Exists(archive));
    EXPECT_EQ(sink, 0);
}

TEST_F(SevenZipWriter, AWriteEndingOnABoundaryOpensNoFurtherVolume)
{
    {
        auto writer = Open(100);
        EXPECT_EQ(Write(writer, QByteArray(150, 'x')), S_OK);
        EXPECT_EQ(Write(writer, QByteArray(50, 'y')), S_OK);
        EXPECT_EQ(Write(writer, QByteArray()), S_OK);
    }
    EXPECT_TRUE(Exists(archive + ".002"));
    EXPECT_FALSE(Exists(archive + ".003"));
}

TEST_F(SevenZipWriter, AppendModeContinuesTheStubAndSeeksAddressTheWholeFile)
{
    const QByteArray stub = QByteArray(1000, 's');
    dir.write(QStringLiteral("out.7z"), stub);
    {
        auto writer = Open(0, true);
        std::uint64_t start = 0;
        EXPECT_EQ(writer->Seek(0, 1, &start), S_OK);
        EXPECT_EQ(start, 1000u);
        EXPECT_EQ(Write(writer, "archive"), S_OK);
        EXPECT_EQ(writer->Seek(0, 0, nullptr), S_OK);
        EXPECT_EQ(Write(writer, "S"), S_OK);
    }
    EXPECT_EQ(ReadAll(archive), "S" + stub.mid(1) + "archive");
}

TEST_F(SevenZipWriter, AppendModeWithVolumesKeepsTheStubFileFirstAndNumbersFromTwo)
{
    dir.write(QStringLiteral("out.7z"), QByteArray(60, 's'));
    {
        auto writer = Open(100, true);
        EXPECT_EQ(Write(writer, QByteArray(90, 'd')), S_OK);
        EXPECT_EQ(writer->FileNames(), QStringList({archive, archive + ".002"}));
    }
    EXPECT_EQ(ReadAll(archive), QByteArray(60, 's') + QByteArray(40, 'd'));
    EXPECT_EQ(ReadAll(archive + ".002"), QByteArray(50, 'd'));
}

TEST_F(SevenZipWriter, AStubThatIsMissingEndsSilentlyWithItsError)
{
    EXPECT_THROW(Open(0, true), SilentAbort);
    EXPECT_EQ(sink, ENOENT);
    EXPECT_FALSE(Exists(archive));
}

TEST_F(SevenZipWriter, ANegativeVolumeSizeIsAVolumeOfOver2GiB)
{
    {
        auto writer = Open(std::uint32_t(qint32(-1)));
        EXPECT_EQ(Write(writer, QByteArray(10, 'x')), S_OK);
    }
    EXPECT_EQ(ReadAll(archive + ".001").size(), 10);
    EXPECT_FALSE(Exists(archive + ".002"));
}

TEST_F(SevenZipWriter, SeekingPastTheEndGrowsOnlyTheLogicalSize)
{
    {
        auto writer = Open(0);
        EXPECT_EQ(Write(writer, "12345"), S_OK);
        std::uint64_t position = 0;
        EXPECT_EQ(writer->Seek(100, 1, &position), S_OK);
        EXPECT_EQ(position, 105u);
        EXPECT_EQ(writer->Seek(-5, 2, &position), S_OK);
        EXPECT_EQ(position, 100u);
        EXPECT_EQ(writer->Seek(-200, 1, &position), E_NEGATIVE_SEEK);
    }
    EXPECT_EQ(ReadAll(archive), QByteArray("12345"));
}

TEST_F(SevenZipWriter, ArchiveThatCannotBeCreatedEndsSilentlyWithItsError)
{
    archive = dir.path(QStringLiteral("missing/out.7z"));
    EXPECT_THROW(Open(0), SilentAbort);
    EXPECT_EQ(sink, ENOENT);
}

TEST_F(SevenZipWriter, AVolumeThatCannotBeCreatedFailsThatWriteAndEveryLaterOne)
{
    dir.mkdir(QStringLiteral("out.7z.002"));
    {
        auto writer = Open(100);
        std::uint32_t counted = 7;
        EXPECT_EQ(Write(writer, QByteArray(150, 'x'), &counted), S_FALSE);
        EXPECT_EQ(counted, 0u);
        EXPECT_EQ(Write(writer, QByteArray(10, 'y'), &counted), S_FALSE);
        EXPECT_EQ(sink, 0);  // delivered when the stream goes
    }
    EXPECT_EQ(sink, EISDIR);
}

TEST(SevenZipReader, AnEmptyFileHasNoSizeAndNoEnd)
{
    pwtest::TempDir dir;
    ComPtr<TMyStreamReader> reader(new TMyStreamReader(dir.write(QStringLiteral("empty")), nullptr));
    std::uint64_t size = 77;
    EXPECT_EQ(reader->GetSize(&size), S_FALSE);
    EXPECT_EQ(size, 77u);
    std::uint64_t position = 5;
    EXPECT_EQ(reader->Seek(0, 2, &position), S_FALSE);
    EXPECT_EQ(position, 0u);
    char buffer[8];
    std::uint32_t read = 9;
    EXPECT_EQ(reader->Read(buffer, sizeof buffer, &read), S_OK);
    EXPECT_EQ(read, 0u);
}

TEST(SevenZipReader, ReadsFollowSeeksAndDeliverNothingBeyondTheEnd)
{
    pwtest::TempDir dir;
    ComPtr<TMyStreamReader> reader(new TMyStreamReader(dir.write(QStringLiteral("f"), "0123456789"), nullptr));
    std::uint64_t size = 0;
    EXPECT_EQ(reader->GetSize(&size), S_OK);
    EXPECT_EQ(size, 10u);
    char buffer[4] = {};
    std::uint32_t read = 0;
    EXPECT_EQ(reader->Seek(-3, 2, nullptr), S_OK);
    EXPECT_EQ(reader->Read(buffer, 4, &read), S_OK);
    EXPECT_EQ(QByteArray(buffer, int(read)), QByteArray("789"));
    EXPECT_EQ(reader->Seek(50, 0, nullptr), S_OK);
    EXPECT_EQ(reader->Read(buffer, 4, &read), S_OK);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(reader->Seek(-100, 1, nullptr), E_NEGATIVE_SEEK);
}

TEST(SevenZipReader, AFileThatCannotBeOpenedReadsAsEmptyAndReportsItselfWhenReleased)
{
    pwtest::TempDir dir;
    qint32 sink = 0;
    QString unread;
    {
        ComPtr<TMyStreamReader> reader(new TMyStreamReader(dir.path(QStringLiteral("gone")),
                                                           [&](const QString& file, qint32 error) {
                                                               unread = file;
                                                               sink = error;
                                                           }));
        char buffer[4];
        std::uint32_t read = 1;
        EXPECT_EQ(reader->Read(buffer, 4, &read), S_OK);
        EXPECT_EQ(read, 0u);
        EXPECT_EQ(sink, 0);
    }
    EXPECT_EQ(sink, ENOENT);
    EXPECT_EQ(unread, dir.path(QStringLiteral("gone")));
}

}  // namespace
