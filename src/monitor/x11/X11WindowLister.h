#pragma once

#include "monitor/WindowLister.h"

#include <cstdint>
#include <memory>
#include <string>

struct xcb_connection_t;

namespace tarvik {

// The top-level windows of an X display: the window manager's
// _NET_CLIENT_LIST when there is one, otherwise the root window's children.
// Titles come from _NET_WM_NAME, else WM_NAME; the class names are both parts
// of WM_CLASS. A lost connection is opened again at the next call.
class X11WindowLister final : public WindowLister {
public:
    // Null when the display cannot be opened. An empty name means $DISPLAY.
    static std::unique_ptr<X11WindowLister> Open(const std::string& displayName = {});
    ~X11WindowLister() override;
    X11WindowLister(const X11WindowLister&) = delete;
    X11WindowLister& operator=(const X11WindowLister&) = delete;

    std::vector<WindowInfo> TopLevelWindows() override;
    // The display as named by the caller or the environment.
    const std::string& DisplayName() const { return displayName_; }

private:
    explicit X11WindowLister(std::string displayName)
        : displayName_(std::move(displayName))
    {
    }
    bool Connect();
    void Disconnect();

    std::string displayName_;
    xcb_connection_t* connection_ = nullptr;
    uint32_t root_ = 0;
    uint32_t netClientList_ = 0;
    uint32_t netWmName_ = 0;
    uint32_t utf8String_ = 0;
};

} // namespace tarvik
