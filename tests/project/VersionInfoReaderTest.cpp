#include "platform/HostFolders.h"
#include "platform/version/VersionApi.h"
#include "project/VersionInfoReader.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using pw::VersionInfoReader;

QString Fixture(const char* name)
{
    return QStringLiteral(PW_VERSION_FIXTURES "/") + QLatin1String(name);
}

// The names below are those of a program that speaks English.
const bool kEnglishNames = (pw::SetLanguageNameLocale("en"), true);

// Sets the system code page for the life of the object.
class CodePageScope {
public:
    explicit CodePageScope(const char* codePage) { setenv("PACKWRIGHT_CODEPAGE", codePage, 1); }
    ~CodePageScope() { unsetenv("PACKWRIGHT_CODEPAGE"); }
};

TEST(VersionInfoReader, AnswersFromTheFirstTranslationOnly)
{
    VersionInfoReader reader;
    reader.SetFileName(Fixture("two-translations-pe32plus.exe"));
    ASSERT_TRUE(reader.HasVersionData());
    EXPECT_EQ(reader.TranslationIndex(), 0);
    EXPECT_EQ(reader.TranslationKey(), QStringLiteral("041604E4"));
    EXPECT_EQ(reader.StringValue(VersionInfoReader::Comments), QStringLiteral("Instalação silenciosa"));
    EXPECT_EQ(reader.StringValue(VersionInfoReader::ProductVersion), QStringLiteral("5.6.7.8"));
    EXPECT_EQ(reader.LanguageName(), QStringLiteral("Portuguese (Brazil)"));
    // Present but empty, and missing from this table though the second table has it: both empty.
    EXPECT_EQ(reader.StringValue(VersionInfoReader::ProductName), QString());
    EXPECT_EQ(reader.StringValue(VersionInfoReader::PrivateBuild), QString());
}

TEST(VersionInfoReader, ForgetsTheEarlierFileWhenTheNextHasNoVersionData)
{
    VersionInfoReader reader;
    reader.SetFileName(Fixture("all-names-pe32.exe"));
    ASSERT_FALSE(reader.StringValue(VersionInfoReader::ProductVersion).isEmpty());
    for (const char* other : {"no-version-pe32.exe", "not-pe.exe", "truncated-pe32.exe", "missing.exe"}) {
        reader.SetFileName(Fixture(other));
        EXPECT_FALSE(reader.HasVersionData()) << other;
        EXPECT_EQ(reader.TranslationIndex(), -1) << other;
        EXPECT_EQ(reader.TranslationKey(), QString()) << other;
        EXPECT_EQ(reader.LanguageName(), QString()) << other;
        for (int i = 0; i < VersionInfoReader::StringNameCount; ++i)
            EXPECT_EQ(reader.StringValue(i), QString()) << other << " " << i;
    }
}

TEST(VersionInfoReader, WithoutTranslationArrayHasDataButNoStrings)
{
    VersionInfoReader reader;
    reader.SetFileName(Fixture("no-translation-pe32plus.exe"));
    EXPECT_TRUE(reader.HasVersionData());
    EXPECT_EQ(reader.TranslationIndex(), -1);
    EXPECT_EQ(reader.TranslationKey(), QString());
    EXPECT_EQ(reader.StringValue(VersionInfoReader::ProductName), QString());
    EXPECT_EQ(reader.LanguageName(), QStringLiteral("Language Neutral"));
}

TEST(VersionInfoReader, EmptyNameReadsTheRunningProgram)
{
    VersionInfoReader reader;
    EXPECT_EQ(reader.FileName(), pw::ProgramFilePath());
    reader.SetFileName(Fixture("all-names-pe32.exe"));
    reader.SetFileName(QString());
    EXPECT_EQ(reader.FileName(), pw::ProgramFilePath());
    EXPECT_FALSE(reader.HasVersionData());  // this test program is no PE file
}

TEST(VersionInfoReader, IndexesOutsideTheNameTableAreEmpty)
{
    VersionInfoReader reader;
    reader.SetFileName(Fixture("all-names-pe32.exe"));
    EXPECT_EQ(reader.StringValue(-1), QString());
    EXPECT_EQ(reader.StringValue(VersionInfoReader::StringNameCount), QString());
}

TEST(VersionInfoReader, TextsComeThroughTheSystemCodePage)
{
    VersionInfoReader reader;
    {
        const CodePageScope cyrillic("1251");
        reader.SetFileName(Fixture("all-names-pe32.exe"));
        EXPECT_EQ(reader.StringValue(VersionInfoReader::ProductName), QStringLiteral("Пример Продукт"));
        EXPECT_EQ(reader.LanguageName(), QStringLiteral("Russian (Russia)"));
        reader.SetFileName(Fixture("two-translations-pe32.exe"));
        EXPECT_EQ(reader.StringValue(VersionInfoReader::FileDescription), QStringLiteral("Aplica??o de teste"));
    }
    reader.SetFileName(Fixture("all-names-pe32.exe"));
    EXPECT_EQ(reader.StringValue(VersionInfoReader::ProductName), QStringLiteral("?????? ???????"));
}

TEST(VersionInfoReader, DemoInstallerFillsTheFiveFields)
{
    VersionInfoReader reader;
    reader.SetFileName(QStringLiteral(PW_SAMPLES "/DemoApp/setup.exe"));
    EXPECT_EQ(reader.StringValue(VersionInfoReader::ProductName), QStringLiteral("Packwright Demo"));
    EXPECT_EQ(reader.StringValue(VersionInfoReader::ProductVersion), QStringLiteral("1.0"));
    EXPECT_EQ(reader.StringValue(VersionInfoReader::Comments), QStringLiteral("Programa de demonstração do Packwright"));
    EXPECT_EQ(reader.StringValue(VersionInfoReader::PrivateBuild), QStringLiteral("08/12/2026"));
    EXPECT_EQ(reader.LanguageName(), QStringLiteral("Portuguese (Brazil)"));
}

TEST(VersionInfoReader, PrefersUsEnglishAmongResourceLanguages)
{
    VersionInfoReader reader;
    reader.SetFileName(Fixture("two-languages-pe32plus.exe"));
    EXPECT_EQ(reader.TranslationKey(), QStringLiteral("040904E4"));
    EXPECT_EQ(reader.StringValue(VersionInfoReader::ProductName), QStringLiteral("English product"));
}

}  // namespace
