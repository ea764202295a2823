#include "tryout/DisplayWatch.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace pw {
namespace {

template <typename Reply>
using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPointer<Reply> Owned(Reply* reply)
{
    return ReplyPointer<Reply>(reply, &std::free);
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    auto reply =
        Owned(xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QString PropertyText(xcb_get_property_reply_t* reply, bool utf8)
{
    if (!reply || reply->format != 8)
        return {};
    const char* bytes = static_cast<const char*>(xcb_get_property_value(reply));
    const int size = xcb_get_property_value_length(reply);
    return utf8 ? QString::fromUtf8(bytes, size) : QString::fromLatin1(bytes, size);
}

}  // namespace

struct DisplayWatch::Connection {
    xcb_connection_t* xcb = nullptr;
    xcb_screen_t* screen = nullptr;
    xcb_atom_t netWmName = XCB_ATOM_NONE;
    xcb_atom_t utf8String = XCB_ATOM_NONE;

    ~Connection()
    {
        if (xcb)
            xcb_disconnect(xcb);
    }
};

DisplayWatch::DisplayWatch() = default;
DisplayWatch::~DisplayWatch() = default;

bool DisplayWatch::Connect(const QString& display, const QByteArray& cookie)
{
    static char kCookieName[] = "MIT-MAGIC-COOKIE-1";
    QByteArray data = cookie;
    xcb_auth_info_t authority{int(std::strlen(kCookieName)), kCookieName, int(data.size()), data.data()};
    auto connection = std::make_unique<Connection>();
    int screenNumber = 0;
    connection->xcb =
        xcb_connect_to_display_with_auth_info(display.toLocal8Bit().constData(), &authority, &screenNumber);
    if (xcb_connection_has_error(connection->xcb))
        return false;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection->xcb));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return false;
    connection->screen = screens.data;
    connection->netWmName = Atom(connection->xcb, "_NET_WM_NAME");
    connection->utf8String = Atom(connection->xcb, "UTF8_STRING");
    connection_ = std::move(connection);
    return true;
}

QList<VisibleWindow> DisplayWatch::Windows()
{
    QList<VisibleWindow> windows;
    if (!connection_)
        return windows;
    xcb_connection_t* xcb = connection_->xcb;
    auto tree = Owned(xcb_query_tree_reply(xcb, xcb_query_tree(xcb, connection_->screen->root), nullptr));
    if (!tree)
        return windows;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    // Every request goes out before the first answer is awaited: one round trip for all windows.
    struct Pending {
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_geometry_cookie_t geometry;
        xcb_get_property_cookie_t netName, name;
    };
    QList<Pending> pending;
    for (int i = 0; i < count; ++i) {
        pending.append({xcb_get_window_attributes(xcb, children[i]), xcb_get_geometry(xcb, children[i]),
                        xcb_get_property(xcb, 0, children[i], connection_->netWmName, connection_->utf8String, 0, 1024),
                        xcb_get_property(xcb, 0, children[i], XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 0, 1024)});
    }
    for (int i = 0; i < count; ++i) {
        auto attributes = Owned(xcb_get_window_attributes_reply(xcb, pending[i].attributes, nullptr));
        auto geometry = Owned(xcb_get_geometry_reply(xcb, pending[i].geometry, nullptr));
        auto netName = Owned(xcb_get_property_reply(xcb, pending[i].netName, nullptr));
        auto name = Owned(xcb_get_property_reply(xcb, pending[i].name, nullptr));
        if (!attributes || !geometry || attributes->map_state != XCB_MAP_STATE_VIEWABLE
            || attributes->_class != XCB_WINDOW_CLASS_INPUT_OUTPUT || geometry->width <= 1 || geometry->height <= 1)
            continue;
        QString title = PropertyText(netName.get(), true);
        if (title.isEmpty())
            title = PropertyText(name.get(), false);
        windows.append({children[i], title, QRect(geometry->x, geometry->y, geometry->width, geometry->height)});
    }
    return windows;
}

QImage DisplayWatch::Screenshot()
{
    if (!connection_)
        return {};
    xcb_connection_t* xcb = connection_->xcb;
    const xcb_screen_t* screen = connection_->screen;
    // QImage reads 32-bit pixels in the machine's byte order: the server must store them that way.
    const xcb_setup_t* setup = xcb_get_setup(xcb);
    int bitsPerPixel = 0;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats)) {
        if (formats.data->depth == screen->root_depth)
            bitsPerPixel = formats.data->bits_per_pixel;
    }
    const bool littleEndian = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    if (screen->root_depth != 24 || bitsPerPixel != 32 || littleEndian != (Q_BYTE_ORDER == Q_LITTLE_ENDIAN))
        return {};
    const int width = screen->width_in_pixels, height = screen->height_in_pixels;
    auto image = Owned(xcb_get_image_reply(
        xcb, xcb_get_image(xcb, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0, width, height, ~0u), nullptr));
    if (!image || xcb_get_image_data_length(image.get()) < width * height * 4)
        return {};
    return QImage(xcb_get_image_data(image.get()), width, height, width * 4, QImage::Format_RGB32).copy();
}

}  // namespace pw
