// The module's reading of Shortcut lines, fed with the lines the build writes for the shortcut rows.
#include "Shortcut.h"

#include "SfxTestSupport.h"
#include "windows/WideText.h"

#include <gtest/gtest.h>

using namespace pw;
using namespace pwtest;

namespace {

// The Shortcut line the build writes for one row, as the module reads it out of the block.
std::u16string LineFor(int location, int folder, const QString& target, const QString& parameters = {},
                       const QString& subfolder = {}, const QString& description = {}, const QString& name = {})
{
    BuildInputs in = StartFile("setup.exe");
    in.shortcuts = {MakeShortcutEntry("Local", location, folder, target, parameters, subfolder, description, name)};
    ReadBlock read(WithArchive(SfxConfig(in)));
    if (read.result != SFX_BLOCK_OK || read.config.shortcutCount != 1)
        return u"(no line)";
    return reinterpret_cast<const char16_t*>(read.config.shortcuts[0]);
}

struct Parsed {
    SfxShortcut shortcut{};
    int ok;
    explicit Parsed(const std::u16string& line) : ok(SfxShortcut_Read(W(line.c_str()), &shortcut)) {}
    Parsed(const Parsed&) = delete;
    Parsed& operator=(const Parsed&) = delete;
    ~Parsed() { SfxShortcut_Free(&shortcut); }
    std::string target() const { return U8(RtText_Z(&shortcut.target)); }

    std::string TargetPath() const
    {
        static const PwChar* const folders[SFX_FOLDER_COUNT] = {
            nullptr,           W(u"C:\\Program Files"), W(u"C:\\Docs"), W(u"C:\\My Docs"), W(u"C:\\Desk"),
            W(u"D:\\setup"), W(u"C:\\Temp\\pw-1")};
        Text path;
        SfxShortcut_TargetPath(&shortcut, folders, path.get());
        return path.str();
    }
    std::string LinkPath() const
    {
        Text path;
        return SfxShortcut_LinkPath(&shortcut, W(u"C:\\Menu\\"), path.get()) ? path.str() : "(none)";
    }
};

TEST(SfxShortcut, EachFolderCodeGivesItsFolder)
{
    const char* expected[] = {"C:\\Temp\\pw-1\\app\\run.exe", "C:\\Program Files\\app\\run.exe", "C:\\Docs\\app\\run.exe",
                              "C:\\My Docs\\app\\run.exe",     "C:\\Desk\\app\\run.exe",          "D:\\setup\\app\\run.exe",
                              "C:\\Temp\\pw-1\\app\\run.exe"};
    for (int code = 0; code <= 6; ++code) {
        Parsed parsed(LineFor(0, code, "app\\run.exe"));
        ASSERT_TRUE(parsed.ok) << code;
        EXPECT_EQ(parsed.shortcut.folder, SfxFolder(code));
        EXPECT_EQ(parsed.target(), "app\\run.exe") << code;
        EXPECT_EQ(parsed.TargetPath(), expected[code]) << code;
    }
    // Without a token an absolute target stands as it is, backslashes made single again.
    EXPECT_EQ(Parsed(LineFor(0, 0, "C:\\Apps\\run.exe")).TargetPath(), "C:\\Apps\\run.exe");
    EXPECT_EQ(Parsed(LineFor(0, 0, "\\\\server\\share\\run.exe")).TargetPath(), "\\\\server\\share\\run.exe");
    // A token alone names its folder.
    EXPECT_EQ(Parsed(LineFor(0, 1, "")).TargetPath(), "C:\\Program Files");
}

TEST(SfxShortcut, EachLocationCodeGivesItsPlace)
{
    for (int code = 0; code <= 3; ++code) {
        Parsed parsed(LineFor(code, 1, "a.exe"));
        ASSERT_TRUE(parsed.ok);
        EXPECT_EQ(parsed.shortcut.place, SfxPlace(code));
        EXPECT_TRUE(parsed.shortcut.currentUser);
    }
    // The build writes no letter for a location it does not know: there is nowhere to put the shortcut.
    EXPECT_FALSE(Parsed(LineFor(7, 1, "a.exe")).ok);
    EXPECT_FALSE(Parsed(u"Du no braces").ok);
}

TEST(SfxShortcut, FieldsKeepTheirBracesAndQuotes)
{
    Parsed parsed(LineFor(2, 5, "bin\\\"tool\".exe", "-a \"x y\" {z}", "\"Pasta\\Sub\"", "Descrição },{ {odd}",
                          "Nome \"x\""));
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.target(), "bin\\tool.exe");
    EXPECT_EQ(U8(RtText_Z(&parsed.shortcut.parameters)), "-a \"x y\" {z}");
    EXPECT_EQ(U8(RtText_Z(&parsed.shortcut.subfolder)), "Pasta\\Sub");
    EXPECT_EQ(U8(RtText_Z(&parsed.shortcut.description)), "Descrição },{ {odd}");
    EXPECT_EQ(U8(RtText_Z(&parsed.shortcut.name)), "Nome x");
    EXPECT_EQ(parsed.LinkPath(), "C:\\Menu\\Pasta\\Sub\\Nome x.lnk");

    // A hand-written line may stop early: the missing fields are empty.
    Parsed shortLine(u"P,{run.exe}");
    ASSERT_TRUE(shortLine.ok);
    EXPECT_EQ(shortLine.target(), "run.exe");
    EXPECT_EQ(shortLine.LinkPath(), "C:\\Menu\\run.lnk");
}

TEST(SfxShortcut, TheLinkIsNamedAfterTheTargetWhenTheLineNamesNone)
{
    EXPECT_EQ(Parsed(LineFor(0, 1, "app\\run.exe")).LinkPath(), "C:\\Menu\\run.lnk");
    EXPECT_EQ(Parsed(LineFor(0, 1, "app\\v1.2\\noext")).LinkPath(), "C:\\Menu\\noext.lnk");
    EXPECT_EQ(Parsed(LineFor(0, 1, ".profile")).LinkPath(), "C:\\Menu\\.profile.lnk");
    EXPECT_EQ(Parsed(LineFor(0, 1, "a.exe", "", "\\Sub\\", "", "Given.LNK")).LinkPath(), "C:\\Menu\\Sub\\Given.LNK");
    EXPECT_EQ(Parsed(LineFor(0, 1, "")).LinkPath(), "(none)");
}

TEST(SfxShortcut, TheSystemAccountPutsEveryShortcutInAllUsers)
{
    Parsed user(LineFor(0, 1, "a.exe"));
    EXPECT_FALSE(SfxShortcut_ForAllUsers(&user.shortcut, 0));
    EXPECT_TRUE(SfxShortcut_ForAllUsers(&user.shortcut, 1));
    Parsed everyone(u"D,{a.exe},{},{},{},{}");
    ASSERT_TRUE(everyone.ok);
    EXPECT_TRUE(SfxShortcut_ForAllUsers(&everyone.shortcut, 0));
}

}  // namespace
