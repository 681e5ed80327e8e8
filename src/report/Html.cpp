#include "Html.h"

#include <charconv>
#include <cmath>

namespace tarvik {

std::string HtmlEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') || c == 0x7f)
                out += '?';
            else
                out += c;
        }
    }
    return out;
}

std::string SvgNumber(double value)
{
    if (!std::isfinite(value))
        return "0";
    // One decimal is finer than a pixel.
    const double rounded = std::round(value * 10) / 10;
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, rounded == 0 ? 0.0 : rounded,
                      std::chars_format::fixed, rounded == std::floor(rounded) ? 0 : 1);
    return std::string(buffer, result.ptr);
}

} // namespace tarvik
