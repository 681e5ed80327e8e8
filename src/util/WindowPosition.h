#pragma once

#include <optional>
#include <string>
#include <utility>

namespace tarvik {

class SettingsStore;

// A window's stored place in twips.
struct WindowPosition {
    std::optional<std::pair<double, double>> topLeft; // absent: centre the window
    std::optional<std::pair<double, double>> size;    // absent: keep the size
};
WindowPosition ReadWindowPosition(SettingsStore& store, const std::string& windowName,
                                  bool resizable);
void WriteWindowPosition(SettingsStore& store, const std::string& windowName, double left,
                         double top, std::optional<std::pair<double, double>> size);

} // namespace tarvik
