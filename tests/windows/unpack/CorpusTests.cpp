// Archives of every kind of content, written by 7-Zip's own program and by our writer at each level,
// extracted by the self-extractor's reader and compared with the folder they were made from: contents,
// names, empty files and folders, modification times.
#include "UnpackTools.h"

#include "ArchiveTools.h"
#include "archive/sevenzip/SevenZip.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pwtest;

namespace {

TEST(UnpackCorpus, EveryMethodThatSevenZipChoosesExtractsTheFolderUnchanged)
{
    TempDir dir;
    const QString corpus = MakeMethodCorpus(dir.path());
    const auto expected = ReadTreeWithTimes(corpus);
    std::set<QString> methods;
    for (int level : {0, 3, 5, 7, 9}) {
        const QString archive = dir.path(QStringLiteral("7z%1.7z").arg(level));
        ASSERT_TRUE(ReferenceArchive(corpus, level, archive));
        const QString out = dir.path(QStringLiteral("out%1").arg(level));
        const Extraction extraction = ExtractFile(archive, out);
        ASSERT_EQ(extraction.result, UNPACK_OK) << "level " << level << ": " << extraction.message.toStdString();
        EXPECT_EQ(ReadTreeWithTimes(out), expected) << "level " << level;
        methods.merge(ListedMethods(archive));
    }
    const std::set<QString> everyOne{"ARM", "ARM64", "ARMT", "BCJ", "BCJ2", "Copy", "Delta", "IA64", "LZMA", "LZMA2",
                                     "PPC", "SPARC"};
    EXPECT_EQ(methods, everyOne);
}

class OurWriterLevel : public ::testing::TestWithParam<int> {};

TEST_P(OurWriterLevel, ExtractsTheFolderUnchanged)
{
    TempDir dir;
    const QString corpus = MakeMethodCorpus(dir.path());
    const QString archive = dir.path(QStringLiteral("ours.7z"));
    pw::TSevenZip writer;
    writer.AddOptions = {pw::AddRecurseDirs};
    writer.FileList.Append(corpus + QStringLiteral("/*.*"));
    writer.AddRootDir = corpus;
    writer.SZFileName = archive;
    writer.LZMACompressStrength = pw::TCompressStrength(GetParam());
    ASSERT_EQ(writer.Add(), 0);
    const Extraction extraction = ExtractFile(archive, dir.path(QStringLiteral("out")));
    ASSERT_EQ(extraction.result, UNPACK_OK) << extraction.message.toStdString();
    EXPECT_EQ(ReadTreeWithTimes(dir.path(QStringLiteral("out"))), ReadTreeWithTimes(corpus));
    const std::set<QString> methods = ListedMethods(archive);
    EXPECT_EQ(methods.count(QStringLiteral("Copy")), GetParam() == 0 ? 1u : 0u);
    EXPECT_EQ(methods.count(QStringLiteral("BCJ2")), GetParam() == 4 ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Levels, OurWriterLevel, ::testing::Values(0, 1, 2, 3, 4));

TEST(UnpackCorpus, ItemsCarryWindowsAttributesWithoutThePosixMode)
{
    TempDir dir;
    dir.write(QStringLiteral("p/a.txt"), "a");
    dir.mkdir(QStringLiteral("p/sub"));
    const QString archive = dir.path(QStringLiteral("a.7z"));
    ASSERT_TRUE(ReferenceArchive(dir.path(QStringLiteral("p")), 5, archive));  // stores 0x8000 | mode << 16
    const Extraction extraction = ExtractBytes(ReadAll(archive));
    ASSERT_EQ(extraction.result, UNPACK_OK);
    ASSERT_EQ(extraction.items.size(), 2u);
    for (const RecordedItem& item : extraction.items)
        EXPECT_EQ(item.attributes, item.directory ? 0x10u : 0x20u) << item.path.toStdString();
}

// The real module, whose code holds the block's markers and may hold the archive's signature too: the
// archive is found where the module itself looks for it, after its image and the block.
TEST(UnpackCorpus, ASelfExtractorIsReadFromAfterItsConfigurationBlock)
{
    TempDir dir;
    dir.write(QStringLiteral("p/setup.exe"), RandomBytes(5000, 4));
    const QString archive = dir.path(QStringLiteral("a.7z"));
    ASSERT_TRUE(ReferenceArchive(dir.path(QStringLiteral("p")), 5, archive));
    const QByteArray module = ReadAll(QStringLiteral(PW_SFX_MODULE));
    ASSERT_TRUE(module.contains(";!@InstallEnd@!")) << "the module no longer shows the case this test is for";
    const QByteArray block = ";!@Install@!UTF-8!\n\rRunProgram=\"setup.exe\"\n\r;!@InstallEnd@!";
    const QString sfx = dir.write(QStringLiteral("setup-sfx.exe"), module + block + ReadAll(archive));
    const Extraction extraction = ExtractFile(sfx, dir.path(QStringLiteral("out")));
    ASSERT_EQ(extraction.result, UNPACK_OK) << extraction.message.toStdString();
    EXPECT_EQ(ReadAll(dir.path(QStringLiteral("out/setup.exe"))), RandomBytes(5000, 4));
}

}  // namespace
