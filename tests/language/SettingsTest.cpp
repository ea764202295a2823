// The remembered session in the settings file, beside the language that older files hold alone.
#include "language/Session.h"
#include "language/Settings.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pw;

TEST(SessionSettings, AnOlderFileRemembersNothingAndKeepsItsLanguageWhenTheSessionIsAdded)
{
    pwtest::TempDir dir;
    const QString data = dir.path() + QLatin1Char('/');
    dir.write("config.qmr", "[Main]\r\nLanguage=English\r\n");
    const SessionSettings nothing = ReadSessionSettings(data);
    EXPECT_TRUE(nothing.programFolder.isEmpty());
    EXPECT_TRUE(nothing.startFile.isEmpty());
    EXPECT_TRUE(nothing.lastOutput.isEmpty());
    EXPECT_EQ(nothing.compressionLevel, -1);
    EXPECT_EQ(nothing.overwriteMode, -1);

    SessionSettings session;
    session.programFolder = QStringLiteral("/home/ana/Programas/Não ativo");
    session.startFile = QStringLiteral("setup.exe");
    session.lastOutput = QStringLiteral("/home/ana/addons/out.cab");
    session.compressionLevel = 4;
    session.overwriteMode = 2;
    ASSERT_TRUE(WriteSessionSettings(data, session));
    EXPECT_EQ(ReadLanguageSetting(data), QStringLiteral("English"));
    const SessionSettings back = ReadSessionSettings(data);
    EXPECT_EQ(back.programFolder, session.programFolder);
    EXPECT_EQ(back.startFile, session.startFile);
    EXPECT_EQ(back.lastOutput, session.lastOutput);
    EXPECT_EQ(back.compressionLevel, 4);
    EXPECT_EQ(back.overwriteMode, 2);
}

// A hand-edited or foreign value is not taken as a choice: a level or mode out of its list's range, or not
// a number, is nothing remembered, and so is a name the file's code page would turn into another.
TEST(SessionSettings, ValuesTheWindowCannotShowAreNothingRemembered)
{
    pwtest::TempDir dir;
    const QString data = dir.path() + QLatin1Char('/');
    dir.write("config.qmr", "[Main]\r\nLastCompressionLevel=5\r\nLastOverwriteMode=two\r\n");
    EXPECT_EQ(ReadSessionSettings(data).compressionLevel, -1);
    EXPECT_EQ(ReadSessionSettings(data).overwriteMode, -1);

    SessionSettings session;
    session.programFolder = QStringLiteral("/home/ivan/программы");
    session.startFile = QStringLiteral("установка.exe");
    session.lastOutput = QStringLiteral("/tmp/a\nLastCompressionLevel=4\r\nb.cab");
    ASSERT_TRUE(WriteSessionSettings(data, session));
    const SessionSettings back = ReadSessionSettings(data);
    EXPECT_TRUE(back.programFolder.isEmpty());
    EXPECT_TRUE(back.startFile.isEmpty());
    EXPECT_TRUE(back.lastOutput.isEmpty()) << "a line break is not remembered";
    EXPECT_EQ(back.compressionLevel, -1) << "nor can it add a key";

    EXPECT_FALSE(WriteSessionSettings(dir.path("missing/"), session));
}
