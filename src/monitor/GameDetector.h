#pragma once

#include "WindowLister.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

class DebugLog;

// The first window, in list order, whose title contains title and whose
// class contains windowClass (any class when windowClass is empty). With
// recurse, a window's children are searched before its next sibling. Case is
// ignored for ASCII letters only, so UTF-8 text is never folded into
// something else.
const WindowInfo* FindWindowLike(const std::vector<WindowInfo>& windows, std::string_view title,
                                 std::string_view windowClass, bool caseSensitive = false,
                                 bool recurse = false);

// A balloon tip to show over the notification-area icon.
struct GameAnnouncement {
    std::string title;
    std::string text;
    bool gameRunning = false;
};

// Notices the game client's window appearing and disappearing.
//
// Wiring: a 1000 ms timer runs while the "Monitor NWN Process" option is on
// (and CanDetect() holds); each tick calls Tick() and hands a returned
// announcement to SystemTray::ShowBalloonTip(text, title). Switching the
// option off only stops the timer: the remembered state is kept, so switching
// it on again announces nothing unless the game changed meanwhile.
class GameDetector {
public:
    // title and windowClass are the configuration's [Monitoring] WindowTitle
    // and WindowClass; productName titles the balloon tips.
    GameDetector(WindowLister& lister, DebugLog& debug, std::string title, std::string windowClass,
                 std::string productName);

    // Detection needs both texts; without them the option stays disabled.
    bool CanDetect() const { return !title_.empty() && !windowClass_.empty(); }
    // The state seen by the last tick; false before the first.
    bool GameRunning() const { return gameRunning_; }

    // One check of the window list. Returns an announcement exactly when the
    // game's state differs from the previous tick.
    std::optional<GameAnnouncement> Tick();

private:
    WindowLister& lister_;
    DebugLog& debug_;
    std::string title_;
    std::string windowClass_;
    std::string productName_;
    bool gameRunning_ = false;
};

} // namespace tarvik
