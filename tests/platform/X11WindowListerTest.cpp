#include "DebugCapture.h"
#include "PrivateXvfb.h"
#include "monitor/GameDetector.h"
#include "monitor/WindowListerFactory.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include <xcb/xcb.h>

namespace tarvik {
namespace {

using test::PrivateXvfb;

// A client that creates windows the way applications do; they go when it
// disconnects.
class XClient {
public:
    explicit XClient(const std::string& display)
        : connection_(xcb_connect(display.c_str(), nullptr))
    {
        if (Ok())
            root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    ~XClient() { xcb_disconnect(connection_); }
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    bool Ok() const { return !xcb_connection_has_error(connection_); }

    xcb_window_t CreateWindow(const std::string& title, const std::string& wmClass)
    {
        const xcb_window_t window = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, root_, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const struct {
            xcb_atom_t property;
            xcb_atom_t type;
            const std::string& text;
        } texts[] = {{Atom("_NET_WM_NAME"), Atom("UTF8_STRING"), title},
                     {XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wmClass}};
        for (const auto& text : texts)
            xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, text.property,
                                text.type, 8, static_cast<uint32_t>(text.text.size()),
                                text.text.data());
        xcb_map_window(connection_, window);
        Sync();
        return window;
    }
    void DestroyWindow(xcb_window_t window)
    {
        xcb_destroy_window(connection_, window);
        Sync();
    }
    // What a window manager publishes; empty removes it.
    void SetClientList(const std::vector<xcb_window_t>& windows)
    {
        if (windows.empty())
            xcb_delete_property(connection_, root_, Atom("_NET_CLIENT_LIST"));
        else
            xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, root_, Atom("_NET_CLIENT_LIST"),
                                XCB_ATOM_WINDOW, 32, static_cast<uint32_t>(windows.size()),
                                windows.data());
        Sync();
    }

private:
    xcb_atom_t Atom(const char* name)
    {
        auto* reply = xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }
    // A round trip: the server has handled everything sent before it.
    void Sync()
    {
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
};

const std::string GameClass = std::string("nwmain-linux\0Nwmain-linux\0", 26);
const std::string EditorClass = std::string("gedit\0Gedit\0", 12);

TEST(X11WindowLister, ListsTitlesAndBothClassPartsPreferringTheWindowManagersList)
{
    if (!PrivateXvfb::IsInstalled())
        GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb).";
    PrivateXvfb server;
    ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
    XClient client(server.Display());
    ASSERT_TRUE(client.Ok());
    test::DebugCapture capture;
    // Through the factory, so that it must choose the X11 lister.
    const auto lister = CreateWindowLister(capture.Log(), server.Display());
    const auto listed = [&](const std::string& title, const std::string& windowClass = {}) {
        return FindWindowLike(lister->TopLevelWindows(), title, windowClass) != nullptr;
    };

    const xcb_window_t editor =
        client.CreateWindow("Neverwinter Nights notes - Text Editor", EditorClass);
    const xcb_window_t game =
        client.CreateWindow("Neverwinter Nights: Enhanced Edition", GameClass);

    const std::vector<WindowInfo> windows = lister->TopLevelWindows();
    const WindowInfo* found = FindWindowLike(windows, "neverwinter nights", "NWMAIN-LINUX");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->title, "Neverwinter Nights: Enhanced Edition");
    EXPECT_EQ(found->classNames, (std::vector<std::string>{"nwmain-linux", "Nwmain-linux"}));

    // Under a window manager the root's children are its frames.
    client.SetClientList({editor});
    EXPECT_TRUE(listed("Text Editor"));
    EXPECT_FALSE(listed("Enhanced Edition"));
    // Read afresh: without the list, the root's children again.
    client.SetClientList({});
    EXPECT_TRUE(listed("Enhanced Edition", "nwmain"));
    // A list naming a window that has gone still gives the others.
    client.SetClientList({editor, game});
    client.DestroyWindow(editor);
    EXPECT_FALSE(listed("Text Editor"));
    EXPECT_TRUE(listed("Enhanced Edition", "nwmain"));
}

} // namespace
} // namespace tarvik
