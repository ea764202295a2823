// The module's reading of the configuration block, fed with what the build's own SfxConfig writes.
#include "SfxTestSupport.h"
#include "windows/WideText.h"

#include <gtest/gtest.h>

using namespace pw;
using namespace pwtest;

namespace {

TEST(SfxBlock, ReadsEverythingTheBuildWrites)
{
    BuildInputs in = StartFile(QStringLiteral("Instalação.EXE"), QStringLiteral("/S /v\"/qn\""), 2);
    in.shortcuts = {MakeShortcutEntry("Área de trabalho", 0, 1, "app\\run.exe", "", "", "", ""),
                    MakeShortcutEntry("Inicialização", 3, 4, "x.exe", "-a", "Pasta\\Sub", "Descrição ;!@InstallEnd@!",
                                      "Nome")};
    const QByteArray block = SfxConfig(in);
    ReadBlock read(WithArchive(block));
    ASSERT_EQ(read.result, SFX_BLOCK_OK);
    EXPECT_EQ(U8(read.config.runProgram), "Instalação.EXE /S /v\"/qn\"");
    EXPECT_TRUE(read.config.hidden);
    EXPECT_EQ(read.config.overwriteMode, 2);
    ASSERT_EQ(read.config.shortcutCount, 2u);
    EXPECT_EQ(U8(read.config.shortcuts[0]), "Du,{%ProgramFiles%\\\\app\\\\run.exe},{},{},{},{}");
    EXPECT_EQ(U8(read.config.shortcuts[1]),
              "Tu,{\"%UserDesktop%\\\\x.exe},{-a},{Pasta\\Sub},{Descrição ;!@InstallEnd@!},{Nome}");
    EXPECT_EQ(read.config.archiveOffset, size_t(block.size()));
}

TEST(SfxBlock, ReadsEachKindOfStartFile)
{
    struct Case {
        const char* startFile;
        const char* runProgram;
        bool hidden;
    } cases[] = {{"install.bat", "batchrunner install.bat -s hidcon", false},
                 {"my setup.msi", "msistub my setup.msi -s /qb-!", false},
                 {"driver.inf", "infrunner driver.inf", false},
                 {"tool.com", "tool.com -s", false},
                 {"setup.exe", "setup.exe -s", true}};
    for (const Case& c : cases) {
        ReadBlock read(WithArchive(SfxConfig(StartFile(c.startFile, "-s", 1))));
        ASSERT_EQ(read.result, SFX_BLOCK_OK) << c.startFile;
        EXPECT_EQ(U8(read.config.runProgram), c.runProgram);
        EXPECT_EQ(bool(read.config.hidden), c.hidden) << c.startFile;
        EXPECT_EQ(read.config.overwriteMode, 1);
        EXPECT_EQ(read.config.shortcutCount, 0u);
    }
}

TEST(SfxBlock, AnyLineBreakSeparatesLines)
{
    BuildInputs in = StartFile("setup.exe", "/S", 2);
    for (int i = 0; i < 40; ++i)
        in.shortcuts << MakeShortcutEntry("Local", i % 4, 1, QStringLiteral("app%1.exe").arg(i), "", "", "", "");
    const QByteArray block = SfxConfig(in);
    for (const char* separator : {"\r\n", "\n", "\r", "\n\r\n\r", "\r\r"}) {
        QByteArray other = block;
        other.replace("\n\r", separator);
        ReadBlock read(WithArchive(other));
        ASSERT_EQ(read.result, SFX_BLOCK_OK) << separator;
        EXPECT_EQ(U8(read.config.runProgram), "setup.exe /S");
        EXPECT_TRUE(read.config.hidden);
        EXPECT_EQ(read.config.overwriteMode, 2);
        // Each Shortcut line takes a place of the list, however its lines are broken.
        ASSERT_EQ(read.config.shortcutCount, 40u) << separator;
        EXPECT_EQ(U8(read.config.shortcuts[39]), "Tu,{%ProgramFiles%\\\\app39.exe},{},{},{},{}") << separator;
    }
    // Line breaks between the end marker and the archive are passed over.
    ReadBlock read(WithArchive(block + "\r\n"));
    EXPECT_EQ(read.config.archiveOffset, size_t(block.size() + 2));
}

TEST(SfxBlock, PassesOverUnknownKeysAndTakesTheLastOfRepeatedOnes)
{
    ReadBlock read(WithArchive(";!@Install@!UTF-8!\n"
                               "Title=\"Not read\"\n"
                               "; RunProgram=\"commented.exe\"\n"
                               "no equals sign here\n"
                               "RunProgram=\"first.exe\"\n"
                               "  runprogram =  \"  last.exe  \"  \n"
                               "GUIMode=\"1\"\n"
                               "OverwriteMode=3\n"
                               "BeginPrompt=\"Install?\"\n"
                               ";!@InstallEnd@!"));
    ASSERT_EQ(read.result, SFX_BLOCK_OK);
    EXPECT_EQ(U8(read.config.runProgram), "  last.exe  ");
    EXPECT_FALSE(read.config.hidden);
    EXPECT_EQ(read.config.overwriteMode, 0);
}

TEST(SfxBlock, SaysWhatIsWrongWithADamagedBlock)
{
    const QByteArray block = SfxConfig(StartFile("setup.exe"));
    EXPECT_EQ(ReadBlock("").result, SFX_BLOCK_NO_BLOCK);
    EXPECT_EQ(ReadBlock(WithArchive("MZ" + block)).result, SFX_BLOCK_NO_BLOCK);
    EXPECT_EQ(ReadBlock(block.left(block.size() - 3)).result, SFX_BLOCK_NO_END);
    EXPECT_EQ(ReadBlock(WithArchive(block.left(block.size() - 3))).result, SFX_BLOCK_NO_END);
    EXPECT_EQ(ReadBlock(block + "PK\x03\x04 a zip archive").result, SFX_BLOCK_NO_ARCHIVE);
    EXPECT_EQ(ReadBlock(block + "7z\xBC").result, SFX_BLOCK_NO_ARCHIVE);
    QByteArray notUtf8 = block;
    notUtf8.replace("setup", "set\xFFup");
    EXPECT_EQ(ReadBlock(WithArchive(notUtf8)).result, SFX_BLOCK_NOT_UTF8);
    for (SfxBlockResult result : {SFX_BLOCK_NO_BLOCK, SFX_BLOCK_NO_END, SFX_BLOCK_NO_ARCHIVE, SFX_BLOCK_NOT_UTF8})
        EXPECT_GT(strlen(SfxBlock_Message(result)), 20u);
}

TEST(SfxBlock, WithoutItsArchiveTheBlockStillSaysWhetherAWindowMayShow)
{
    BuildInputs in = StartFile("setup.exe", "/S");
    in.shortcuts = {MakeShortcutEntry("Local", 0, 1, "a.exe", "", "", "Descrição ;!@InstallEnd@!", "")};
    ReadBlock cut(SfxConfig(in));
    EXPECT_EQ(cut.result, SFX_BLOCK_NO_ARCHIVE);
    EXPECT_TRUE(cut.config.hidden);
    EXPECT_EQ(U8(cut.config.runProgram), "setup.exe /S");
    EXPECT_EQ(cut.config.shortcutCount, 1u);
}

TEST(SfxBlock, TheEndMarkerCountsOnlyWhereAnArchiveFollows)
{
    // A marker at a line start with no archive after it is text of the block (a hand-made one here: the
    // build writes no line breaks inside values).
    ReadBlock read(WithArchive(";!@Install@!UTF-8!\nRunProgram=\"a.exe\"\n;!@InstallEnd@! not yet\n"
                               "GUIMode=\"2\"\n;!@InstallEnd@!"));
    ASSERT_EQ(read.result, SFX_BLOCK_OK);
    EXPECT_TRUE(read.config.hidden);
}

TEST(SfxBlock, AnEmptyBlockRunsNothing)
{
    ReadBlock read(WithArchive(";!@Install@!UTF-8!\n;!@InstallEnd@!"));
    ASSERT_EQ(read.result, SFX_BLOCK_OK);
    EXPECT_EQ(read.config.runProgram, nullptr);
}

}  // namespace
