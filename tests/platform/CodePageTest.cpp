#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace pw;

TEST(CodePage, Windows1252ByDefaultAndOverriddenByTheEnvironment)
{
    unsetenv("PACKWRIGHT_CODEPAGE");
    EXPECT_EQ(SystemCodePage(), 1252);
    EXPECT_EQ(UnicodeToAnsi(QStringLiteral("ação €")), QByteArray("a\xE7\xE3o \x80"));
    EXPECT_EQ(AnsiToUnicode(QByteArray("a\xE7\xE3o \x80")), QStringLiteral("ação €"));
    EXPECT_EQ(UnicodeToAnsi(QStringLiteral("中")), QByteArray("?"));

    setenv("PACKWRIGHT_CODEPAGE", "1251", 1);
    EXPECT_EQ(SystemCodePage(), 1251);
    EXPECT_EQ(UnicodeToAnsi(QStringLiteral("Жук")), QByteArray("\xC6\xF3\xEA"));
    setenv("PACKWRIGHT_CODEPAGE", "99999", 1);
    EXPECT_EQ(SystemCodePage(), 1252) << "an unknown code page falls back to the default";
    unsetenv("PACKWRIGHT_CODEPAGE");
    EXPECT_TRUE(IsKnownCodePage(932));
}
