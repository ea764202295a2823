// The names the module gives the items it extracts, and the folders it makes for them.
#include "Names.h"

#include "SfxTestSupport.h"
#include "windows/WideText.h"

#include <gtest/gtest.h>

using namespace pw;
using namespace pwtest;

namespace {

std::string MadeName(const char16_t* path)
{
    Text out;
    return SfxNames_Make(W(path), RtLength(W(path)), out.get()) ? out.str() : "(refused)";
}

TEST(SfxNames, NamesStayInsideTheExtractionFolder)
{
    EXPECT_EQ(MadeName(u"setup.exe"), "setup.exe");
    EXPECT_EQ(MadeName(u"sub dir\\ação\\😀.txt"), "sub dir\\ação\\😀.txt");
    EXPECT_EQ(MadeName(u"a/b"), "a\\b");
    for (const char16_t* escape : {u"", u"\\abs", u"/abs", u"..", u"a\\..\\..\\b", u"a\\.\\b", u"a\\\\b", u"a\\", u"./a"})
        EXPECT_EQ(MadeName(escape), "(refused)") << U8(W(escape));
}

TEST(SfxNames, CharactersWindowsCannotHoldBecomeUnderscores)
{
    // A colon would open a drive or a stream, a trailing dot or blank would be dropped by Windows.
    EXPECT_EQ(MadeName(u"C:\\x"), "C_\\x");
    EXPECT_EQ(MadeName(u"file:stream"), "file_stream");
    EXPECT_EQ(MadeName(u"a<b>c|d?e*f\"g\x01"), "a_b_c_d_e_f_g_");
    EXPECT_EQ(MadeName(u"dots...\\blank \\x"), "dots.._\\blank_\\x");
    EXPECT_EQ(MadeName(u"..."), ".._");
}

size_t MadeFolder(const char16_t* folder, const char16_t* made)
{
    return SfxNames_MadeFolder(W(folder), RtLength(W(folder)), W(made), RtLength(W(made)));
}

TEST(SfxNames, OnlyTheFoldersTheLastItemDidNotNeedAreMade)
{
    EXPECT_EQ(MadeFolder(u"a\\b\\c", u"a\\b"), 3u);  // one level down: only c is made
    EXPECT_EQ(MadeFolder(u"a\\b", u"a\\b\\c"), 3u);  // back up: nothing
    EXPECT_EQ(MadeFolder(u"a\\b", u"a\\b"), 3u);
    EXPECT_EQ(MadeFolder(u"a\\bc\\d", u"a\\b"), 1u);  // a sibling that begins like it
    EXPECT_EQ(MadeFolder(u"a\\b", u"a\\bc"), 1u);
    EXPECT_EQ(MadeFolder(u"a\\x\\y", u"a\\b\\c"), 1u);
    EXPECT_EQ(MadeFolder(u"ab", u"a"), 0u);
    EXPECT_EQ(MadeFolder(u"x", u""), 0u);  // the first item: from the extraction folder itself
    EXPECT_EQ(MadeFolder(u"", u"a\\b"), 0u);
    EXPECT_EQ(MadeFolder(u"A\\b", u"a\\b"), 0u);  // another case costs calls, never a folder left unmade
}

}  // namespace
