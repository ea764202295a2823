// Add-ons made for Windows XP, prepared for a Wine that runs only 64-bit programs: our own i686 programs
// give way to their x86-64 builds, nothing else is touched, and a 32-bit start file is found.
#include "TryFixture.h"

#include "tryout/HostTools.h"
#include "tryout/ProgramSwap.h"
#include "tryout/SelfExtractor.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace pw;
using namespace pwtest;

namespace {

QString Shipped(const QString& name)
{
    return QStringLiteral(PW_APPDIR "/") + name;
}

QString X86_64(const QString& name)
{
    return QStringLiteral(PW_APPDIR "/x86_64/") + name;
}

class ProgramSwapTest : public ::testing::Test, public TryFixture {
protected:
    ProgramSwap Swap(const QString& folder, const QStringList& lines, bool exchange = true)
    {
        return UseX86_64Programs(folder, lines, QStringLiteral(PW_APPDIR), scratch.mkdir(QStringLiteral("swap")),
                                 FindTryTools(), ui, exchange);
    }

    // The svcpack folder of the add-on packwright-build makes of `folder`.
    QString Svcpack(const QString& folder, const QString& start, const QStringList& options = {})
    {
        const QString addon = BuildAddon(folder, start, QString(), options);
        const QString unpacked = scratch.path(QStringLiteral("unpacked-") + QFileInfo(folder).fileName());
        EXPECT_TRUE(Extract(addon, unpacked));
        return unpacked + QStringLiteral("/svcpack");
    }

