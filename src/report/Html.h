#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// UTF-8 text made safe for HTML and XML text and attribute values: markup
// characters become references, and control characters (which XML forbids
// and the game's colour codes bring) become "?".
std::string HtmlEscape(std::string_view text);

// A number as SVG coordinates want it: "12.5", never with the user's decimal
// comma.
std::string SvgNumber(double value);

} // namespace tarvik
