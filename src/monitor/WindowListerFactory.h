#pragma once

#include "WindowLister.h"

#include <memory>
#include <string>

namespace tarvik {

class DebugLog;

// The lister for this desktop: on Windows its window list; elsewhere the X11
// window list (also under XWayland) when an X display can be opened,
// otherwise one that finds no windows. An empty displayName means the
// session's $DISPLAY.
std::unique_ptr<WindowLister> CreateWindowLister(DebugLog& debug,
                                                 const std::string& displayName = {});

} // namespace tarvik
