#include "language/LanguageFile.h"

#include "language/LanguageTexts.h"
#include "pipeline/BuildTexts.h"
#include "platform/CodePage.h"
#include "project/installer/InstallerSwitches.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pw;

TEST(LanguageCharset, NamesMatchExactlyAndEverythingElseIsTheDefaultSet)
{
    EXPECT_EQ(CharsetFromName("Russian"), 204);
    EXPECT_EQ(CharsetFromName("russian"), 1);
    EXPECT_EQ(CharsetFromName("ANSI"), 0);
    EXPECT_EQ(CharsetFromName("Mac"), 77);
    EXPECT_EQ(CharsetFromName("OEM"), 255);
    EXPECT_EQ(CharsetFromName("Default"), 1);
    EXPECT_EQ(CharsetFromName(""), 1);
    EXPECT_EQ(CharsetFromName("Russian "), 1);
}

TEST(LanguageCharset, NamedSetsDecodeThroughCodePagesThisHostKnows)
{
    // Johab (code page 1361) is left out: this host's ICU has no converter for it, and its texts fall back to
    // the Western page.
    for (const char* name : {"ANSI", "Symbol", "Shiftjis", "Hangeul", "GB2312", "ChineseBig5", "OEM", "Baltic",
                             "Hebrew", "Arabic", "Greek", "Turkish", "Vietnamese", "Thai", "Russian", "Mac", "Default"})
        EXPECT_TRUE(IsKnownCodePage(CodePageOfCharset(CharsetFromName(name)))) << name;
    EXPECT_EQ(CodePageOfCharset(CharsetFromName("Russian")), 1251);
    EXPECT_EQ(CodePageOfCharset(CharsetFromName("Default")), SystemCodePage());
}

TEST(LanguageFileRead, ValuesFollowTheProfileRules)
{
    pwtest::TempDir dir;
    const QString path = dir.write("Test.qmr", "[ strings ]\r\n"
                                                "  ITITLE  =   T\xEDtulo   \r\n"
                                                "iName=\"  spaced  \"\r\n"
                                                "iAdd='single'\r\n"
                                                "iDelete=\"unbalanced\r\n"
                                                "iClose\r\n"
                                                "iLong=" + QByteArray(3000, 'x') + "\r\n");
    const LanguageFile file(path);
    EXPECT_EQ(file.String("iTitle", "d"), QStringLiteral("Título"));
    EXPECT_EQ(file.String("iName", "d"), QStringLiteral("  spaced  "));
    EXPECT_EQ(file.String("iAdd", "d"), QStringLiteral("single"));
    EXPECT_EQ(file.String("iDelete", "d"), QStringLiteral("\"unbalanced"));
    EXPECT_EQ(file.String("iClose", "default"), QStringLiteral("default"));
    EXPECT_EQ(file.String("iLong", "d"), QString(2047, QLatin1Char('x')));
    EXPECT_EQ(file.String("iMissing", "Padrão"), QStringLiteral("Padrão"));
    EXPECT_EQ(file.Info("iTitle", "not in Info"), QStringLiteral("not in Info"));
    EXPECT_EQ(file.Charset(), 1);
}

TEST(LanguageFileRead, AnEmptyValueIsAValueNotADefault)
{
    pwtest::TempDir dir;
    const LanguageFile file(dir.write("Test.qmr", "[Strings]\r\niTitle=\r\n"));
    EXPECT_EQ(file.String("iTitle", "Título:"), QString());
}

TEST(LanguageFileRead, NoNameOrNoFileGivesEveryDefault)
{
    pwtest::TempDir dir;
    dir.write("languages/.qmr", "[Strings]\r\niTitle=hidden\r\n");
    EXPECT_EQ(LanguageFilePath(dir.path("/"), QString()), QString());
    EXPECT_EQ(LanguageFilePath(QStringLiteral("/app/"), QStringLiteral("English")), QStringLiteral("/app/languages/English.qmr"));
    for (const QString& path : {QString(), dir.path("languages/Missing.qmr")}) {
        const LanguageFile file(path);
        EXPECT_EQ(file.String("iTitle", "Título:"), QStringLiteral("Título:"));
        EXPECT_EQ(file.Charset(), 1);
    }
}

// Each installer kind is named by the key of its own switch-table section, "iKind" and the section: a
// file that names every kind by its section shows each kind under its own name.
TEST(LanguageTexts, EachInstallerKindIsNamedByTheKeyOfItsSection)
{
    pwtest::TempDir dir;
    QByteArray content = "[Strings]\r\n";
    for (const InstallerKind kind : kAllInstallerKinds)
        content += "iKind" + InstallerSection(kind).toLatin1() + '=' + InstallerSection(kind).toLatin1() + "\r\n";
    const BuildTexts texts = LoadBuildTexts(LanguageFile(dir.write("Kinds.qmr", content)));
    for (const InstallerKind kind : kAllInstallerKinds)
        EXPECT_EQ(InstallerKindName(texts, kind), InstallerSection(kind));
}
