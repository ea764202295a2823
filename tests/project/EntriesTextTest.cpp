#include "project/EntriesText.h"

#include <gtest/gtest.h>

using namespace pw;

namespace {

DescriptiveFields WithTitle(const QString& title)
{
    DescriptiveFields f;
    f.Title = title;
    return f;
}

}  // namespace

TEST(EntriesText, TypingIntoAFieldRewritesOnlyItsLineOfTheDefaultText)
{
    QStringList lines = DefaultEntriesLines();
    UpdateGeneralSection(lines, WithTitle(QStringLiteral("X")));
    QStringList expected = DefaultEntriesLines();
    expected[4] = QStringLiteral("title=X");
    EXPECT_EQ(lines, expected);
}

TEST(EntriesText, AnEmptyTextGetsHeaderAndKeysInAlphabeticalOrder)
{
    QStringList lines;
    DescriptiveFields f;
    f.Site = QStringLiteral("http://x");
    f.Version = QStringLiteral("1.0");
    UpdateGeneralSection(lines, f);
    EXPECT_EQ(lines, (QStringList{"[General]", "builddate=", "description=", "language=", "title=", "version=1.0",
                                  "website=http://x"}));
}

TEST(EntriesText, HeaderRecognisedInCapitalsAndKeysGoBelowTheFirstLine)
{
    QStringList upper{"[GENERAL]"};
    UpdateGeneralSection(upper, {});
    EXPECT_EQ(upper.size(), 7);
    EXPECT_EQ(upper[0], QStringLiteral("[GENERAL]"));

    QStringList commented{"; my add-on", "[General]"};
    UpdateGeneralSection(commented, {});
    EXPECT_EQ(commented, (QStringList{"; my add-on", "builddate=", "description=", "language=", "title=", "version=",
                                      "website=", "[General]"}));
}

TEST(EntriesText, TheSearchIsBySubstringWhateverTheLineIs)
{
    QStringList lines{"[General]", "; see the website", "website=old"};
    UpdateGeneralSection(lines, {});
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{"website=", "website=old"}));

    // A title that contains "version" captures the version search at the next update.
    QStringList v = DefaultEntriesLines();
    UpdateGeneralSection(v, WithTitle(QStringLiteral("Version 2 Tool")));
    EXPECT_EQ(v[4], QStringLiteral("title=Version 2 Tool"));
    UpdateGeneralSection(v, WithTitle(QStringLiteral("Version 2 Tool")));
    EXPECT_EQ(v[1], QStringLiteral("title=Version 2 Tool"));
    EXPECT_EQ(v[5], QStringLiteral("version="));
    EXPECT_EQ(v[6], QStringLiteral("version="));
    EXPECT_EQ(FindEntryLine(v, QStringLiteral("TITLE")), 1);
    EXPECT_EQ(FindEntryLine(v, QStringLiteral("absent")), -1);
}

TEST(EntriesText, AWholeTextKeepsItsLastEmptyLineAndTakesNoneItDidNotHave)
{
    const QString body = QStringLiteral("[General]\nbuilddate=\ndescription=\nlanguage=\ntitle=X\nversion=\nwebsite=");
    EXPECT_EQ(UpdateGeneralSectionText(QStringLiteral("[General]\n"), WithTitle(QStringLiteral("X"))), body + "\n");
    EXPECT_EQ(UpdateGeneralSectionText(QStringLiteral("[General]\r\n\r\n"), WithTitle(QStringLiteral("X"))),
              body + "\n\n");
    EXPECT_EQ(UpdateGeneralSectionText(QStringLiteral("[General]"), WithTitle(QStringLiteral("X"))), body);
    EXPECT_EQ(UpdateGeneralSectionText(QString(), WithTitle(QStringLiteral("X"))), body);
}
