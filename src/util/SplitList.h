#pragma once

#include <string_view>
#include <vector>

namespace tarvik {

// Removes the delimiter (and, when asked, blanks) from both ends, repeatedly.
std::string_view TrimDelimiters(std::string_view text, std::string_view delimiter, bool trimBlanks);
// TrimDelimiters with the NUL character.
std::string_view TrimNulls(std::string_view text, bool trimBlanks);

// Splits text at every occurrence of delimiter; each item is trimmed of
// blanks and delimiters. Two delimiters in a row give an empty item between
// them; delimiters and blanks at the ends of the whole text are ignored.
// Returns false (with one empty item) when nothing is left to split.
// Items point into text, which must outlive them.
bool SplitList(std::string_view text, std::vector<std::string_view>& items,
               std::string_view delimiter);

} // namespace tarvik
