// The registry files of a Wine prefix as the try reads them, from text as Wine 8 writes it.
#include "tryout/RegistryFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pw;

namespace {

// What wineserver saved after `reg add` of names and data outside ASCII, with quotes, brackets in the key,
// and every kind of value; and a binary value long enough to go on over three lines.
const char kUserReg[] = R"(WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

#arch=win64

[Environment] 1796764829
#time=1dd8759f4a26746
"TEMP"="C:\\users\\root\\Temp"

[Software\\T\xe9st \xfc \[x\]\\sub] 1796765434
#time=1dd875b5be28764
@="default"
"dw"=dword:0000000a
"exp"=str(2):"%TEMP%\\x"
"multi"=str(7):"a\0b\0"
"ctl"="a\tb\nc\\"
"n\xe4m\xe9 \"q\""="v\xe4lue\\path \"q\" \x65e5\x672c"
"bin"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,\
  18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,30,\
  31,32
)";

TEST(RegistryFile, ReadsKeysValuesAndWinesEscapes)
{
    const RegistryKeys keys = ParseRegistry(QString::fromUtf8(kUserReg));
    ASSERT_EQ(keys.size(), 2);
    EXPECT_EQ(keys.value(QStringLiteral("Environment")).value(QStringLiteral("TEMP")),
              QStringLiteral("\"C:\\\\users\\\\root\\\\Temp\""));
    const RegistryValues values = keys.value(QStringLiteral("Software\\Tést ü [x]\\sub"));
    ASSERT_EQ(values.size(), 7) << values.keys().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(ReadableData(values.value(QString())), QStringLiteral("default"));
    EXPECT_EQ(ReadableData(values.value(QStringLiteral("dw"))), QStringLiteral("10"));
    EXPECT_EQ(ReadableData(values.value(QStringLiteral("exp"))), QStringLiteral("%TEMP%\\x"));
    EXPECT_EQ(ReadableData(values.value(QStringLiteral("multi"))), QStringLiteral("a; b"));
    EXPECT_EQ(ReadableData(values.value(QStringLiteral("ctl"))), QStringLiteral("a\tb\nc\\"));
    EXPECT_EQ(ReadableData(values.value(QStringLiteral("nämé \"q\""))), QStringLiteral("välue\\path \"q\" 日本"));
    const QString binary = values.value(QStringLiteral("bin"));
    EXPECT_TRUE(binary.startsWith(QLatin1String("hex:01,02,"))) << binary.toStdString();
    EXPECT_TRUE(binary.endsWith(QLatin1String(",30,31,32"))) << binary.toStdString();
    EXPECT_FALSE(binary.contains(QLatin1Char('\\')));
    EXPECT_EQ(ReadableData(binary), binary);
}

TEST(RegistryFile, FileThatCannotBeReadHasNoKeys)
{
    pwtest::TempDir dir;
    EXPECT_TRUE(ReadRegistryFile(dir.path(QStringLiteral("missing.reg"))).isEmpty());
    EXPECT_EQ(ReadRegistryFile(dir.write(QStringLiteral("user.reg"), kUserReg)).size(), 2);
}

TEST(RegistryFile, ChangesBelowSoftwareOnly)
{
    RegistryKeys before;
    before[QStringLiteral("Software\\Kept")] = {{QStringLiteral("Same"), QStringLiteral("\"1\"")},
                                                {QStringLiteral("Changed"), QStringLiteral("dword:00000001")}};
    before[QStringLiteral("Software\\Wine\\Fonts")] = {};
    RegistryKeys after = before;
    after[QStringLiteral("Software\\Kept")][QStringLiteral("Changed")] = QStringLiteral("dword:00000002");
    after[QStringLiteral("Software\\Kept")][QStringLiteral("Added")] = QStringLiteral("\"new\"");
    after[QStringLiteral("Software\\Vendor\\App")] = {{QString(), QStringLiteral("\"C:\\\\App\"")}};
    after[QStringLiteral("Software\\Vendor\\Empty")] = {};
    // Wine's own configuration, keys outside Software and one that only begins like it.
    after[QStringLiteral("Software\\Wine\\Fonts")][QStringLiteral("Cache")] = QStringLiteral("\"x\"");
    after[QStringLiteral("SOFTWARE\\WINE\\X11 Driver")] = {{QStringLiteral("a"), QStringLiteral("\"b\"")}};
    after[QStringLiteral("System\\CurrentControlSet\\Services\\App")] = {
        {QStringLiteral("Start"), QStringLiteral("dword:00000002")}};
    after[QStringLiteral("SoftwareDistribution")] = {{QStringLiteral("a"), QStringLiteral("\"b\"")}};

    EXPECT_EQ(SoftwareChanges(before, after, QStringLiteral("HKLM")),
              (QStringList{QStringLiteral("HKLM\\Software\\Kept: Added = new"),
                           QStringLiteral("HKLM\\Software\\Kept: Changed = 2"),
                           QStringLiteral("HKLM\\Software\\Vendor\\App: @ = C:\\App"),
                           QStringLiteral("HKLM\\Software\\Vendor\\Empty")}));
    EXPECT_EQ(SoftwareChanges(after, after, QStringLiteral("HKCU")), QStringList());
}

}  // namespace
