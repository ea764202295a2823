#include "pipeline/EntriesFile.h"

#include "platform/Errors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace pw;

namespace {

BuildInputs Inputs(const QString& startFile, const QString& silentSwitch, bool compact)
{
    BuildInputs in;
    in.startFile = startFile;
    in.silentSwitch = silentSwitch;
    in.compact = compact;
    return in;
}

}  // namespace

TEST(EntriesFile, TheTwelveLineExampleByteForByte)
{
    pwtest::TempDir dir;
    BuildInputs in = Inputs(QStringLiteral("setup.exe"), QStringLiteral("/S"), true);
    in.dataDir = dir.path() + QLatin1Char('/');
    in.entriesText = QStringLiteral("[General]\nbuilddate=\ndescription=\nlanguage=\ntitle=Foo\nversion=1.0\n"
                                    "website=\n\n[EditFile]\nI386\\SVCPACK.INF,SetupHotfixesToRun,AddProgram");
    EXPECT_EQ(WriteEntriesFile(in, QStringLiteral("MyApp"), in.dataDir), QStringLiteral("ENTRIES_MYAPP.ini"));
    EXPECT_EQ(pwtest::ReadAll(dir.path("ENTRIES_MYAPP.ini")),
              QByteArray("[General]\r\nbuilddate=\r\ndescription=\r\nlanguage=\r\ntitle=Foo\r\nversion=1.0\r\n"
                         "website=\r\n\r\n[EditFile]\r\nI386\\SVCPACK.INF,SetupHotfixesToRun,AddProgram\r\n"
                         "[AddProgram]\r\nMyApp.exe\r\n"));
}

TEST(EntriesFile, CommandLinesByStartFileKind)
{
    const struct {
        const char* start;
        const char* sw;
        const char* line;
    } cases[] = {
        {"setup.exe", "/S", "setup.exe /S"},
        {"setup.exe", "", "setup.exe"},
        {"Setup.MSI", "", "msistub.exe Setup.MSI /qb-!"},
        {"app.msi", "/norestart", "msistub.exe app.msi /norestart /qb-!"},
        {"install.cmd", "", "batchrunner.exe install.cmd"},
        {"SETUP.BAT", "/x", "batchrunner.exe SETUP.BAT /x"},
        {"driver.inf", "", "infrunner.exe driver.inf"},
        {"driver.inf", "/S", "infrunner.exe driver.inf"},  // the field is disabled: its text never counts
        {"tool.com", "-q", "tool.com -q"},
        {"My Setup.exe", "", "My Setup.exe"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AddProgramCommand(Inputs(c.start, c.sw, false), QStringLiteral("Out")), QString::fromUtf8(c.line))
            << c.start;
        EXPECT_EQ(AddProgramCommand(Inputs(c.start, c.sw, true), QStringLiteral("Out")), QStringLiteral("Out.exe"));
    }
}

TEST(EntriesFile, NameUpperCasesOnlyAsciiLetters)
{
    EXPECT_EQ(EntriesFileName(QStringLiteral("My App")), QStringLiteral("ENTRIES_MY APP.ini"));
    EXPECT_EQ(EntriesFileName(QStringLiteral("ação-1")), QStringLiteral("ENTRIES_AçãO-1.ini"));
}

TEST(EntriesFile, TrailingBreaksOfTheTextAndAnEmptyText)
{
    BuildInputs in = Inputs(QStringLiteral("a.exe"), QString(), false);
    in.entriesText = QStringLiteral("x\n");
    EXPECT_EQ(EntriesFileLines(in, QStringLiteral("o")), (QStringList{"x", "[AddProgram]", "a.exe"}));
    in.entriesText = QStringLiteral("x\r\n\r\n");
    EXPECT_EQ(EntriesFileLines(in, QStringLiteral("o")), (QStringList{"x", "", "[AddProgram]", "a.exe"}));
    in.entriesText.clear();
    EXPECT_EQ(EntriesFileLines(in, QStringLiteral("o")), (QStringList{"[AddProgram]", "a.exe"}));
}

TEST(EntriesFile, WrittenInTheSystemCodePageAndReportedWhenItCannotBe)
{
    pwtest::TempDir dir;
    BuildInputs in = Inputs(QStringLiteral("instalação.exe"), QString(), false);
    WriteEntriesFile(in, QStringLiteral("o"), dir.path() + QLatin1Char('/'));
    EXPECT_TRUE(pwtest::ReadAll(dir.path("ENTRIES_O.ini")).endsWith("instala\xE7\xE3o.exe\r\n"));
    EXPECT_EQ(pwtest::ReadAll(dir.path("ENTRIES_O.ini")), EntriesFileBytes(in, QStringLiteral("o")));

    const QString missing = dir.path("missing/");
    try {
        WriteEntriesFile(in, QStringLiteral("o"), missing);
        FAIL() << "a missing folder must raise";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot create file \"%1ENTRIES_O.ini\". ").arg(missing)));
        EXPECT_EQ(e.error, ENOENT) << "the system's error comes with it";
    }
}
