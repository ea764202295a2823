// The file a command line starts with, found as the add-on's own programs find it.
#include "tryout/CommandFile.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace pw;

namespace {

CommandFile Lead(const QString& command, const QStringList& files = {})
{
    return LeadingFile(command, [&](const QString& name) { return files.contains(name); });
}

TEST(CommandFile, UnquotedNameWithBlanksIsTheLongestThatExists)
{
    const QStringList files = {QStringLiteral("my"), QStringLiteral("my setup.exe"), QStringLiteral("my setup.exe /S")};
    CommandFile lead =
        Lead(QStringLiteral("my setup.exe /S /D=x"), {QStringLiteral("my"), QStringLiteral("my setup.exe")});
    EXPECT_EQ(lead.file, QStringLiteral("my setup.exe"));
    EXPECT_EQ(lead.rest, QStringLiteral("/S /D=x"));
    EXPECT_TRUE(lead.known);
    lead = Lead(QStringLiteral("my setup.exe /S"), files);
    EXPECT_EQ(lead.file, QStringLiteral("my setup.exe /S"));
    EXPECT_EQ(lead.rest, QString());
}

TEST(CommandFile, QuotedFirstArgumentIsTheFileWhateverFollows)
{
    CommandFile lead = Lead(QStringLiteral("  \"a b.msi\"   /qn x"), {QStringLiteral("a b.msi")});
    EXPECT_EQ(lead.file, QStringLiteral("a b.msi"));
    EXPECT_EQ(lead.rest, QStringLiteral("/qn x"));
    EXPECT_TRUE(lead.known);
    lead = Lead(QStringLiteral("\"unclosed name"), {});
    EXPECT_EQ(lead.file, QStringLiteral("unclosed name"));
    EXPECT_FALSE(lead.known);
}

TEST(CommandFile, WithoutAFileTheFirstWordStandsForIt)
{
    CommandFile lead = Lead(QStringLiteral("cmd /c exit\t3"));
    EXPECT_EQ(lead.file, QStringLiteral("cmd"));
    EXPECT_EQ(lead.rest, QStringLiteral("/c exit\t3"));
    EXPECT_FALSE(lead.known);
    lead = Lead(QStringLiteral("   "));
    EXPECT_TRUE(lead.file.isEmpty());
    EXPECT_FALSE(lead.known);
}

}  // namespace
