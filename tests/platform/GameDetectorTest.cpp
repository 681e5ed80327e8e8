#include "monitor/GameDetector.h"

#include "DebugCapture.h"
#include "monitor/NullWindowLister.h"
#include "monitor/WindowListerFactory.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

const std::string RunningLine = "Monitoring:  Process monitoring detected NWN running.";
const std::string ShutDownLine = "Monitoring:  Process monitoring detected NWN has shut down.";
const std::string TimerLine = "Monitoring:  Process monitoring timer firing.";

WindowInfo Window(std::string title, std::vector<std::string> classNames,
                  std::vector<WindowInfo> children = {})
{
    return WindowInfo{std::move(title), std::move(classNames), std::move(children)};
}

class FakeWindowLister : public WindowLister {
public:
    std::vector<WindowInfo> TopLevelWindows() override
    {
        ++calls;
        return windows;
    }
    std::vector<WindowInfo> windows;
    int calls = 0;
};

// The title of the window found, or "(none)".
std::string Found(const std::vector<WindowInfo>& windows, std::string_view title,
                  std::string_view windowClass, bool caseSensitive = false, bool recurse = false)
{
    const WindowInfo* window = FindWindowLike(windows, title, windowClass, caseSensitive, recurse);
    return window ? window->title : "(none)";
}

TEST(FindWindowLike, MatchesTitleAndClassAsSubstringsIgnoringCase)
{
    const std::vector<WindowInfo> windows = {
        Window("Neverwinter Nights notes - Text Editor", {"gedit", "Gedit"}),
        Window("NEVERWINTER NIGHTS", {"nwmain-linux", "nwmain-linux"}),
        Window("Neverwinter Nights: Enhanced Edition", {"nwmain.exe", "Wine"}),
    };
    // The editor's title matches too, but its class does not.
    EXPECT_EQ(Found(windows, "neverwinter nights", "NWMAIN"), "NEVERWINTER NIGHTS");
    // Either part of the class counts.
    EXPECT_EQ(Found(windows, "Enhanced", "wine"), "Neverwinter Nights: Enhanced Edition");
    EXPECT_EQ(Found(windows, "Enhanced", "NWMAIN.EXE"), "Neverwinter Nights: Enhanced Edition");
    // An empty class accepts any window; the first in list order wins.
    EXPECT_EQ(Found(windows, "Neverwinter", ""), "Neverwinter Nights notes - Text Editor");
    EXPECT_EQ(Found(windows, "Baldur's Gate", ""), "(none)");
    EXPECT_EQ(Found(windows, "Neverwinter", "steam_app"), "(none)");
    EXPECT_EQ(Found({}, "Neverwinter", "nwmain"), "(none)");
}

TEST(FindWindowLike, CaseSensitiveSearchAndEdgeCases)
{
    const std::vector<WindowInfo> windows = {
        Window("", {"nwmain-linux"}),
        Window("NEVERWINTER NIGHTS", {"NWMAIN"}),
        Window("Neverwinter Nights", {"nwmain"}),
        Window("Café Neverwinter Nights", {}),
    };
    EXPECT_EQ(Found(windows, "Neverwinter Nights", "nwmain", true), "Neverwinter Nights");
    EXPECT_EQ(Found(windows, "neverwinter nights", "nwmain", true), "(none)");
    // An empty title never matches an untitled window.
    EXPECT_EQ(Found(windows, "", "nwmain"), "NEVERWINTER NIGHTS");
    // A window without a class only matches an empty class.
    EXPECT_EQ(Found(windows, "café", "x"), "(none)");
    // Only ASCII letters are folded: É is not é.
    EXPECT_EQ(Found(windows, "CAFÉ", ""), "(none)");
    EXPECT_EQ(Found(windows, "CAFé", ""), "Café Neverwinter Nights");
}

TEST(FindWindowLike, ChildrenAreSearchedOnlyWhenAskedBeforeTheNextSibling)
{
    const std::vector<WindowInfo> windows = {
        Window("Steam", {"steam"}, {Window("Neverwinter Nights", {"nwmain-child"})}),
        Window("Neverwinter Nights", {"nwmain-top"}),
    };
    EXPECT_EQ(FindWindowLike(windows, "Neverwinter", "nwmain")->classNames[0], "nwmain-top");
    EXPECT_EQ(FindWindowLike(windows, "Neverwinter", "nwmain", false, true)->classNames[0],
              "nwmain-child");
}

