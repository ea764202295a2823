// The cabinet writer: what it puts in a cabinet, checked by the independent decoders, and its rules.
#include "archive/cabinet/ESTCabinet.h"
#include "archive/cabinet/TSTCabWriter.h"
#include "platform/cabinet/CabFormat.h"

#include "support/CabinetDecoders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace pw;
using pwtest::Decoder;
using pwtest::FileTree;

QByteArray RandomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    for (qsizetype i = size / 4 * 4; i < size; ++i)
        bytes[i] = char(generator.generate());
    return bytes;
}

QByteArray TextLike(qsizetype size)
{
    QByteArray text;
    for (int line = 0; text.size() < size; ++line)
        text += "line " + QByteArray::number(line) + ": the quick brown fox jumps over the lazy dog\r\n";
    return text.left(size);
}

// What "seq FIRST LAST" prints.
QByteArray Numbers(int first, int last)
{
    QByteArray text;
    for (int n = first; n <= last; ++n)
        text += QByteArray::number(n) + '\n';
    return text;
}

void WriteTree(const pwtest::TempDir& dir, const QString& root, const FileTree& tree)
{
    for (auto it = tree.begin(); it != tree.end(); ++it)
        dir.write(root + QLatin1Char('/') + it.key(), it.value());
}

FileTree Prefixed(const QString& prefix, const FileTree& tree)
{
    FileTree out;
    for (auto it = tree.begin(); it != tree.end(); ++it)
        out.insert(prefix + it.key(), it.value());
    return out;
}

ESTCabinet CabinetErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ESTCabinet& e) {
        return e;
    }
    ADD_FAILURE() << "no ESTCabinet raised";
    return ESTCabinet(ERF{});
}

class CabWriterKinds : public ::testing::TestWithParam<TSTCabCompressionType> {};

TEST_P(CabWriterKinds, TreesComeOutByteForByte)
{
    PW_SKIP_WITHOUT_DECODERS();
    pwtest::TempDir dir;
    FileTree tree{
        {"readme.txt", TextLike(300000)},
        {"empty.dat", ""},
        {"exact-block.bin", RandomBytes(32768, 1)},
        {"noise.bin", RandomBytes(200001, 2)},  // does not compress: stored deflate blocks
        {QString::fromUtf8("caf\xc3\xa9/na\xc3\xafve \xc3\xbc.txt"), "utf-8 name"},
        {"a/b/c/d/e/f/g/h/i/j/deep.txt", "deep"},
        {"sub/.hidden", "dot file"},
        {"numbers.txt", Numbers(1, 20000)},  // a few letters: blocks of literals alone
    };
    WriteTree(dir, "src", tree);
    TSTCabWriter writer;
    writer.SetCompressionType(GetParam());
    writer.OpenCabinet(dir.path("out/x.cab"));
    writer.AddFiles(dir.path("src/*"), "svcpack", true);
    writer.CloseCabinet(true);
    EXPECT_TRUE(pwtest::DecodersExtract(dir.path("out/x.cab"), Prefixed("svcpack/", tree)));
    const pwtest::ToolRun listing = pwtest::RunTool("7z", {"l", "-slt", dir.path("out/x.cab")});
    EXPECT_TRUE(listing.output.contains(GetParam() == TSTCabCompressionType::cctNone ? "Method = None"
                                                                                     : "Method = MSZip"));
}

