// The private display: only the cookie's holder gets in, and the try sees the windows on it by title and
// the screen as a picture.
#include "TryFixture.h"

#include "tryout/DisplayWatch.h"
#include "tryout/HostTools.h"
#include "tryout/PrivateDisplay.h"

#include <xcb/xcb.h>

#include <cstring>

#include <gtest/gtest.h>

using namespace pw;
using namespace pwtest;

namespace {

TEST(PrivateDisplay, AuthorityEntryForAnyDisplay)
{
    const QByteArray cookie(16, '\x5a');
    EXPECT_EQ(AuthorityEntry(cookie), QByteArray("\xff\xff\0\0\0\0\0\x12MIT-MAGIC-COOKIE-1\0\x10", 28) + cookie);
}

class DisplayTest : public ::testing::Test, public TryFixture {
protected:
    void SetUp() override
    {
        if (FindTryTools().xvfb.isEmpty())
            GTEST_SKIP() << "Xvfb is not installed";
        display_.emplace(scratch.path());
        QString error;
        ASSERT_EQ(display_->Start(FindTryTools(), ui, &error), RunEnd::Finished) << error.toStdString();
    }

    // A window of a client of the display's own, mapped with `title`.
    xcb_window_t Show(xcb_connection_t* client, const char* title, int width, int height)
    {
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(client)).data;
        const xcb_window_t window = xcb_generate_id(client);
        const uint32_t white = screen->white_pixel;
        xcb_create_window(client, XCB_COPY_FROM_PARENT, window, screen->root, 10, 10, width, height, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, &white);
        xcb_change_property(client, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            std::strlen(title), title);
        xcb_map_window(client, window);
        xcb_clear_area(client, 0, window, 0, 0, 0, 0);
        free(xcb_get_input_focus_reply(client, xcb_get_input_focus(client), nullptr));  // a round trip: all is done
        return window;
    }

    std::optional<PrivateDisplay> display_;
};

TEST_F(DisplayTest, OnlyTheCookiesHolderConnects)
{
    EXPECT_TRUE(display_->name().startsWith(QLatin1Char(':')));
    DisplayWatch intruder;
    EXPECT_FALSE(intruder.Connect(display_->name(), QByteArray(16, '\0')));
    DisplayWatch watch;
    ASSERT_TRUE(watch.Connect(display_->name(), display_->cookie()));
    EXPECT_TRUE(watch.Windows().isEmpty());
    // Wine finds the cookie through the authority file.
    qputenv("XAUTHORITY", display_->authorityFile().toLocal8Bit());
    xcb_connection_t* client = xcb_connect(display_->name().toLocal8Bit().constData(), nullptr);
    qunsetenv("XAUTHORITY");
    EXPECT_EQ(xcb_connection_has_error(client), 0);
    xcb_disconnect(client);
}

TEST_F(DisplayTest, WindowsByTitleAndTheScreenAsAPicture)
{
    DisplayWatch watch;
    ASSERT_TRUE(watch.Connect(display_->name(), display_->cookie()));
    const QImage empty = watch.Screenshot();
    ASSERT_EQ(empty.size(), QSize(1024, 768));

    QByteArray cookie = display_->cookie();
    xcb_auth_info_t authority{18, const_cast<char*>("MIT-MAGIC-COOKIE-1"), int(cookie.size()), cookie.data()};
    xcb_connection_t* client =
        xcb_connect_to_display_with_auth_info(display_->name().toLocal8Bit().constData(), &authority, nullptr);
    ASSERT_EQ(xcb_connection_has_error(client), 0);
    const xcb_window_t setup = Show(client, "App Setup", 300, 200);
    Show(client, "helper", 1, 1);
    const QList<VisibleWindow> windows = watch.Windows();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(windows[0].id, setup);
    EXPECT_EQ(windows[0].title, QStringLiteral("App Setup"));
    const QImage screen = watch.Screenshot();
    EXPECT_NE(screen.pixel(100, 100), empty.pixel(100, 100)) << "the white window is on the picture";
    EXPECT_EQ(screen.pixel(600, 600), empty.pixel(600, 600));

    xcb_unmap_window(client, setup);
    free(xcb_get_input_focus_reply(client, xcb_get_input_focus(client), nullptr));
    EXPECT_TRUE(watch.Windows().isEmpty());
    xcb_disconnect(client);
}

}  // namespace
