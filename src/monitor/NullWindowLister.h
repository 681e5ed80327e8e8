#pragma once

#include "WindowLister.h"

namespace tarvik {

class DebugLog;

// Stands in where the desktop's windows cannot be listed (a Wayland session
// without XWayland): the game is never seen. Says so once in the debug log,
// at the first look, so that a silent detection can be explained.
class NullWindowLister final : public WindowLister {
public:
    explicit NullWindowLister(DebugLog& debug)
        : debug_(debug)
    {
    }
    std::vector<WindowInfo> TopLevelWindows() override;

private:
    DebugLog& debug_;
    bool reported_ = false;
};

} // namespace tarvik
