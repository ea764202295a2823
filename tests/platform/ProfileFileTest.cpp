#include "platform/ProfileFile.h"

#include "support/ScratchMount.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace pw;
using pwtest::ReadAll;

namespace {

QByteArray Get(const QString& path, const char* section, const char* key, const char* def = "dflt", int size = 2048)
{
    return GetPrivateProfileString(section, key, def, size, path);
}

}  // namespace

TEST(ProfileRead, NamesMatchWithoutCaseOrBlanksAndValuesAreTrimmed)
{
    pwtest::TempDir dir;
    const QString ini = dir.write("a.ini", "junk=before\r\n[ Main ]\r\n  Language  =  Português (Brasil)  \r\n"
                                           "k2 = a ; not a comment\r\nk3=x=y\r\n");
    EXPECT_EQ(Get(ini, "main", "language"), QByteArray("Portugu\xC3\xAAs (Brasil)"));
    EXPECT_EQ(Get(ini, " MAIN ", "  LANGUAGE "), QByteArray("Portugu\xC3\xAAs (Brasil)"));
    EXPECT_EQ(Get(ini, "Main", "k2"), "a ; not a comment");
    EXPECT_EQ(Get(ini, "Main", "k3"), "x=y");
    EXPECT_EQ(Get(ini, "Main", "junk"), "dflt");
}

TEST(ProfileRead, QuotesLineBreaksDuplicatesAndDefaults)
{
    pwtest::TempDir dir;
    const QString ini = dir.write("a.ini", "[S]\rq=\"  inner  \"\ns='single'\r\nu=\"unbalanced\nempty=\nnoequals\n"
                                           "dup=first\ndup=second\n[S]\nlater=x\n[T]\nt=1");
    EXPECT_EQ(Get(ini, "S", "q"), "  inner  ");
    EXPECT_EQ(Get(ini, "S", "s"), "single");
    EXPECT_EQ(Get(ini, "S", "u"), "\"unbalanced");
    EXPECT_EQ(Get(ini, "S", "empty"), "");
    EXPECT_EQ(Get(ini, "S", "noequals"), "dflt");
    EXPECT_EQ(Get(ini, "S", "dup"), "first");
    EXPECT_EQ(Get(ini, "S", "later"), "dflt") << "only the first section of a name is searched";
    EXPECT_EQ(Get(ini, "T", "t"), "1");
    EXPECT_EQ(Get(ini, "S", "missing", "  keep leading, drop trailing  "), "  keep leading, drop trailing");
    EXPECT_EQ(Get(dir.path("none.ini"), "S", "q"), "dflt");
}

TEST(ProfileRead, TruncatesToTheBufferLessOne)
{
    pwtest::TempDir dir;
    const QString ini = dir.write("a.ini", "[S]\nlong=" + QByteArray(3000, 'x') + "\nshort=val1\n");
    EXPECT_EQ(Get(ini, "S", "long").size(), 2047);
    EXPECT_EQ(Get(ini, "S", "short", "", 4), "val");
    EXPECT_EQ(Get(ini, "S", "short", "", 1), "");
}

TEST(ProfileRead, Utf16FileIsConvertedToTheCodePage)
{
    pwtest::TempDir dir;
    const QString text = QStringLiteral("[S]\r\nk=Olá € 中\r\n");
    QByteArray raw("\xFF\xFE");
    raw.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    const QString ini = dir.write("u.ini", raw);
    EXPECT_EQ(Get(ini, "S", "k"), QByteArray("Ol\xE1 \x80 ?"));
}

TEST(ProfileWrite, CreatesFileSectionAndKeyWithCrLf)
{
    pwtest::TempDir dir;
    const QString ini = dir.path("config.qmr");
    ASSERT_TRUE(WritePrivateProfileString("Main", QByteArray("Language"), QByteArray("Portugu\xEAs (Brasil)"), ini));
    EXPECT_EQ(ReadAll(ini), QByteArray("[Main]\r\nLanguage=Portugu\xEAs (Brasil)\r\n"));
    ASSERT_TRUE(WritePrivateProfileString("Other", QByteArray("k"), QByteArray("v"), ini));
    EXPECT_EQ(ReadAll(ini), QByteArray("[Main]\r\nLanguage=Portugu\xEAs (Brasil)\r\n[Other]\r\nk=v\r\n"));
}