TEST_P(CabWriterKinds, ThousandsOfSmallFiles)
{
    PW_SKIP_WITHOUT_DECODERS();
    const QTemporaryDir dir(pwtest::FastScratchRoot() + "/pw-thousands-XXXXXX");
    FileTree tree;
    for (int i = 0; i < 3000; ++i)
        tree.insert(QStringLiteral("d%1/f%2.txt").arg(i % 40).arg(i), TextLike(i % 700));
    for (auto it = tree.begin(); it != tree.end(); ++it) {
        QDir().mkpath(QFileInfo(dir.filePath("src/" + it.key())).path());
        QFile file(dir.filePath("src/" + it.key()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(it.value());
    }
    TSTCabWriter writer;
    writer.SetCompressionType(GetParam());
    writer.OpenCabinet(dir.filePath("x.cab"));
    writer.AddFiles(dir.filePath("src/*.*"), "", true);
    writer.CloseCabinet(true);
    EXPECT_TRUE(pwtest::DecodersExtract(dir.filePath("x.cab"), tree));
}

TEST_P(CabWriterKinds, SizeThresholdSpansFilesAcrossASetOfCabinets)
{
    PW_SKIP_WITHOUT_DECODERS();
    pwtest::TempDir dir;
    FileTree tree{{"one.bin", RandomBytes(150000, 3)}, {"two.txt", TextLike(700000)},
                  {"three.bin", RandomBytes(90000, 4)}, {"zero", ""}, {"four.txt", "small"}};
    WriteTree(dir, "src", tree);
    // Cabinets larger than a block, and smaller, where one block is split across three cabinets.
    for (const quint32 limit : {60000u, 20000u}) {
        const QString out = dir.path(QStringLiteral("out%1").arg(limit));
        TSTCabWriter writer;
        writer.CabinetSizeThreshold = limit;
        writer.SetCompressionType(GetParam());
        QStringList continued;
        writer.OnFilePlaced = [&](TSTCabWriter&, const TCCAB& ccab, const QString& name, qint32, bool continuation,
                                  bool&) {
            if (continuation)
                continued << QString::fromUtf8(ccab.szCab) + QLatin1Char(':') + name;
        };
        const QString earlier = dir.write(QStringLiteral("out%1/set1.cab").arg(limit), "an earlier file");
        QStringList seenWhileWriting;
        writer.OnCabinetStatus = [&](TSTCabWriter&, quint32, quint32, quint32&, bool&) {
            seenWhileWriting = QDir(out).entryList(QDir::Files);
        };
        writer.OpenCabinet(out + "/set.cab");
        writer.AddFiles(dir.path("src/*"), "", false);
        writer.CloseCabinet(true);
        // Each cabinet takes its name only when the whole set is written.
        EXPECT_EQ(seenWhileWriting, QStringList("set1.cab"));
        EXPECT_NE(pwtest::ReadAll(earlier), "an earlier file");
        const QStringList cabinets = QDir(out).entryList(QDir::Files | QDir::Hidden);
        EXPECT_GE(cabinets.size(), 4);
        EXPECT_FALSE(continued.isEmpty()) << "some file goes on in a later cabinet";
        for (const QString& cabinet : cabinets)
            EXPECT_LE(QFileInfo(out + "/" + cabinet).size(), limit) << cabinet.toStdString();
        // The readers that follow a set, from its first cabinet.
        EXPECT_TRUE(pwtest::DecodersExtract(out + "/set.cab", tree, {Decoder::Cabextract, Decoder::SevenZip}));
    }
}

TEST_P(CabWriterKinds, FileCountThresholdStartsNewCabinets)
{
    PW_SKIP_WITHOUT_DECODERS();
    pwtest::TempDir dir;
    TSTCabWriter writer;
    writer.CabinetFileCountThreshold = 2;
    writer.SetCompressionType(GetParam());
    writer.OpenCabinet(dir.path("out/MyApp.cab"));
    FileTree all;
    for (int i = 1; i <= 5; ++i) {
        const QString name = QStringLiteral("file%1.txt").arg(i);
        all.insert(name, TextLike(40000 + i));
        writer.AddFile(dir.write("src/" + name, all[name]), name, false);
    }
    writer.CloseCabinet(true);
    // Files 1 and 2 in the first cabinet, 3 and 4, then 5, in cabinets named by number.
    const QList<QPair<QString, QStringList>> expected{{"MyApp.cab", {"file1.txt", "file2.txt"}},
                                                      {"MyApp1.cab", {"file3.txt", "file4.txt"}},
                                                      {"MyApp2.cab", {"file5.txt"}}};
    EXPECT_EQ(QDir(dir.path("out")).entryList(QDir::Files).size(), 3);
    for (const auto& [cabinet, names] : expected) {
        FileTree part;
        for (const QString& name : names)
            part.insert(name, all[name]);
        EXPECT_TRUE(pwtest::DecodersExtract(dir.path("out/" + cabinet), part,
                                            {Decoder::Gcab}))
            << cabinet.toStdString();
    }
    // These two read the whole set from its first cabinet; bsdtar reads no set.
    EXPECT_TRUE(pwtest::DecodersExtract(dir.path("out/MyApp.cab"), all,
                                        {Decoder::Cabextract, Decoder::SevenZip}));
}

INSTANTIATE_TEST_SUITE_P(StoredAndMsZip, CabWriterKinds,
                         ::testing::Values(TSTCabCompressionType::cctNone, TSTCabCompressionType::cctMsZip),
                         [](const auto& info) {
                             return std::string(info.param == TSTCabCompressionType::cctNone ? "Stored" : "MsZip");
                         });

TEST(CabWriter, CompressionCodes)
{
    TSTCabWriter writer;
    EXPECT_EQ(writer.CompressionCode(), 0x1503) << "LZX at level 21 by default";
    writer.SetCompressionLzxLevel(15);
    EXPECT_EQ(writer.CompressionCode(), 0x0F03);
    writer.SetCompressionType(TSTCabCompressionType::cctNone);
    EXPECT_EQ(writer.CompressionCode(), 0);
    writer.SetCompressionType(TSTCabCompressionType::cctMsZip);
    EXPECT_EQ(writer.CompressionCode(), 1);
    writer.SetCompressionType(static_cast<TSTCabCompressionType>(7));
    EXPECT_EQ(writer.CompressionCode(), 0x000F);
}

TEST(CabWriter, LzxFailsAsAnUnknownType)
{
    pwtest::TempDir dir;
    TSTCabWriter writer;
    writer.OpenCabinet(dir.path("x.cab"));
    const ESTCabinet e = CabinetErrorOf([&] { writer.AddFile(dir.write("a", "a"), "a", false); });
    EXPECT_EQ(e.erfOper(), 5u);
    EXPECT_EQ(e.message(), QStringLiteral("Unknown compression type [0x0005]"));
}

TEST(CabWriter, NamesOfFurtherCabinets)
{
    pwtest::TempDir dir;
    TSTCabWriter writer;
    writer.SetCompressionType(TSTCabCompressionType::cctNone);
    writer.OpenCabinet(dir.path("MyApp.cab"));
    EXPECT_EQ(writer.CabinetFileNameFor(2), "MyApp2.cab");
    EXPECT_EQ(writer.CabinetPathFor(3), dir.path() + "/");
    EXPECT_EQ(writer.CabinetDiskLabel(1), "Disk1");
    writer.CabinetNameTemplate = "part*-of-*.cab";
    writer.CabinetPathTemplate = "/media/disk*";
    writer.DiskLabelTemplate = "Setup disk *";
    EXPECT_EQ(writer.CabinetFileNameFor(4), "part4-of-4.cab");
    EXPECT_EQ(writer.CabinetPathFor(3), "/media/disk3/");
    EXPECT_EQ(writer.CabinetDiskLabel(2), "Setup disk 2");
    writer.CloseCabinet(false);
    writer.CabinetNameTemplate.clear();
    writer.OpenCabinet(dir.path("noextension"));
    EXPECT_EQ(writer.CabinetFileNameFor(2), "noextension2");
}

TEST(CabWriter, AnEarlierFileStaysUntilTheNewCabinetIsComplete)
{
    pwtest::TempDir dir;
    const QString old = dir.write("out/a.cab", "an old cabinet");
    TSTCabWriter writer;
    writer.SetCompressionType(TSTCabCompressionType::cctNone);
    writer.OpenCabinet(dir.path("out/a.cab"));
    writer.AddFile(dir.write("f", "new"), "f", false);
    EXPECT_EQ(pwtest::ReadAll(old), "an old cabinet");
    writer.CloseCabinet(false);
    EXPECT_EQ(pwtest::ReadAll(old), "an old cabinet") << "dropped, not finished";
    writer.OpenCabinet(dir.path("out/a.cab"));
    writer.AddFile(dir.path("f"), "f", false);
    writer.CloseCabinet(true);
    EXPECT_TRUE(pwtest::DecodersExtract(old, {{"f", "new"}}, {Decoder::Cabextract}));
    EXPECT_EQ(QDir(dir.path("out")).entryList(QDir::Files | QDir::Hidden), QStringList("a.cab"));

    writer.OpenCabinet(dir.path("new/sub/b.cab"));
    EXPECT_TRUE(QFileInfo(dir.path("new/sub")).isDir());
    writer.CloseCabinet(true);  // nothing added: no cabinet
    EXPECT_TRUE(QDir(dir.path("new/sub")).isEmpty(QDir::Files | QDir::Hidden));
    writer.CloseCabinet(true);  // nothing open: nothing happens
}

TEST(CabWriter, AbortInOpenLeavesTheWriterClosed)
{
    pwtest::TempDir dir;
    TSTCabWriter writer;
    writer.OnGetNextCabinet = [](TSTCabWriter&, TCCAB& ccab, quint32 previous, bool& abort) {
        EXPECT_EQ(previous, 0u);
        EXPECT_EQ(ccab.iDisk, 1);
        abort = true;
    };
    writer.OpenCabinet(dir.path("x.cab"));
    EXPECT_THROW(writer.AddFile(dir.write("a", "a"), "a", false), ESTCabinet);
}

TEST(CabWriter, NamesAndOrderOfAddedFiles)
{
    pwtest::TempDir dir;
    dir.write("src/a.txt", "a");
    dir.write("src/sub/b.txt", "b");
    dir.write("src/sub/c.log", "c");
    TSTCabWriter writer;
    writer.SetCompressionType(TSTCabCompressionType::cctNone);
    QStringList placed;
    writer.OnFilePlaced = [&](TSTCabWriter&, const TCCAB&, const QString& name, qint32, bool, bool&) {
        placed << name;
    };
    QStringList skipped;
    writer.OnBeforeFileAdd = [&](TSTCabWriter&, const QString& source, bool& skip) {
        skip = source.endsWith("skip-me");
        if (skip)
            skipped << source;
    };
    writer.OpenCabinet(dir.path("x.cab"));
    writer.AddFiles(dir.path("src/*.txt"), "svcpack", true);  // files of a folder before its sub-folders
    writer.AddFiles(dir.path("src/*.none"), "svcpack", true);  // matches nothing: no error
    writer.AddFile(dir.path("src/a.txt"), "\\svcpack\\x.exe", false);
    writer.AddFile(dir.path("src/a.txt"), "\\\\two", false);  // only one leading "\" goes
    writer.AddFile(dir.write("skip-me"), "skipped", false);
    writer.CloseCabinet(true);
    EXPECT_EQ(placed, QStringList({"svcpack\\a.txt", "svcpack\\sub\\b.txt", "svcpack\\x.exe", "\\two"}));
    EXPECT_EQ(skipped.size(), 1);
}

TEST(CabWriter, MissingFolderRaisesTheSystemsError)
{
    pwtest::TempDir dir;
    TSTCabWriter writer;
    writer.OpenCabinet(dir.path("x.cab"));
    try {
        writer.AddFiles(dir.path("missing/*"), "svcpack", true);
        FAIL();
    } catch (const ESTCabinet&) {
        FAIL() << "not a cabinet error";
    } catch (const UserError& e) {
        EXPECT_TRUE(e.message().contains(SystemErrorText(ENOENT))) << e.message().toStdString();
    }
}

TEST(CabWriter, ProgressOnTheSecondBlockAndEveryNinth)
{
    pwtest::TempDir dir;
    TSTCabWriter writer;
    writer.SetCompressionType(TSTCabCompressionType::cctNone);
    int blocks = 0;
    QList<int> progressAt;
    writer.OnFileStatus = [&](TSTCabWriter&, quint32, quint32, bool&) { ++blocks; };
    writer.OnProgress = [&](TSTCabWriter&, bool&) { progressAt << blocks; };
    writer.OpenCabinet(dir.path("x.cab"));
    writer.AddFile(dir.write("big", QByteArray(21 * 32768, 'p')), "big", false);
    writer.CloseCabinet(true);
    EXPECT_EQ(blocks, 21);
    EXPECT_EQ(progressAt, QList<int>({2, 11, 20}));
}

TEST(CabWriter, HandlerAbortStopsTheCall)
{
    pwtest::TempDir dir;
    TSTCabWriter writer;
    writer.SetCompressionType(TSTCabCompressionType::cctNone);
    writer.OnFilePlaced = [](TSTCabWriter&, const TCCAB&, const QString&, qint32, bool, bool& abort) { abort = true; };
    writer.OpenCabinet(dir.path("x.cab"));
    writer.AddFile(dir.write("a", "a"), "a", false);
    const ESTCabinet e = CabinetErrorOf([&] { writer.CloseCabinet(true); });
    EXPECT_EQ(e.message(), QStringLiteral("Client requested abort [0x0007]"));
    EXPECT_FALSE(QFile::exists(dir.path("x.cab")));
}

TEST(CabinetErrors, MessagesNameTheCodes)
{
    EXPECT_EQ(ESTCabinet(ERF{3, 0, 1}).message(), QStringLiteral("Out of memory in FCI [0x0003]"));
    EXPECT_EQ(ESTCabinet(ERF{1, 2, 1}).message(),
              QStringLiteral("Failure opening file to be stored in cabinet [0x0001].\r\n") + SystemErrorText(2) +
                  QStringLiteral(" [0x0002]."));
    EXPECT_EQ(ESTCabinet(ERF{6, 28, 1}).message(),
              QStringLiteral("Could not create cabinet file [0x0006].\r\n") + SystemErrorText(28) +
                  QStringLiteral(" [0x001C]."));
    EXPECT_EQ(ESTCabinet(ERF{3, 0, 0}).message(), QStringLiteral("FCI error"));
    EXPECT_EQ(ESTCabinet(ERF{42, 0, 1}).message(), QStringLiteral("FCI error [0x002A]"));
    EXPECT_EQ(ESTCabinet(ERF{11, 0, 1}, false).message(), QStringLiteral("FDI aborted [0x000B]"));
    EXPECT_EQ(ESTCabinet(ERF{12, 0, 1}, false).message(), QStringLiteral("FDI error [0x000C]"));
    EXPECT_EQ(ESTCabinet(ERF{1, 0, 0}, false).message(), QStringLiteral("FDI error"));
    const ESTCabinet e(ERF{2, 5, 1});
    EXPECT_EQ(e.erfOper(), 2u);
    EXPECT_EQ(e.erfType(), 5u);
    EXPECT_TRUE(e.fError());
    EXPECT_TRUE(e.isFci());
}

TEST(CabWriter, UnreadableSourcesRaiseClearErrors)
{
    pwtest::TempDir dir;
    TSTCabWriter writer;
    writer.SetCompressionType(TSTCabCompressionType::cctNone);
    writer.OpenCabinet(dir.path("x.cab"));
    const ESTCabinet missing = CabinetErrorOf([&] { writer.AddFile(dir.path("missing"), "m", false); });
    EXPECT_EQ(missing.erfOper(), 1u);
    EXPECT_EQ(missing.erfType(), UINT(ENOENT));
    EXPECT_EQ(missing.sourceFile(), dir.path("missing")) << "whoever shows it can name the file";
    writer.OpenCabinet(dir.path("x.cab"));
    const ESTCabinet folder = CabinetErrorOf([&] { writer.AddFile(dir.mkdir("folder"), "f", false); });
    EXPECT_EQ(folder.erfOper(), 1u);
    EXPECT_EQ(folder.erfType(), UINT(EISDIR));
    const ESTCabinet longName =
        CabinetErrorOf([&] { writer.AddFile(dir.write("a", "a"), QString(256, QLatin1Char('n')), false); });
    EXPECT_EQ(longName.erfOper(), 9u);
    EXPECT_TRUE(longName.message().startsWith("Data-size or file-count exceeded CAB format limits [0x0009]."));
}

// What a build reckons a stored cabinet takes is what the writer reckons when it decides to go on in a
// next cabinet: with the limit at exactly that size the content stays in one cabinet, one byte less
// and it does not.
TEST(CabWriter, TheReckonedSizeOfAStoredCabinetIsTheWritersOwn)
{
    pwtest::TempDir dir;
    const QByteArray installer = RandomBytes(3 * 32768 + 100, 5), entries = "[AddProgram]\r\nX.exe\r\n";
    const QString installerPath = dir.write("X.exe", installer), entriesPath = dir.write("ENTRIES_X.ini", entries);
    const QByteArray installerName = "svcpack\\X.exe", entriesName = "ENTRIES_X.ini";
    const std::uint64_t reckoned =
        fci::StoredCabinetBytes(installer.size() + entries.size(), 2, installerName.size() + entriesName.size());
    for (const std::uint64_t limit : {reckoned, reckoned - 1}) {
        const QString out = dir.mkdir(QString::number(limit));
        TSTCabWriter writer;
        writer.CabinetSizeThreshold = quint32(limit);
        writer.SetCompressionType(TSTCabCompressionType::cctNone);
        writer.OpenCabinet(out + "X.cab");
        writer.AddFile(installerPath, QString::fromLatin1(installerName), false);
        writer.AddFile(entriesPath, QString::fromLatin1(entriesName), false);
        writer.CloseCabinet(true);
        const QStringList cabinets = QDir(out).entryList(QDir::Files);
        EXPECT_EQ(cabinets.size(), limit == reckoned ? 1 : 2) << limit;
        if (limit == reckoned) {
            EXPECT_EQ(QFileInfo(out + "X.cab").size() + qint64(fci::kNextNamesRoom), qint64(reckoned));
        }
    }
}

TEST(CabWriter, FileLargerThanAFolderCanHoldIsRefusedBeforeItIsRead)
{
    pwtest::TempDir dir;
    const QString big = dir.write("big");
    ASSERT_TRUE(QFile::resize(big, 0x7FFF8001));  // sparse: no disk taken
    TSTCabWriter writer;
    writer.SetCompressionType(TSTCabCompressionType::cctMsZip);
    writer.OpenCabinet(dir.path("x.cab"));
    int blocks = 0;
    writer.OnFileStatus = [&](TSTCabWriter&, quint32, quint32, bool&) { ++blocks; };
    const ESTCabinet e = CabinetErrorOf([&] { writer.AddFile(big, "big", false); });
    EXPECT_EQ(e.erfOper(), 9u);
    EXPECT_EQ(e.erfType(), UINT(EFBIG));
    EXPECT_EQ(blocks, 0);
    // Nothing of it went in, so the cabinet can still be made.
    writer.AddFile(dir.write("small", "s"), "small", false);
    writer.CloseCabinet(true);
    EXPECT_TRUE(pwtest::DecodersExtract(dir.path("x.cab"), {{"small", "s"}}, {Decoder::Cabextract}));
}

TEST(CabWriter, OutputFolderThatCannotBeMadeFails)
{
    pwtest::TempDir dir;
    dir.write("file", "a file where a folder should be");
    TSTCabWriter writer;
    writer.SetCompressionType(TSTCabCompressionType::cctNone);
    writer.OpenCabinet(dir.path("file/sub/x.cab"));
    writer.AddFile(dir.write("a", "a"), "a", false);
    const ESTCabinet e = CabinetErrorOf([&] { writer.CloseCabinet(true); });
    EXPECT_EQ(e.erfOper(), 6u);
    EXPECT_EQ(e.erfType(), UINT(ENOTDIR));
}

TEST(CabWriter, FullDiskFailsAndLeavesNoCabinet)
{
    pwtest::TempDir dir;
    const QString mountPoint = dir.mkdir("small");
    const QByteArray target = QFile::encodeName(mountPoint);
    if (::mount("tmpfs", target.constData(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);
    {
        TSTCabWriter writer;
        writer.SetCompressionType(TSTCabCompressionType::cctNone);
        writer.OpenCabinet(mountPoint + "x.cab");
        writer.AddFile(dir.write("noise", RandomBytes(1 << 20, 5)), "noise", false);
        const ESTCabinet e = CabinetErrorOf([&] { writer.CloseCabinet(true); });
        EXPECT_EQ(e.erfOper(), 6u);
        EXPECT_EQ(e.erfType(), UINT(ENOSPC));
        EXPECT_TRUE(QDir(mountPoint).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
    ::umount(target.constData());
}

TEST(CabWriterWalk, ALinkBackToAParentIsWalkedOnce)
{
    PW_SKIP_WITHOUT_DECODERS();
    pwtest::TempDir dir;
    dir.write("src/a.txt", "a");
    dir.write("src/sub/b.txt", "b");
    ASSERT_EQ(::symlink(".", QFile::encodeName(dir.path("src/sub/loop")).constData()), 0);
    ASSERT_EQ(::symlink("sub", QFile::encodeName(dir.path("src/again")).constData()), 0);
    TSTCabWriter writer;
    writer.SetCompressionType(TSTCabCompressionType::cctMsZip);
    writer.OpenCabinet(dir.path("x.cab"));
    writer.AddFiles(dir.path("src/*"), "svcpack", true);
    writer.CloseCabinet(true);
    const QStringList names = pwtest::ListedNames(dir.path("x.cab"));
    EXPECT_EQ(names.size(), 2) << names.join(' ').toStdString();
    EXPECT_TRUE(names.contains("svcpack/a.txt"));
}

// A reader opened on a named pipe waits for a writer; this one comes after a while, so that a walk that
// opens the pipe ends instead of hanging the test.
class PipeUnblocker {
public:
    explicit PipeUnblocker(const QString& pipe)
        : thread_([path = QFile::encodeName(pipe)] {
              std::this_thread::sleep_for(std::chrono::seconds(3));
              const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
              if (fd >= 0)
                  ::close(fd);
          })
    {
    }
    ~PipeUnblocker() { thread_.join(); }

private:
    std::thread thread_;
};

TEST(CabWriterWalk, SpecialFilesStopTheWalkWithAMessageNamingThem)
{
    pwtest::TempDir dir;
    dir.write("src/a.txt", "a");
    const QString pipe = dir.path("src/sub/fifo.txt");
    QDir().mkpath(dir.path("src/sub"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    PipeUnblocker unblocker(pipe);
    TSTCabWriter writer;
    writer.SetCompressionType(TSTCabCompressionType::cctNone);
    writer.OpenCabinet(dir.path("x.cab"));
    try {
        writer.AddFiles(dir.path("src/*"), "svcpack", true);
        FAIL() << "a named pipe was packed";
    } catch (const UserError& e) {
        EXPECT_EQ(e.message(), "\"" + pipe + "\" is a named pipe, not a file: it cannot be packed.");
    }
    writer.CloseCabinet(false);
    // A mask that does not take it leaves it alone.
    writer.OpenCabinet(dir.path("x.cab"));
    writer.AddFiles(dir.path("src/*.none"), "svcpack", true);
    writer.CloseCabinet(false);
    // Named directly, it is refused without waiting for a writer.
    writer.OpenCabinet(dir.path("x.cab"));
    EXPECT_EQ(CabinetErrorOf([&] { writer.AddFile(pipe, "p", false); }).erfOper(), 1u);
    writer.CloseCabinet(false);
    EXPECT_FALSE(QFile::exists(dir.path("x.cab")));
}

TEST(CabWriter, TheWaitingHandlerCanStopTheWriterAndNothingIsLeft)
{
    pwtest::TempDir dir;
    for (int i = 0; i < 40; ++i)
        dir.write(QStringLiteral("src/f%1.bin").arg(i), RandomBytes(100000, quint32(i)));
    const QString earlier = dir.write("out/x.cab", "an earlier add-on");
    for (const int stopAt : {1, 3}) {
        TSTCabWriter writer;
        writer.SetCompressionType(TSTCabCompressionType::cctMsZip);
        int waits = 0;
        writer.OnWaiting = [&](TSTCabWriter&, bool& abort) {
            abort = ++waits == stopAt;
            std::this_thread::sleep_for(std::chrono::milliseconds(60));  // paced by time: let it pass
        };
        writer.OpenCabinet(earlier);
        const ESTCabinet e = CabinetErrorOf([&] {
            writer.AddFiles(dir.path("src/*"), "", true);
            writer.CloseCabinet(true);
        });
        EXPECT_EQ(e.erfOper(), UINT(FCIERR_USER_ABORT));
        EXPECT_EQ(waits, stopAt);
        writer.CloseCabinet(false);
        EXPECT_EQ(pwtest::ReadAll(earlier), "an earlier add-on");
        EXPECT_EQ(QDir(dir.path("out")).entryList(QDir::Files | QDir::Hidden), QStringList("x.cab"));
    }
}

}  // namespace
