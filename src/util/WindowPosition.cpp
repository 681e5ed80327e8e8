#include "WindowPosition.h"

#include "NumberFormat.h"
#include "SettingsStore.h"

#include <cmath>

namespace tarvik {

namespace {

constexpr const char* Section = "WindowPosition";

} // namespace

WindowPosition ReadWindowPosition(SettingsStore& store, const std::string& windowName,
                                  bool resizable)
{
    WindowPosition position;
    const auto left = ReadNumber(store, Section, windowName + "_Left");
    const auto top = ReadNumber(store, Section, windowName + "_Top");
    // A stored 0 or less means "never placed": centre instead of the screen edge.
    if (left && top && *left > 0 && *top > 0)
        position.topLeft = std::make_pair(*left, *top);
    if (resizable) {
        const auto width = ReadNumber(store, Section, windowName + "_Width");
        const auto height = ReadNumber(store, Section, windowName + "_Height");
        if (width && height && *width > 0 && *height > 0)
            position.size = std::make_pair(*width, *height);
    }
    return position;
}

void WriteWindowPosition(SettingsStore& store, const std::string& windowName, double left,
                         double top, std::optional<std::pair<double, double>> size)
{
    // As a single-precision number is written: about seven digits.
    auto single = [](double value) {
        const auto rounded = static_cast<float>(value);
        return std::abs(rounded) < 1e7f ? FormatSignificant(rounded, 7)
                                        : FormatDecimal(std::nearbyint(rounded));
    };
    store.Write(Section, windowName + "_Left", single(left));
    store.Write(Section, windowName + "_Top", single(top));
    if (size) {
        store.Write(Section, windowName + "_Width", single(size->first));
        store.Write(Section, windowName + "_Height", single(size->second));
    }
}

} // namespace tarvik
