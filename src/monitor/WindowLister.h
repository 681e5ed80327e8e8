#pragma once

#include <string>
#include <vector>

namespace tarvik {

// One window as the desktop reports it. Texts are UTF-8.
struct WindowInfo {
    std::string title;
    // The names the window's class goes by: the Win32 class name, or the
    // instance and class parts of an X11 WM_CLASS.
    std::vector<std::string> classNames;
    // Filled only by listers that can walk child windows.
    std::vector<WindowInfo> children;
};

// The desktop's top-level windows, read afresh on every call.
class WindowLister {
public:
    virtual ~WindowLister() = default;
    virtual std::vector<WindowInfo> TopLevelWindows() = 0;
};

} // namespace tarvik
