#pragma once

#include <string>
#include <string_view>

namespace tarvik {

bool IsValidUtf8(std::string_view bytes);
std::string Cp1252ToUtf8(std::string_view bytes);
// Log bytes as UTF-8 for display: valid UTF-8 stays, anything else is read
// as Windows-1252.
std::string DisplayText(std::string_view bytes);
// True when the start of a file reads as UTF-16: a byte-order mark, or a NUL
// in every other byte as Latin text has in that encoding.
bool LooksLikeUtf16(std::string_view start);

} // namespace tarvik
