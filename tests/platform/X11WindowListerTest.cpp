#include "monitor/x11/X11WindowLister.h"

#include "DebugCapture.h"
#include "XvfbServer.h"
#include "monitor/GameDetector.h"
#include "monitor/WindowListerFactory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include <xcb/xcb.h>

namespace tarvik {
namespace {

// A client of the test server that creates windows the way applications do.
// Its windows go when it disconnects.
class XClient {
public:
    explicit XClient(const std::string& display)
    {
        int screen = 0;
        connection_ = xcb_connect(display.c_str(), &screen);
        if (xcb_connection_has_error(connection_))
            return;
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
        for (int i = 0; i < screen; ++i)
            xcb_screen_next(&screens);
        root_ = screens.data->root;
    }
    ~XClient() { xcb_disconnect(connection_); }
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    bool Ok() const { return !xcb_connection_has_error(connection_); }

    struct Names {
        std::string netWmName; // UTF-8, empty: not set
        std::string wmName;    // Latin-1 STRING, empty: not set
        std::string wmClass;   // instance NUL class NUL, empty: not set
    };
    xcb_window_t CreateWindow(const Names& names)
    {
        const xcb_window_t window = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, root_, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        if (!names.netWmName.empty())
            SetText(window, Atom("_NET_WM_NAME"), Atom("UTF8_STRING"), names.netWmName);
        if (!names.wmName.empty())
            SetText(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, names.wmName);
        if (!names.wmClass.empty())
            SetText(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, names.wmClass);
        xcb_map_window(connection_, window);
        Sync();
        return window;
    }
    void DestroyWindow(xcb_window_t window)
    {
        xcb_destroy_window(connection_, window);
        Sync();
    }
    // What a window manager publishes; it outlives this client.
    void SetClientList(const std::vector<xcb_window_t>& windows)
    {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, root_, Atom("_NET_CLIENT_LIST"),
                            XCB_ATOM_WINDOW, 32, static_cast<uint32_t>(windows.size()),
                            windows.data());
        Sync();
    }
    void RemoveClientList()
    {
        xcb_delete_property(connection_, root_, Atom("_NET_CLIENT_LIST"));
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
    void SetText(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, const std::string& text)
    {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                            static_cast<uint32_t>(text.size()), text.data());
    }
    // A round trip: the server has handled everything sent before it.
    void Sync()
    {
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
};

const std::string GameClass = std::string("nwmain-linux\0Nwmain-linux\0", 26);

class X11WindowListerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!test::XvfbServer::IsInstalled())
            return;
        server = new test::XvfbServer;
        if (!server->Start())
            startError = server->Error();
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }

    void SetUp() override
    {
        if (!server)
            GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb); the X11 window-list "
                            "tests need it.";
        ASSERT_TRUE(startError.empty()) << startError;
        client = std::make_unique<XClient>(server->Display());
        ASSERT_TRUE(client->Ok());
        lister = X11WindowLister::Open(server->Display());
        ASSERT_NE(lister, nullptr);
    }

    // The server outlives the test: leave no window manager's list behind.
    void TearDown() override
    {
        if (client && client->Ok())
            client->RemoveClientList();
    }

    // The titles of the listed windows that have one.
    std::vector<std::string> Titles()
    {
        std::vector<std::string> titles;
        for (const WindowInfo& window : lister->TopLevelWindows()) {
            if (!window.title.empty())
                titles.push_back(window.title);
        }
        return titles;
    }
    const WindowInfo* Find(std::vector<WindowInfo>& windows, const std::string& title,
                           const std::string& windowClass)
    {
        windows = lister->TopLevelWindows();
        return FindWindowLike(windows, title, windowClass);
    }

    static test::XvfbServer* server;
    static std::string startError;
    std::unique_ptr<XClient> client;
    std::unique_ptr<X11WindowLister> lister;
};

test::XvfbServer* X11WindowListerTest::server = nullptr;
std::string X11WindowListerTest::startError;

