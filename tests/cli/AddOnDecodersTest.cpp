// Add-ons made by packwright-build without 7-Zip (the program folder's files compressed with MSZIP) from
// folders that are hard on a cabinet writer, each read back by all four independent decoders byte for
// byte. The data is generated in a scratch folder on every run; nothing of it is kept.
#include "MixedCorpus.h"
#include "support/CabinetDecoders.h"
#include "support/TempDir.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// Makes an add-on of `folder` (which holds setup.exe) at `cabinet`; the process's output on failure.
::testing::AssertionResult BuildUncompacted(const QString& folder, const QString& cabinet, const QString& home)
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home);
    tool.setProcessEnvironment(env);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(PACKWRIGHT_BUILD),
               {"--folder", folder, "--start", "setup.exe", "--switch", "/S", "--no-compact", cabinet});
    if (!tool.waitForFinished(15 * 60 * 1000) || tool.exitCode() != 0)
        return ::testing::AssertionFailure() << tool.readAll().toStdString();
    return ::testing::AssertionSuccess();
}

// What the add-on of `folder` holds: the folder under "svcpack" and the entries file the build wrote.
pwtest::FileSources AddOnFiles(const QString& folder, const QString& cabinet, const pwtest::TempDir& dir)
{
    pwtest::FileSources files = pwtest::FilesBelow(folder, QStringLiteral("svcpack/"));
    const QString entries = QStringLiteral("ENTRIES_ADDON.ini");
    const pwtest::ToolRun extracted =
        pwtest::RunTool(QStringLiteral("cabextract"), {"-q", "-F", entries, "-d", dir.path("entries"), cabinet});
    EXPECT_TRUE(extracted.ok) << extracted.output.toStdString();
    files.insert(entries, dir.path("entries/") + entries);
    return files;
}

class AddOnDecoders : public ::testing::Test {
protected:
    void SetUp() override { PW_SKIP_WITHOUT_DECODERS(); }

    void ExpectEveryDecoderRestores(const QString& folder)
    {
        const QString cabinet = dir.path(QStringLiteral("addon.cab"));
        ASSERT_TRUE(BuildUncompacted(folder, cabinet, dir.path(QStringLiteral("home"))));
        EXPECT_TRUE(pwtest::DecodersExtractFiles(cabinet, AddOnFiles(folder, cabinet, dir)));
    }

    pwtest::TempDir dir;
};

TEST_F(AddOnDecoders, NumbersOneToALine)
{
    // What "seq 1 20000" prints: blocks a deflate engine writes as literals alone.
    QByteArray numbers;
    for (int n = 1; n <= 20000; ++n)
        numbers += QByteArray::number(n) + '\n';
    dir.write(QStringLiteral("program/numbers.txt"), numbers);
    dir.write(QStringLiteral("program/setup.exe"), "MZ");
    dir.write(QStringLiteral("program/zz-after.txt"), "every file after them too");
    ExpectEveryDecoderRestores(dir.path(QStringLiteral("program")));
}

TEST_F(AddOnDecoders, ThreeFilesOf900MiBNeedTwoFolders)
{
    // Sparse: no disk taken. Together they pass what one cabinet folder can address (0x7FFF8000 bytes).
    dir.write(QStringLiteral("program/setup.exe"), "MZ");
    for (const char* name : {"a.bin", "b.bin", "c.bin"}) {
        QFile big(dir.write(QStringLiteral("program/") + QLatin1String(name)));
        ASSERT_TRUE(big.resize(qint64(900) << 20));
    }
    ExpectEveryDecoderRestores(dir.path(QStringLiteral("program")));
}

TEST_F(AddOnDecoders, MixedCorpusOf300MB)
{
    pwcorpus::MakeMixedCorpus(dir.path(QStringLiteral("program")));
    dir.write(QStringLiteral("program/setup.exe"), "MZ");
    ExpectEveryDecoderRestores(dir.path(QStringLiteral("program")));
}

}  // namespace
