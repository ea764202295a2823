// The self-extractor's 7z reader as a static 32-bit program (unpack_each_i386), compiled with the 32-bit size_t
// and pointers of the programs add-ons carry: archives of every method 7-Zip chooses, the archive of a real
// i686 self-extractor, every input of the fuzzer's corpus, and a file over 4 GiB. It runs natively where the
// kernel runs 32-bit programs, and under qemu-i386 where it does not.
#include "UnpackTools.h"

#include "ArchiveTools.h"
#include "support/TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>
#include <zlib.h>

#include <iostream>

using namespace pwtest;

namespace {

// How this machine runs the 32-bit reader, as the probe decides.
struct I386Runner {
    QStringList command;  // the program to start and its first arguments
    bool native = false;
    QString how;    // for the log
    QString error;  // why the reader cannot run here at all
};

// Why the kernel refused the static i386 probe, or empty when it ran it.
QString ProbeRefusal()
{
    QProcess probe;
    probe.setProcessChannelMode(QProcess::MergedChannels);
    probe.start(QStringLiteral(PW_I386_PROBE), {});
    if (!probe.waitForStarted())
        return probe.errorString();
    if (probe.waitForFinished() && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
        return {};
    return QString::fromLocal8Bit(probe.readAll()).trimmed();
}

const I386Runner& Runner()
{
    static const I386Runner runner = [] {
        const QString refusal = ProbeRefusal();
        if (refusal.isEmpty())
            return I386Runner{{QStringLiteral(PW_UNPACK_EACH_I386)}, true, QStringLiteral("natively"), {}};
        const QString reason = QStringLiteral("this machine's kernel does not run 32-bit programs (%1)").arg(refusal);
        if (QStringLiteral(PW_QEMU_I386).isEmpty())
            return I386Runner{{}, false, {},
                              reason + QStringLiteral(", and qemu-i386 is missing (scripts/install-deps.sh installs "
                                                      "qemu-user)")};
        return I386Runner{{QStringLiteral(PW_QEMU_I386), QStringLiteral(PW_UNPACK_EACH_I386)}, false,
                          QStringLiteral("under qemu-i386: ") + reason, {}};
    }();
    return runner;
}

class UnpackI386 : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Runner().error.isEmpty()) << Runner().error.toStdString();
        std::cout << "The 32-bit reader runs " << Runner().how.toStdString() << std::endl;
    }

    // Extracts each archive into a numbered folder of its own under `folder`, from 1 on: exit code 0 once every
    // one has been read, -1 for a crash; a line "ARCHIVE: ok" or "ARCHIVE: refused: REASON" for each.
    static CommandResult UnpackEach(const QString& folder, const QStringList& archives)
    {
        QDir().mkpath(folder);
        const QStringList command = Runner().command;
        return RunCommand(command.front(), command.mid(1) + QStringList{folder} + archives);
    }

    // Extracts one archive into `folder`/1, and says why not when it could not.
    static QString Unpack(const QString& archive, const QString& folder)
    {
        const CommandResult run = UnpackEach(folder, {archive});
        return run.exitCode == 0 && run.output.endsWith(": ok\n") ? QString() : QString::fromUtf8(run.output);
    }

    TempDir dir_;
};

TEST_F(UnpackI386, EveryMethodThatSevenZipChoosesExtractsTheFolderUnchanged)
{
    const QString corpus = MakeMethodCorpus(dir_.path());
    const auto expected = ReadTreeWithTimes(corpus);
    for (int level : {0, 5, 9}) {  // Copy; LZMA2 with every branch converter and Delta; BCJ2
        const QString archive = dir_.path(QStringLiteral("7z%1.7z").arg(level));
        ASSERT_TRUE(ReferenceArchive(corpus, level, archive));
        const QString out = dir_.path(QStringLiteral("out%1").arg(level));
        const QString error = Unpack(archive, out);
        ASSERT_EQ(error, QString()) << "level " << level;
        EXPECT_EQ(ReadTreeWithTimes(out + QStringLiteral("/1")), expected) << "level " << level;
    }
}

