#include "GameDetector.h"

#include "diag/DebugLog.h"

#include <algorithm>

namespace tarvik {

namespace {

char FoldAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// An empty needle is found only in a non-empty haystack, as the window search
// has always treated an empty title.
bool Contains(std::string_view haystack, std::string_view needle, bool caseSensitive)
{
    if (needle.empty())
        return !haystack.empty();
    if (caseSensitive)
        return haystack.find(needle) != std::string_view::npos;
    const auto equal = [](char a, char b) { return FoldAscii(a) == FoldAscii(b); };
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(), equal) !=
           haystack.end();
}

bool Matches(const WindowInfo& window, std::string_view title, std::string_view windowClass,
             bool caseSensitive)
{
    if (!Contains(window.title, title, caseSensitive))
        return false;
    if (windowClass.empty())
        return true;
    return std::any_of(
        window.classNames.begin(), window.classNames.end(),
        [&](const std::string& name) { return Contains(name, windowClass, caseSensitive); });
}

} // namespace

const WindowInfo* FindWindowLike(const std::vector<WindowInfo>& windows, std::string_view title,
                                 std::string_view windowClass, bool caseSensitive, bool recurse)
{
    for (const WindowInfo& window : windows) {
        if (Matches(window, title, windowClass, caseSensitive))
            return &window;
        if (recurse) {
            if (const WindowInfo* child =
                    FindWindowLike(window.children, title, windowClass, caseSensitive, recurse))
                return child;
        }
    }
    return nullptr;
}

GameDetector::GameDetector(WindowLister& lister, DebugLog& debug, std::string title,
                           std::string windowClass, std::string productName)
    : lister_(lister)
    , debug_(debug)
    , title_(std::move(title))
    , windowClass_(std::move(windowClass))
    , productName_(std::move(productName))
{
}

std::optional<GameAnnouncement> GameDetector::Tick()
{
    // Without both texts any titled window would count as the game.
    if (!CanDetect())
        return std::nullopt;
    debug_.LogDebug("Monitoring:  Process monitoring timer firing.", 4);

    const std::vector<WindowInfo> windows = lister_.TopLevelWindows();
    const bool found = FindWindowLike(windows, title_, windowClass_) != nullptr;
    if (found == gameRunning_)
        return std::nullopt;

    gameRunning_ = found;
    if (found) {
        debug_.LogDebug("Monitoring:  Process monitoring detected NWN running.", 2);
        return GameAnnouncement{productName_, "NeverWinter Nights is running!", true};
    }
    debug_.LogDebug("Monitoring:  Process monitoring detected NWN has shut down.", 2);
    return GameAnnouncement{productName_, "NeverWinter Nights has shut down.", false};
}

} // namespace tarvik
