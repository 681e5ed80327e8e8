#pragma once

#include <string_view>

namespace tarvik {

// An update description names the newest version and its setup program in
// the product's section. Anything else that comes back from the address
// (a captive portal's page, an error page served with success) is not one
// and must not replace the description that holds the address to ask next.
bool IsUpdateDescription(std::string_view text, std::string_view productName);

} // namespace tarvik