// The shipped module, whose own image tells where the block and the archive begin.
TEST_F(UnpackI386, ReadsTheArchiveOfTheShippedSelfExtractor)
{
    const QByteArray setup = RandomBytes(5000, 4);
    dir_.write(QStringLiteral("p/setup.exe"), setup);
    const QString archive = dir_.path(QStringLiteral("a.7z"));
    ASSERT_TRUE(ReferenceArchive(dir_.path(QStringLiteral("p")), 9, archive));
    const QByteArray block = ";!@Install@!UTF-8!\n\rRunProgram=\"setup.exe\"\n\r;!@InstallEnd@!";
    const QByteArray module = ReadAll(QStringLiteral(PW_SFX_MODULE_I686));
    const QString sfx = dir_.write(QStringLiteral("setup-sfx.exe"), module + block + ReadAll(archive));
    ASSERT_EQ(Unpack(sfx, dir_.path(QStringLiteral("out"))), QString());
    EXPECT_EQ(ReadAll(dir_.path(QStringLiteral("out/1/setup.exe"))), setup);
}

// Damaged and hostile archives end in a refusal, never in a crash.
TEST_F(UnpackI386, EveryFuzzInputIsReadSafely)
{
    QStringList inputs;
    for (QDirIterator it(QStringLiteral(PW_UNPACK_CORPUS), QDir::Files); it.hasNext();)
        inputs << it.next();
    ASSERT_FALSE(inputs.isEmpty());
    const CommandResult run = UnpackEach(dir_.path(QStringLiteral("out")), inputs);
    const QStringList lines = QString::fromUtf8(run.output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(run.exitCode, 0) << "after " << lines.value(lines.size() - 1).toStdString();
    EXPECT_EQ(lines.size(), inputs.size());
}

// CRC32 of `size` zero bytes, 1 MiB at a time.
quint32 ZeroCrc(quint64 size)
{
    constexpr quint64 kStep = quint64(1) << 20;
    const QByteArray zeros(int(kStep), '\0');
    const uLong stepCrc = crc32(0, reinterpret_cast<const Bytef*>(zeros.constData()), uInt(kStep));
    uLong crc = 0;
    for (; size >= kStep; size -= kStep)
        crc = crc32_combine(crc, stepCrc, z_off_t(kStep));
    return quint32(crc32(crc, reinterpret_cast<const Bytef*>(zeros.constData()), uInt(size)));
}

// Stored data of a file over 4 GiB, made of a hole in a sparse archive: every size and offset the 32-bit
// reader holds must keep its upper bits. The extracted file is checked by its size and its ends. Where the
// kernel runs 32-bit programs, the 32-bit Wine stand extracts such a file with the shipped self-extractor,
// whose reader this is, and the 4 GiB written here would only double the time.
TEST_F(UnpackI386, AFileOverFourGiBIsExtractedWhole)
{
    if (Runner().native)
        GTEST_SKIP() << "the add-on tests on the 32-bit Wine stand extract a file over 4 GiB";
    const quint64 size = (quint64(4) << 30) + 12345;
    const QByteArray end("END!");
    HandItem item{QStringLiteral("grande.bin")};
    item.packedSize = size;
    const uLong endCrc = crc32(0, reinterpret_cast<const Bytef*>(end.constData()), 4);
    item.crc = quint32(crc32_combine(ZeroCrc(size - 4), endCrc, 4));
    const QByteArray header = HandMadeHeader({item});
    const QString archive = dir_.path(QStringLiteral("grande.7z"));
    {
        QFile file(archive);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QByteArray start = StartHeader(size, header);
        ASSERT_EQ(file.write(start), start.size());
        ASSERT_TRUE(file.seek(qint64(quint64(start.size()) + size - 4)));
        ASSERT_EQ(file.write(end + header), end.size() + header.size());
    }
    const QString error = Unpack(archive, dir_.path(QStringLiteral("out")));
    QFile::remove(archive);
    ASSERT_EQ(error, QString());
    QFile extracted(dir_.path(QStringLiteral("out/1/grande.bin")));
    ASSERT_TRUE(extracted.open(QIODevice::ReadOnly));
    EXPECT_EQ(quint64(extracted.size()), size);
    EXPECT_EQ(extracted.read(16), QByteArray(16, '\0'));
    ASSERT_TRUE(extracted.seek(qint64(size) - 4 - 16));
    EXPECT_EQ(extracted.read(20), QByteArray(16, '\0') + end);
    extracted.close();
    QFile::remove(extracted.fileName());  // 4 GiB of disk, not left until the end of the run
}

}  // namespace