    static bool Extract(const QString& archive, const QString& folder)
    {
        QProcess sevenZip;
        sevenZip.start(FindTryTools().sevenZip,
                       {QStringLiteral("x"), QStringLiteral("-y"), QStringLiteral("-o") + folder, archive});
        return sevenZip.waitForFinished(60000) && sevenZip.exitCode() == 0;
    }
};

TEST_F(ProgramSwapTest, OurRunnerGivesWayAndTheUsersOwnStays)
{
    scratch.write(QStringLiteral("App/package.msi"), "not a PE file");
    const QString svcpack =
        Svcpack(scratch.path(QStringLiteral("App")), QStringLiteral("package.msi"), {QStringLiteral("--no-compact")});
    ASSERT_EQ(ReadAll(svcpack + QStringLiteral("/msistub.exe")), ReadAll(Shipped(QStringLiteral("msistub.exe"))));
    ProgramSwap swap = Swap(svcpack, {QStringLiteral("MSISTUB.exe package.msi /qb-!")});
    EXPECT_EQ(swap.replaced, QStringList{QStringLiteral("msistub.exe")});
    EXPECT_EQ(swap.needs32Bit, QString());
    EXPECT_EQ(swap.error, QString());
    EXPECT_EQ(ReadAll(svcpack + QStringLiteral("/msistub.exe")), ReadAll(X86_64(QStringLiteral("msistub.exe"))));

    // A runner of the user's own (not our build) is theirs to run: here a 32-bit one.
    QFile::remove(svcpack + QStringLiteral("/msistub.exe"));
    QFile::copy(QStringLiteral(PW_SLEEPER_I686), svcpack + QStringLiteral("/msistub.exe"));
    swap = Swap(svcpack, {QStringLiteral("msistub.exe package.msi /qb-!")});
    EXPECT_EQ(swap.replaced, QStringList());
    EXPECT_EQ(swap.needs32Bit, QStringLiteral("msistub.exe"));
    EXPECT_EQ(ReadAll(svcpack + QStringLiteral("/msistub.exe")), ReadAll(QStringLiteral(PW_SLEEPER_I686)));
}

TEST_F(ProgramSwapTest, SelfExtractorGetsTheX86_64ModuleAndRunner)
{
    scratch.write(QStringLiteral("Pack/package.msi"), "not a PE file");
    scratch.write(QStringLiteral("Pack/readme.txt"), "read me");
    const QString svcpack = Svcpack(scratch.path(QStringLiteral("Pack")), QStringLiteral("package.msi"));
    const QString installer = svcpack + QStringLiteral("/Pack.exe");
    const std::optional<SelfExtractorParts> before =
        ReadSelfExtractor(installer, ReadAll(Shipped(QStringLiteral("7zS.sfx"))));
    ASSERT_TRUE(before);

    const ProgramSwap swap = Swap(svcpack, {QStringLiteral("Pack.exe")});
    EXPECT_EQ(swap.replaced,
              (QStringList{QStringLiteral("Pack.exe (7zS.sfx)"), QStringLiteral("msistub.exe (Pack.exe)")}));
    EXPECT_EQ(swap.needs32Bit, QString());
    EXPECT_EQ(swap.error, QString());
    const std::optional<SelfExtractorParts> after =
        ReadSelfExtractor(installer, ReadAll(X86_64(QStringLiteral("7zS.sfx"))));
    ASSERT_TRUE(after);
    EXPECT_EQ(after->block, before->block);
    const QString extracted = scratch.path(QStringLiteral("extracted"));
    ASSERT_TRUE(Extract(installer, extracted));
    EXPECT_EQ(ReadAll(extracted + QStringLiteral("/msistub.exe")), ReadAll(X86_64(QStringLiteral("msistub.exe"))));
    EXPECT_EQ(ReadAll(extracted + QStringLiteral("/package.msi")), QByteArray("not a PE file"));
    EXPECT_EQ(ReadAll(extracted + QStringLiteral("/readme.txt")), QByteArray("read me"));
}

TEST_F(ProgramSwapTest, RunnerOfTheUsersOwnInsideASelfExtractorStays)
{
    builder = BuilderWith(QStringLiteral("msistub.exe"), QStringLiteral(PW_SLEEPER_I686));
    scratch.write(QStringLiteral("Own/package.msi"), "not a PE file");
    const QString svcpack = Svcpack(scratch.path(QStringLiteral("Own")), QStringLiteral("package.msi"));
    const ProgramSwap swap = Swap(svcpack, {QStringLiteral("Own.exe")});
    EXPECT_EQ(swap.replaced, QStringList{QStringLiteral("Own.exe (7zS.sfx)")});
    EXPECT_EQ(swap.needs32Bit, QStringLiteral("msistub.exe"));
}

// Where Wine runs 32-bit programs nothing is exchanged, but an x86-64 start file is still found: a 32-bit
// Windows cannot run it.
TEST_F(ProgramSwapTest, SixtyFourBitStartFileIsFoundWithoutAnExchange)
{
    WriteSleeper(scratch.path(QStringLiteral("Wide")), InstallerArch::Amd64);
    const QString svcpack = Svcpack(scratch.path(QStringLiteral("Wide")), QStringLiteral("setup.exe"));
    const QByteArray before = ReadAll(svcpack + QStringLiteral("/Wide.exe"));
    const ProgramSwap swap = Swap(svcpack, {QStringLiteral("Wide.exe")}, false);
    EXPECT_EQ(swap.is64Bit, QStringLiteral("setup.exe"));
    EXPECT_EQ(swap.replaced, QStringList());
    EXPECT_EQ(ReadAll(svcpack + QStringLiteral("/Wide.exe")), before);
}

TEST_F(ProgramSwapTest, ThirtyTwoBitStartFileInsideOrBeside)
{
    WriteSleeper(scratch.path(QStringLiteral("Narrow")), InstallerArch::X86);
    WriteSleeper(scratch.path(QStringLiteral("Wide")), InstallerArch::Amd64);
    EXPECT_EQ(Swap(Svcpack(scratch.path(QStringLiteral("Narrow")), QStringLiteral("setup.exe")),
                   {QStringLiteral("Narrow.exe")})
                  .needs32Bit,
              QStringLiteral("setup.exe"));
    EXPECT_EQ(
        Swap(Svcpack(scratch.path(QStringLiteral("Wide")), QStringLiteral("setup.exe")), {QStringLiteral("Wide.exe")})
            .needs32Bit,
        QString());
    const QString beside = scratch.path(QStringLiteral("unpacked-Narrow/svcpack"));
    WriteSleeper(beside + QStringLiteral("/my setup"), InstallerArch::X86);
    EXPECT_EQ(Swap(beside, {QStringLiteral("MY SETUP\\Setup.exe /S")}).needs32Bit,
              QStringLiteral("MY SETUP\\Setup.exe"));
    EXPECT_EQ(Swap(beside, {QStringLiteral("cmd /c exit 3")}).needs32Bit, QString()) << "a program of the system";
}

TEST(FindNoCase, WindowsNamesInALinuxFolder)
{
    TempDir dir;
    dir.write(QStringLiteral("Sub/Setup.EXE"));
    dir.write(QStringLiteral("Sub/setup.exe"));
    dir.write(QStringLiteral("Sub/Other.exe"));
    EXPECT_EQ(FindNoCase(dir.path(), QStringLiteral("sub\\setup.exe")), dir.path(QStringLiteral("Sub/setup.exe")));
    EXPECT_EQ(FindNoCase(dir.path(), QStringLiteral("SUB/SETUP.EXE")).toLower(),
              dir.path(QStringLiteral("Sub/setup.exe")).toLower());
    EXPECT_EQ(FindNoCase(dir.path(), QStringLiteral("sub\\other.EXE")), dir.path(QStringLiteral("Sub/Other.exe")));
    EXPECT_EQ(FindNoCase(dir.path(), QStringLiteral("sub\\..\\sub\\other.exe")), QString());
    EXPECT_EQ(FindNoCase(dir.path(), QStringLiteral("missing.exe")), QString());
    EXPECT_EQ(FindNoCase(dir.path(), QString()), QString());
}

}  // namespace
