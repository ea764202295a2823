#include "catalogue/Silence.h"

#include "platform/Errors.h"
#include "support/ScratchMount.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace pw;

TEST(Silence, NamesAndSwitchesByTheFirstComma)
{
    pwtest::TempDir dir;
    const QString file = dir.write("Silence.qmr", "Inno Setup, /VERYSILENT\r\n"
                                                  "Spaced  ,\t /S  \r\n"
                                                  "Three,a,b\r\n"
                                                  "No comma here \r\n"
                                                  "Ends,\r\n"
                                                  ",starts\r\n"
                                                  "Instala\xE7\xE3o, /q\r\n");
    EXPECT_EQ(SilenceNames(file), (QStringList{"Inno Setup", "Spaced  ", "Three", "No comma here ", "Ends", "",
                                               QStringLiteral("Instalação")}));
    EXPECT_EQ(SilenceCommand(file, 0), QStringLiteral("/VERYSILENT"));
    EXPECT_EQ(SilenceCommand(file, 1), QStringLiteral("/S"));
    EXPECT_EQ(SilenceCommand(file, 2), QStringLiteral("a,b"));
    EXPECT_EQ(SilenceCommand(file, 3), QStringLiteral("No comma here"));
    EXPECT_EQ(SilenceCommand(file, 4), QString());
    EXPECT_EQ(SilenceCommand(file, 5), QStringLiteral("starts"));
    EXPECT_EQ(SilenceCommand(file, 7), QString());
    EXPECT_EQ(SilenceCommand(file, -1), QString());
}

TEST(Silence, LineBreaksBlankLinesAndNul)
{
    pwtest::TempDir dir;
    const QString file = dir.write("s.qmr", QByteArray("a, 1\r\n\nb, 2\rc, 3\r\n\0d, 4\r\n", 24));
    EXPECT_EQ(SilenceNames(file), (QStringList{"a", "", "b", "c"}));
    EXPECT_EQ(SilenceCommand(file, 2), QStringLiteral("2")) << "a blank line keeps the indexes after it";
    EXPECT_EQ(SilenceCommand(file, 1), QString());
}

TEST(Silence, MissingFileIsEmptyAndUnreadableFileIsReported)
{
    pwtest::TempDir dir;
    EXPECT_TRUE(SilenceNames(dir.path("none.qmr")).isEmpty());
    EXPECT_EQ(SilenceCommand(dir.path("none.qmr"), 0), QString());

    const QString folderNamedLikeTheFile = dir.mkdir("Silence.qmr").chopped(1);
    try {
        SilenceNames(folderNamedLikeTheFile);
        FAIL() << "an unreadable catalogue must be reported";
    } catch (const UserError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(folderNamedLikeTheFile)))
            << e.message().toStdString();
    }
}