TEST(ProfileWrite, ReplacesInPlaceAndKeepsEveryOtherByte)
{
    pwtest::TempDir dir;
    const QByteArray before = "; comment\n\n[main]\n  LANGUAGE = old  \nkeep = 1\n\n[Next]\nx=1";
    const QString ini = dir.write("c.ini", before);
    ASSERT_TRUE(WritePrivateProfileString("Main", QByteArray("Language"), QByteArray("English"), ini));
    EXPECT_EQ(ReadAll(ini), QByteArray("; comment\n\n[main]\nLANGUAGE=English\nkeep = 1\n\n[Next]\nx=1"));
    ASSERT_TRUE(WritePrivateProfileString("main", QByteArray("new"), QByteArray(""), ini));
    EXPECT_EQ(ReadAll(ini), QByteArray("; comment\n\n[main]\nLANGUAGE=English\nkeep = 1\nnew=\r\n\n[Next]\nx=1"));
    ASSERT_TRUE(WritePrivateProfileString("Next", QByteArray("y"), QByteArray("2"), ini));
    EXPECT_EQ(ReadAll(ini).right(13), QByteArray("[Next]\nx=1\r\ny=2\r\n").right(13));
}

TEST(ProfileWrite, DeletesKeysAndSections)
{
    pwtest::TempDir dir;
    const QString ini = dir.write("c.ini", "[A]\r\na=1\r\nb=2\r\n[B]\r\nc=3\r\n");
    ASSERT_TRUE(WritePrivateProfileString("A", QByteArray("a"), std::nullopt, ini));
    EXPECT_EQ(ReadAll(ini), QByteArray("[A]\r\nb=2\r\n[B]\r\nc=3\r\n"));
    ASSERT_TRUE(WritePrivateProfileString("a", std::nullopt, std::nullopt, ini));
    EXPECT_EQ(ReadAll(ini), QByteArray("[B]\r\nc=3\r\n"));
}

TEST(ProfileWrite, FailsWithoutCreatingFoldersAndKeepsReadOnlyFiles)
{
    pwtest::TempDir dir;
    int error = 0;
    EXPECT_FALSE(WritePrivateProfileString("S", QByteArray("k"), QByteArray("v"), dir.path("missing/c.ini"), &error));
    EXPECT_NE(error, 0);
    EXPECT_FALSE(pwtest::Exists(dir.path("missing")));

    pwtest::ScratchMount mount(1 << 20);
    PW_REQUIRE_MOUNT(mount);
    const QString ini = mount.path("ro.ini");
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[S]\r\nk=old\r\n");
    f.close();
    ASSERT_TRUE(mount.makeReadOnly());
    EXPECT_FALSE(WritePrivateProfileString("S", QByteArray("k"), QByteArray("new"), ini));
    EXPECT_EQ(ReadAll(ini), QByteArray("[S]\r\nk=old\r\n"));
}

TEST(ProfileWrite, FullDiskKeepsTheOldContent)
{
    pwtest::ScratchMount disk(64 * 1024);
    PW_REQUIRE_MOUNT(disk);
    const QString ini = disk.path("config.qmr");
    QByteArray before = "[Language]\r\nName=English\r\n[Padding]\r\n";
    for (int i = 0; i < 1000; ++i)
        before += "key" + QByteArray::number(i) + "=value\r\n";
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(before), before.size());
    f.close();
    disk.fillUp();

    int error = 0;
    EXPECT_FALSE(WritePrivateProfileString("Language", QByteArray("Name"), QByteArray("Deutsch"), ini, &error));
    EXPECT_NE(error, 0);
    EXPECT_EQ(ReadAll(ini), before);
}
