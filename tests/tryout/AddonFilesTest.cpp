// The add-on's own files: the cabinet that packwright-build made, taken apart, its entries file read and
// laid out as nLite lays it out.
#include "TryFixture.h"

#include "tryout/AddonFiles.h"
#include "tryout/HostTools.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace pw;
using namespace pwtest;

namespace {

class AddonFilesTest : public ::testing::Test, public TryFixture {};

TEST_F(AddonFilesTest, CabinetTakenApartAndLaidOutUnderI386)
{
    scratch.write(QStringLiteral("App/setup.exe"), "MZ");
    scratch.write(QStringLiteral("App/sub/data.txt"), "data");
    const QString addon = BuildAddon(scratch.path(QStringLiteral("App")), QStringLiteral("setup.exe"),
                                     QStringLiteral("/S"), {QStringLiteral("--no-compact")});
    const QString unpacked = scratch.path(QStringLiteral("unpacked"));
    ASSERT_EQ(UnpackCabinet(FindTryTools(), addon, unpacked, ui, TryTexts()), QString());
    const AddonEntries entries = ReadEntries(unpacked, TryTexts());
    EXPECT_EQ(entries.file, QStringLiteral("ENTRIES_APP.ini"));
    EXPECT_EQ(entries.lines, QStringList{QStringLiteral("setup.exe /S")});
    EXPECT_EQ(entries.error, QString());

    const QString i386 = scratch.path(QStringLiteral("drive_c/I386"));
    ASSERT_TRUE(LayOut(unpacked, entries.file, i386));
    EXPECT_EQ(ReadAll(i386 + QStringLiteral("/svcpack/sub/data.txt")), QByteArray("data"));
    EXPECT_EQ(QDir(i386).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("svcpack")});

    // A second add-on with files of the same names, as two add-ons of one disc carry the same runner:
    // the later one's replace the earlier one's, beside what only the earlier one has.
    scratch.write(QStringLiteral("second/svcpack/setup.exe"), "MZ second");
    scratch.write(QStringLiteral("second/svcpack/sub/data.txt"), "second data");
    ASSERT_TRUE(LayOut(scratch.path(QStringLiteral("second")), QString(), i386));
    EXPECT_EQ(ReadAll(i386 + QStringLiteral("/svcpack/setup.exe")), QByteArray("MZ second"));
    EXPECT_EQ(ReadAll(i386 + QStringLiteral("/svcpack/sub/data.txt")), QByteArray("second data"));
}

TEST_F(AddonFilesTest, EveryLineOfTheSectionInTheSystemCodePage)
{
    scratch.write(QStringLiteral("a/entries_x.INI"),
                  "[General]\r\ntitle=x\r\n[addprogram]\r\n; a comment\r\n\r\n  first.exe /S  \r\nsecond \xe9.cmd\r\n"
                  "[Other]\r\nthird.exe\r\n");
    const AddonEntries entries = ReadEntries(scratch.path(QStringLiteral("a")), TryTexts());
    EXPECT_EQ(entries.file, QStringLiteral("entries_x.INI"));
    EXPECT_EQ(entries.lines, (QStringList{QStringLiteral("first.exe /S"), QStringLiteral("second é.cmd")}));
}

TEST_F(AddonFilesTest, NoEntriesFileOrNoCommand)
{
    const TryTexts texts;
    scratch.write(QStringLiteral("none/svcpack/setup.exe"), "MZ");
    EXPECT_EQ(ReadEntries(scratch.path(QStringLiteral("none")), texts).error, texts.NoEntriesStr);
    scratch.write(QStringLiteral("empty/ENTRIES_A.ini"), "[General]\r\n[AddProgram]\r\n\r\n[EditFile]\r\nx\r\n");
    EXPECT_EQ(ReadEntries(scratch.path(QStringLiteral("empty")), texts).error,
              texts.NoAddProgramStr.arg(QStringLiteral("ENTRIES_A.ini")));
}

}  // namespace
