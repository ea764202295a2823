#include "platform/FileNames.h"

#include <gtest/gtest.h>

using namespace pw;

TEST(FileNames, ExtensionOfTheNamePartOnly)
{
    EXPECT_EQ(LowerExtension(QStringLiteral("/a.dir/SETUP.EXE")), QStringLiteral(".exe"));
    EXPECT_EQ(LowerExtension(QStringLiteral("/a.dir/noext")), QString());
    EXPECT_EQ(LowerExtension(QStringLiteral("C:\\out\\x.tar.GZ")), QStringLiteral(".gz"));
    EXPECT_EQ(FileNamePart(QStringLiteral("C:name.cab")), QStringLiteral("name.cab"));
}

TEST(FileNames, BareFileNameDropsFolderAndLastExtension)
{
    EXPECT_EQ(BareFileName(QStringLiteral("C:\\out\\MyApp.cab")), QStringLiteral("MyApp"));
    EXPECT_EQ(BareFileName(QStringLiteral("/out/my.cabinet.cab")), QStringLiteral("my.cabinet"));
    EXPECT_EQ(BareFileName(QStringLiteral("/out/noext")), QStringLiteral("noext"));
    EXPECT_EQ(BareFileName(QStringLiteral("/a.b/noext")), QStringLiteral("noext"));
    EXPECT_EQ(BareFileName(QStringLiteral("Português (Brasil).qmr")), QStringLiteral("Português (Brasil)"));
}

TEST(FileNames, JoinPathPutsOneSeparatorBetweenThePieces)
{
    const QChar backslash = QLatin1Char('\\');
    EXPECT_EQ(JoinPath(QStringLiteral("svcpack"), QStringLiteral("a.txt"), backslash), QStringLiteral("svcpack\\a.txt"));
    EXPECT_EQ(JoinPath(QStringLiteral("svcpack\\"), QStringLiteral("\\a.txt"), backslash), QStringLiteral("svcpack\\a.txt"));
    EXPECT_EQ(JoinPath(QString(), QStringLiteral("a.txt"), backslash), QStringLiteral("a.txt"));
    EXPECT_EQ(JoinPath(QStringLiteral("svcpack"), QString(), backslash), QStringLiteral("svcpack"));
}
