#include "monitor/GameDetector.h"

#include "DebugCapture.h"
#include "monitor/WindowListerFactory.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

const WindowInfo Game{"Neverwinter Nights", {"nwmain-linux", "nwmain-linux"}, {}};

class FakeWindowLister : public WindowLister {
public:
    std::vector<WindowInfo> TopLevelWindows() override { return windows; }
    std::vector<WindowInfo> windows;
};

TEST(FindWindowLike, MatchesTitleAndEitherClassPartAsSubstringsIgnoringCase)
{
    const std::vector<WindowInfo> windows = {
        {"Neverwinter Nights notes - Text Editor", {"gedit", "Gedit"}, {}},
        {"NEVERWINTER NIGHTS", {"nwmain-linux", "nwmain-linux"}, {}},
        {"Neverwinter Nights: Enhanced Edition", {"nwmain.exe", "Wine"}, {}},
    };
    const struct {
        const char* title;
        const char* windowClass;
        std::string found;
    } cases[] = {
        // The editor's title matches too, but its class does not.
        {"neverwinter nights", "NWMAIN", "NEVERWINTER NIGHTS"},
        {"Enhanced", "wine", "Neverwinter Nights: Enhanced Edition"},
        // An empty class accepts any window; the first in list order wins.
        {"Neverwinter", "", "Neverwinter Nights notes - Text Editor"},
        {"Neverwinter", "steam_app", "(none)"},
    };
    for (const auto& c : cases) {
        const WindowInfo* window = FindWindowLike(windows, c.title, c.windowClass);
        EXPECT_EQ(window ? window->title : "(none)", c.found) << c.title << " / " << c.windowClass;
    }
}

TEST(GameDetector, AnnouncesEachChangeExactlyOnce)
{
    FakeWindowLister lister;
    lister.windows = {{"Terminal", {"xterm"}, {}}};
    test::DebugCapture capture;
    GameDetector detector(lister, capture.Log(), "Neverwinter Nights", "nwmain", "Tarvik");
    EXPECT_FALSE(detector.Tick());

    lister.windows.push_back(Game);
    const auto started = detector.Tick();
    ASSERT_TRUE(started);
    EXPECT_EQ(started->title, "Tarvik");
    EXPECT_EQ(started->text, "NeverWinter Nights is running!");
    EXPECT_TRUE(started->gameRunning);
    EXPECT_FALSE(detector.Tick());
    EXPECT_FALSE(detector.Tick());

    lister.windows.pop_back();
    const auto stopped = detector.Tick();
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->text, "NeverWinter Nights has shut down.");
    EXPECT_FALSE(stopped->gameRunning);
    EXPECT_FALSE(detector.Tick());
    EXPECT_EQ(capture.Count("detected NWN running."), 1);
    EXPECT_EQ(capture.Count("detected NWN has shut down."), 1);

    // A game already running when detection starts is announced at the first tick.
    lister.windows.push_back(Game);
    GameDetector later(lister, capture.Log(), "Neverwinter Nights", "nwmain", "Tarvik");
    EXPECT_TRUE(later.Tick());
}

TEST(WindowListerFactory, WithoutADisplayFindsNothingAndSaysSoOnce)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows always has a window list.";
#endif
    test::DebugCapture capture;
    // No X server listens on this display.
    const auto lister = CreateWindowLister(capture.Log(), ":31999");
    ASSERT_NE(lister, nullptr);
    GameDetector detector(*lister, capture.Log(), "Neverwinter Nights", "nwmain", "Tarvik");
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(detector.Tick());
    EXPECT_EQ(capture.Count("Game detection is unavailable"), 1);
}

} // namespace
} // namespace tarvik