class GameDetectorTest : public ::testing::Test {
protected:
    GameDetector MakeDetector(std::string title = "Neverwinter Nights",
                              std::string windowClass = "nwmain")
    {
        return GameDetector(lister, capture.Log(), std::move(title), std::move(windowClass),
                            "Tarvik");
    }
    void GameStarts() { lister.windows.push_back(Window("Neverwinter Nights", {"nwmain-linux"})); }
    void GameStops() { lister.windows.pop_back(); }

    FakeWindowLister lister;
    test::DebugCapture capture;
};

TEST_F(GameDetectorTest, AnnouncesEachChangeExactlyOnce)
{
    lister.windows = {Window("Terminal", {"xterm"})};
    GameDetector detector = MakeDetector();
    EXPECT_FALSE(detector.GameRunning());
    EXPECT_FALSE(detector.Tick());

    GameStarts();
    const auto started = detector.Tick();
    ASSERT_TRUE(started);
    EXPECT_EQ(started->title, "Tarvik");
    EXPECT_EQ(started->text, "NeverWinter Nights is running!");
    EXPECT_TRUE(started->gameRunning);
    EXPECT_TRUE(detector.GameRunning());
    EXPECT_FALSE(detector.Tick());
    EXPECT_FALSE(detector.Tick());

    GameStops();
    const auto stopped = detector.Tick();
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->title, "Tarvik");
    EXPECT_EQ(stopped->text, "NeverWinter Nights has shut down.");
    EXPECT_FALSE(stopped->gameRunning);
    EXPECT_FALSE(detector.Tick());

    EXPECT_EQ(capture.Count(RunningLine), 1);
    EXPECT_EQ(capture.Count(ShutDownLine), 1);
    EXPECT_EQ(capture.Count(TimerLine), 6);
    EXPECT_EQ(lister.calls, 6);
}

TEST_F(GameDetectorTest, GameAlreadyRunningIsAnnouncedAtTheFirstTick)
{
    GameStarts();
    GameDetector detector = MakeDetector();
    ASSERT_TRUE(detector.Tick());
    EXPECT_FALSE(detector.Tick());
}

TEST_F(GameDetectorTest, DebugLinesFollowTheLevel)
{
    capture.Log().SetLevel(2);
    GameDetector detector = MakeDetector();
    GameStarts();
    detector.Tick();
    GameStops();
    detector.Tick();
    EXPECT_EQ(capture.Messages(), (std::vector<std::string>{RunningLine, ShutDownLine}));
}

TEST_F(GameDetectorTest, NothingIsDetectedWithoutBothTexts)
{
    GameStarts();
    for (auto [title, windowClass] : {std::pair{"", "nwmain"}, std::pair{"Neverwinter", ""}}) {
        GameDetector detector = MakeDetector(title, windowClass);
        EXPECT_FALSE(detector.CanDetect());
        EXPECT_FALSE(detector.Tick());
        EXPECT_FALSE(detector.GameRunning());
    }
    EXPECT_EQ(lister.calls, 0);
    EXPECT_TRUE(capture.Messages().empty());
}

TEST(NullWindowLister, FindsNothingAndSaysSoOnce)
{
    test::DebugCapture capture;
    NullWindowLister lister(capture.Log());
    GameDetector detector(lister, capture.Log(), "Neverwinter Nights", "nwmain", "Tarvik");
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(detector.Tick());
    const auto messages = capture.Messages();
    const auto unavailable =
        std::count_if(messages.begin(), messages.end(), [](const std::string& line) {
            return line.rfind("Monitoring:  Game detection is unavailable", 0) == 0;
        });
    EXPECT_EQ(unavailable, 1);
}

TEST(WindowListerFactory, FallsBackWhenNoDisplayCanBeOpened)
{
    test::DebugCapture capture;
    // No X server listens on this display.
    const auto lister = CreateWindowLister(capture.Log(), ":31999");
    ASSERT_NE(lister, nullptr);
    EXPECT_TRUE(lister->TopLevelWindows().empty());
    EXPECT_TRUE(lister->TopLevelWindows().empty());
    const auto messages = capture.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Monitoring:  Game detection is unavailable", 0), 0u);
}

} // namespace
} // namespace tarvik
