#include "DebugCapture.h"
#include "monitor/GameDetector.h"
#include "monitor/WindowListerFactory.h"
#include "util/Encoding.h"
#include "util/FileUtil.h"

#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace tarvik {
namespace {

// A top-level window of this process with the given title and class, shown
// as a game's window would be; it goes when the object does.
class TestWindow {
public:
    TestWindow(const std::wstring& title, const std::wstring& className)
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = className.c_str();
        // A class registered by an earlier window stays registered.
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0,
                                  320, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
        if (window_)
            ShowWindow(window_, SW_SHOWNOACTIVATE);
    }
    ~TestWindow() { Close(); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    bool Ok() const { return window_ != nullptr; }
    void Close()
    {
        if (window_)
            DestroyWindow(window_);
        window_ = nullptr;
    }

private:
    HWND window_ = nullptr;
};

std::string OwnFileName()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring_view full(path, length);
    full.remove_prefix(full.find_last_of(L"\\/") + 1);
    return Utf16ToUtf8(full);
}

TEST(Win32WindowLister, FindsTheGamesWindowByTitleClassOrProgramAndNoticesItClosing)
{
    test::DebugCapture capture;
    // Through the factory, so that it must choose the Windows lister.
    const auto lister = CreateWindowLister(capture.Log());
    TestWindow notes(L"Neverwinter Nights notes - Notepad", L"Notepad");
    // The Enhanced Edition's window: an SDL class, a title with a non-ASCII dash.
    auto game =
        std::make_unique<TestWindow>(L"Neverwinter Nights \u2013 Enhanced Edition", L"SDL_app");
    if (!notes.Ok() && EnvironmentVariable("DISPLAY").empty())
        GTEST_SKIP() << "Wine opens windows only on an X display: run under xvfb-run.";
    ASSERT_TRUE(notes.Ok() && game->Ok()) << "the windows could not be created";

    const std::vector<WindowInfo> windows = lister->TopLevelWindows();
    const WindowInfo* found = FindWindowLike(windows, "neverwinter nights", "sdl_APP");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->title, "Neverwinter Nights \xE2\x80\x93 Enhanced Edition");
    EXPECT_EQ(found->classNames, (std::vector<std::string>{"SDL_app", OwnFileName()}));
    // The program's file name stands in for a class, as the shipped "nwmain" does.
    EXPECT_NE(FindWindowLike(windows, "Enhanced Edition", OwnFileName().substr(0, 10)), nullptr);

    GameDetector detector(*lister, capture.Log(), "Neverwinter Nights", "SDL_app", "Tarvik");
    const auto started = detector.Tick();
    ASSERT_TRUE(started);
    EXPECT_TRUE(started->gameRunning);
    EXPECT_FALSE(detector.Tick());
    game.reset();
    const auto stopped = detector.Tick();
    ASSERT_TRUE(stopped);
    EXPECT_FALSE(stopped->gameRunning);
    // The notes window matches the title but not the class.
    EXPECT_NE(FindWindowLike(lister->TopLevelWindows(), "Neverwinter Nights", "notepad"), nullptr);
}

} // namespace
} // namespace tarvik
