// Wide texts and their UTF-8 form.
#include "Text.h"

#include "windows/WideText.h"

#include <gtest/gtest.h>

using namespace pwtest;

namespace {

bool Decodes(const std::string& utf8, Text& out)
{
    return RtText_AppendUtf8(out.get(), reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size());
}

TEST(RtText, Utf8RoundTripsEveryPlane)
{
    const std::string text = "a\xC3\xA7\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a ç € 😀 z
    Text wide;
    ASSERT_TRUE(Decodes(text, wide));
    EXPECT_EQ(wide.text.length, 6u);  // the emoji takes a surrogate pair
    EXPECT_EQ(wide.text.chars[4], 0xDE00);
    EXPECT_EQ(wide.str(), text);
}

TEST(RtText, RefusesWhatIsNotUtf8)
{
    for (const std::string bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3", "\x80",
                                  "ok\xFF"}) {
        Text wide;
        RtText_AppendAscii(wide.get(), "kept");
        EXPECT_FALSE(Decodes(bad, wide)) << bad;
        EXPECT_EQ(wide.str(), "kept");
    }
}

TEST(RtText, LoneSurrogatesBecomeReplacementCharacters)
{
    const PwChar lone[] = {'a', 0xD800, 'b', 0xDC00};
    EXPECT_EQ(U8(lone, 4), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

TEST(RtText, GrowsAndFormats)
{
    Text text;
    for (int i = 0; i < 100; ++i)
        RtText_AppendAscii(text.get(), "0123456789");
    RtText_AppendNumber(text.get(), 0);
    RtText_AppendNumber(text.get(), 18446744073709551615ull);
    EXPECT_EQ(text.text.length, 1021u);
    EXPECT_EQ(text.str().substr(1000), "018446744073709551615");
    EXPECT_EQ(text.text.chars[text.text.length], 0);

    Text root, folder, none;
    RtText_AppendPath(root.get(), W(u"C:\\"), 3, W(u"a"), 1);
    RtText_AppendPath(folder.get(), W(u"C:\\x"), 4, W(u"a"), 1);
    RtText_AppendPath(none.get(), W(u""), 0, W(u"a"), 1);
    EXPECT_EQ(root.str(), "C:\\a");
    EXPECT_EQ(folder.str(), "C:\\x\\a");
    EXPECT_EQ(none.str(), "a");
}

}  // namespace
