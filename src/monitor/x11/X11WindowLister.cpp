#include "X11WindowLister.h"

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>
#include <xcb/xcb.h>

namespace tarvik {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

// Property values are read up to this many 32-bit units; longer titles are
// cut, which a substring match does not mind.
constexpr uint32_t MaxTextUnits = 256;
// More top-level windows than any desktop has.
constexpr uint32_t MaxClientListUnits = 65536;

std::string Latin1ToUtf8(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            result.push_back(c);
        } else {
            result.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            result.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return result;
}

// A property reply, or null when the window has gone or the request failed.
// Errors are collected here so that they never pile up in the event queue.
Reply<xcb_get_property_reply_t> PropertyReply(xcb_connection_t* connection,
                                              xcb_get_property_cookie_t cookie)
{
    xcb_generic_error_t* error = nullptr;
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, &error));
    std::free(error);
    if (reply && reply->format != 8 && reply->format != 32)
        reply.reset();
    return reply;
}

std::string_view PropertyText(const xcb_get_property_reply_t* reply)
{
    if (!reply || reply->format != 8)
        return {};
    std::string_view text(static_cast<const char*>(xcb_get_property_value(reply)),
                          static_cast<size_t>(xcb_get_property_value_length(reply)));
    while (!text.empty() && text.back() == '\0')
        text.remove_suffix(1);
    return text;
}

// WM_CLASS holds the instance and the class name, each ended by a NUL.
std::vector<std::string> ClassNames(std::string_view value)
{
    std::vector<std::string> names;
    while (!value.empty()) {
        const size_t end = value.find('\0');
        const std::string_view part = value.substr(0, end);
        if (!part.empty())
            names.emplace_back(part);
        if (end == std::string_view::npos)
            break;
        value.remove_prefix(end + 1);
    }
    return names;
}

xcb_intern_atom_cookie_t RequestAtom(xcb_connection_t* connection, const char* name)
{
    return xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
}

xcb_atom_t AtomReply(xcb_connection_t* connection, xcb_intern_atom_cookie_t cookie)
{
    xcb_generic_error_t* error = nullptr;
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, &error));
    std::free(error);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

} // namespace

std::unique_ptr<X11WindowLister> X11WindowLister::Open(const std::string& displayName)
{
    std::string name = displayName;
    if (name.empty()) {
        const char* environment = std::getenv("DISPLAY");
        if (!environment || !*environment)
            return nullptr;
        name = environment;
    }
    std::unique_ptr<X11WindowLister> lister(new X11WindowLister(std::move(name)));
    if (!lister->Connect())
        return nullptr;
    return lister;
}

X11WindowLister::~X11WindowLister()
{
    Disconnect();
}

bool X11WindowLister::Connect()
{
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(displayName_.c_str(), &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0) {
        xcb_disconnect(connection);
        return false;
    }
    connection_ = connection;
    root_ = screens.data->root;

    const auto clientList = RequestAtom(connection_, "_NET_CLIENT_LIST");
    const auto wmName = RequestAtom(connection_, "_NET_WM_NAME");
    const auto utf8 = RequestAtom(connection_, "UTF8_STRING");
    netClientList_ = AtomReply(connection_, clientList);
    netWmName_ = AtomReply(connection_, wmName);
    utf8String_ = AtomReply(connection_, utf8);
    return true;
}

void X11WindowLister::Disconnect()
{
    if (connection_)
        xcb_disconnect(connection_);
    connection_ = nullptr;
}

std::vector<WindowInfo> X11WindowLister::TopLevelWindows()
{
    if (connection_ && xcb_connection_has_error(connection_))
        Disconnect();
    if (!connection_ && !Connect())
        return {};

    // The window manager's list leaves out its own frames and helper windows;
    // without a window manager the clients are the root's children.
    std::vector<xcb_window_t> ids;
    {
        const auto cookie = xcb_get_property(connection_, 0, root_, netClientList_, XCB_ATOM_WINDOW,
                                             0, MaxClientListUnits);
        const auto reply = PropertyReply(connection_, cookie);
        if (reply && reply->format == 32) {
            const auto* first =
                static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
            ids.assign(first, first + xcb_get_property_value_length(reply.get()) / 4);
        }
    }
    if (ids.empty()) {
        xcb_generic_error_t* error = nullptr;
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), &error));
        std::free(error);
        if (!tree)
            return {};
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        ids.assign(children, children + xcb_query_tree_children_length(tree.get()));
    }

    // Every request goes out before the first reply is awaited: one round trip.
    struct Cookies {
        xcb_get_property_cookie_t netName, name, windowClass;
    };
    std::vector<Cookies> cookies;
    cookies.reserve(ids.size());
    for (const xcb_window_t id : ids) {
        cookies.push_back(
            {xcb_get_property(connection_, 0, id, netWmName_, utf8String_, 0, MaxTextUnits),
             xcb_get_property(connection_, 0, id, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0,
                              MaxTextUnits),
             xcb_get_property(connection_, 0, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0,
                              MaxTextUnits)});
    }

    std::vector<WindowInfo> windows;
    windows.reserve(ids.size());
    for (const Cookies& cookie : cookies) {
        const auto netName = PropertyReply(connection_, cookie.netName);
        const auto name = PropertyReply(connection_, cookie.name);
        const auto windowClass = PropertyReply(connection_, cookie.windowClass);

        WindowInfo window;
        if (const std::string_view text = PropertyText(netName.get()); !text.empty())
            window.title.assign(text);
        else if (name && name->type == XCB_ATOM_STRING)
            window.title = Latin1ToUtf8(PropertyText(name.get()));
        else
            window.title.assign(PropertyText(name.get()));
        window.classNames = ClassNames(PropertyText(windowClass.get()));
        windows.push_back(std::move(window));
    }
    return windows;
}

} // namespace tarvik