TEST_F(X11WindowListerTest, ListsRootChildrenWithTitlesAndBothClassParts)
{
    client->CreateWindow(
        {"Neverwinter Nights notes - Text Editor", "", std::string("gedit\0Gedit\0", 12)});
    client->CreateWindow({"Neverwinter Nights: Enhanced Edition", "", GameClass});
    // Wine names the instance after the executable.
    client->CreateWindow({"Neverwinter Nights (Wine)", "", std::string("nwmain.exe\0Wine\0", 16)});

    std::vector<WindowInfo> windows;
    const WindowInfo* game = Find(windows, "neverwinter nights", "NWMAIN-LINUX");
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->title, "Neverwinter Nights: Enhanced Edition");
    EXPECT_EQ(game->classNames, (std::vector<std::string>{"nwmain-linux", "Nwmain-linux"}));
    const WindowInfo* wine = Find(windows, "Neverwinter", "nwmain.exe");
    ASSERT_NE(wine, nullptr);
    EXPECT_EQ(wine->classNames, (std::vector<std::string>{"nwmain.exe", "Wine"}));
    EXPECT_EQ(Find(windows, "Neverwinter Nights", "steam_app"), nullptr);
    EXPECT_EQ(Find(windows, "Baldur's Gate", ""), nullptr);
}

TEST_F(X11WindowListerTest, TitleFallsBackToLatin1WmName)
{
    client->CreateWindow({"", "Caf\xe9 Neverwinter Nights", GameClass});
    client->CreateWindow({"Preferred UTF-8 title \xc3\xa9", "Old title", GameClass});
    const std::vector<std::string> titles = Titles();
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Caf\xc3\xa9 Neverwinter Nights"),
              titles.end());
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Preferred UTF-8 title \xc3\xa9"),
              titles.end());
    EXPECT_EQ(std::find(titles.begin(), titles.end(), "Old title"), titles.end());
}

TEST_F(X11WindowListerTest, WindowManagerClientListTakesPrecedence)
{
    const xcb_window_t other =
        client->CreateWindow({"Terminal", "", std::string("xterm\0XTerm\0", 12)});
    const xcb_window_t game = client->CreateWindow({"Neverwinter Nights", "", GameClass});
    std::vector<WindowInfo> windows;

    client->SetClientList({other});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Terminal"}));
    EXPECT_EQ(Find(windows, "Neverwinter Nights", "nwmain"), nullptr);

    client->SetClientList({other, game});
    EXPECT_NE(Find(windows, "Neverwinter Nights", "nwmain"), nullptr);

    // A list naming a window that has gone still gives the others.
    client->DestroyWindow(other);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Neverwinter Nights"}));

    client->RemoveClientList();
    EXPECT_NE(Find(windows, "Neverwinter Nights", "nwmain"), nullptr);
}

TEST_F(X11WindowListerTest, DetectorAnnouncesTheGameWindowComingAndGoing)
{
    test::DebugCapture capture;
    GameDetector detector(*lister, capture.Log(), "Neverwinter Nights", "nwmain", "Tarvik");
    client->CreateWindow({"Neverwinter Nights notes", "", std::string("gedit\0Gedit\0", 12)});
    EXPECT_FALSE(detector.Tick());

    const xcb_window_t game = client->CreateWindow({"Neverwinter Nights", "", GameClass});
    const auto started = detector.Tick();
    ASSERT_TRUE(started);
    EXPECT_EQ(started->text, "NeverWinter Nights is running!");
    EXPECT_FALSE(detector.Tick());

    client->DestroyWindow(game);
    const auto stopped = detector.Tick();
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->text, "NeverWinter Nights has shut down.");
    EXPECT_FALSE(detector.Tick());

    EXPECT_EQ(capture.Count("Monitoring:  Process monitoring detected NWN running."), 1);
    EXPECT_EQ(capture.Count("Monitoring:  Process monitoring detected NWN has shut down."), 1);
}

TEST_F(X11WindowListerTest, FactoryChoosesTheX11ListerWhenTheDisplayOpens)
{
    test::DebugCapture capture;
    const auto factoryLister = CreateWindowLister(capture.Log(), server->Display());
    client->CreateWindow({"Neverwinter Nights", "", GameClass});
    const auto windows = factoryLister->TopLevelWindows();
    EXPECT_NE(FindWindowLike(windows, "Neverwinter Nights", "nwmain"), nullptr);
    for (const std::string& line : capture.Messages())
        EXPECT_EQ(line.find("unavailable"), std::string::npos) << line;
}

TEST(X11WindowListerLostServer, GivesNoWindowsOnceTheServerIsGone)
{
    if (!test::XvfbServer::IsInstalled())
        GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb).";
    test::XvfbServer server;
    ASSERT_TRUE(server.Start()) << server.Error();
    const auto lister = X11WindowLister::Open(server.Display());
    ASSERT_NE(lister, nullptr);
    server.Stop();
    EXPECT_TRUE(lister->TopLevelWindows().empty());
    EXPECT_TRUE(lister->TopLevelWindows().empty());
    EXPECT_EQ(X11WindowLister::Open(":31999"), nullptr);
}

} // namespace
} // namespace tarvik
