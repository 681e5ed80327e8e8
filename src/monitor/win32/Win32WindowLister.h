#pragma once

#include "monitor/WindowLister.h"

namespace tarvik {

// The desktop's top-level windows through EnumWindows. Titles and class
// names are read as UTF-16 and handed on as UTF-8. Besides its Win32 class
// name a window goes by the file name of the program that owns it
// ("nwmain.exe"), as the instance part of an X11 WM_CLASS does: the game's
// own class name is a generic one of its toolkit.
class Win32WindowLister final : public WindowLister {
public:
    std::vector<WindowInfo> TopLevelWindows() override;
};

} // namespace tarvik
