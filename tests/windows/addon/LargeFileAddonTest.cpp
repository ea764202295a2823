// A program folder with a file over 4 GiB, packed into a compacted add-on and extracted by the shipped 32-bit
// self-extractor on the i686 stand: a 32-bit size_t is where such readers break. The file is sparse on this
// side; the start file, Sampler.exe, reads its size and a few samples where it was extracted (straddling the
// 4 GiB mark among them) instead of the test reading 4 GiB twice. The self-extractor removes the extracted
// copy before the run ends.
#include "AddonFixture.h"

#include <QDir>
#include <QFile>

using namespace pwtest;

namespace {

constexpr qint64 kSize = (qint64(4) << 30) + (qint64(3) << 20) + 5;
constexpr int kSampleSize = 16;
// Where the samples are: the start, across the 4 GiB mark, the end.
const qint64 kOffsets[] = {0, (qint64(1) << 32) - kSampleSize / 2, kSize - kSampleSize};
// Packing 4 GiB (of zeros) takes most of a minute on a busy machine, extracting it a little less.
constexpr int kLargeRunLimitMs = 10 * 60 * 1000;

// Distinct bytes for the sample at `offset`.
QByteArray Marker(qint64 offset)
{
    QByteArray marker;
    for (int i = 0; i < kSampleSize; ++i)
        marker += char(0xA0 + (offset >> 29) + i);
    return marker;
}

class LargeAddonI686 : public AddonFixture {
protected:
    LargeAddonI686() : AddonFixture(Arch::I686) {}

    void SetUp() override
    {
        AddonFixture::SetUp();
        if (IsSkipped())
            return;
        runLimitMs_ = kLargeRunLimitMs;
        PrepareFolders(QStringLiteral("large_file"));
        ASSERT_TRUE(QDir().mkpath(program_folder_));
        const QString sampler = TestTool(QStringLiteral("Sampler.exe"), arch_);
        ASSERT_TRUE(QFile::copy(sampler, program_folder_ + QStringLiteral("/setup.exe")));
        QFile file(program_folder_ + QStringLiteral("/large.bin"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(kSize));
        for (qint64 offset : kOffsets)
            ASSERT_TRUE(file.seek(offset) && file.write(Marker(offset)) == kSampleSize);
        program_ = {QStringLiteral("setup.exe"), QStringLiteral("large.bin"), QString()};
        for (qint64 offset : kOffsets)
            program_.silentSwitch += QLatin1Char(' ') + QString::number(offset);
    }
};

TEST_F(LargeAddonI686, OverFourGiBIsExtractedWholeByTheShippedSelfExtractor)
{
    const Unpacked addon = BuildAndUnpack({QStringLiteral("--level"), QStringLiteral("2")});
    ASSERT_TRUE(addon.error.isEmpty()) << addon.error.toStdString();
    const SetupRun run = Run(addon);
    ASSERT_TRUE(run.ran) << run.output.toStdString();
    EXPECT_EQ(run.exitCode, kChosenExitCode) << TemporaryFiles();
    QStringList expected = {QStringLiteral("size=%1").arg(kSize)};
    for (qint64 offset : kOffsets)
        expected << QStringLiteral("%1=%2").arg(offset).arg(QString::fromLatin1(Marker(offset).toHex()));
    EXPECT_EQ(Recorded(QStringLiteral("samples.txt")), expected);
    EXPECT_EQ(SubFolders(temp_), QStringList()) << "left in the temporary folder";
}

}  // namespace
