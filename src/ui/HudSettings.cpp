#include "HudSettings.h"

#include <algorithm>

namespace tarvik {

std::string CountWithUnit(int32_t value, std::string_view unit)
{
    std::string text = std::to_string(value);
    text += ' ';
    text += unit;
    if (value != 1)
        text += 's';
    return text;
}

std::string OpacityText(int32_t percent)
{
    return std::to_string(percent) + "%";
}

int32_t FugueLengthMinutes(int32_t expirySeconds)
{
    // Nearest minute, halves to even, as the slider takes a whole number.
    int32_t minutes = expirySeconds / 60;
    const int32_t rest = expirySeconds % 60;
    if (rest > 30 || (rest == 30 && minutes % 2 != 0))
        ++minutes;
    return std::clamp(minutes, 1, 60);
}

} // namespace tarvik
