#include "ScreenColormap.h"

#include <QWidget>

#ifdef TARVIK_HAVE_XCB
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

#include <QGuiApplication>
#endif

namespace tarvik {

#ifdef TARVIK_HAVE_XCB
namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

template <class Reply>
using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

const xcb_screen_t* ScreenWithRoot(xcb_connection_t* connection, xcb_window_t root)
{
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem > 0;
         xcb_screen_next(&it)) {
        if (it.data->root == root)
            return it.data;
    }
    return nullptr;
}

} // namespace

bool ShareScreenColormap(QWidget& window)
{
    // Other platforms (offscreen among them) may offer the X11 interface too.
    if (QGuiApplication::platformName() != QLatin1String("xcb") ||
        !window.testAttribute(Qt::WA_WState_Created))
        return false;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const ReplyPtr<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, id), nullptr));
    const ReplyPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr));
    if (!attributes || !geometry)
        return false;
    const xcb_screen_t* screen = ScreenWithRoot(connection, geometry->root);
    if (!screen || attributes->visual != screen->root_visual)
        return false;
    if (attributes->colormap != screen->default_colormap) {
        const uint32_t colormap = screen->default_colormap;
        xcb_change_window_attributes(connection, id, XCB_CW_COLORMAP, &colormap);
        xcb_flush(connection);
    }
    return true;
}

#else

bool ShareScreenColormap(QWidget&)
{
    return false;
}

#endif

} // namespace tarvik
