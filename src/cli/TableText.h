#pragma once

#include <string>
#include <vector>

namespace tarvik {

// A table as aligned text: the first row is the header; a column whose cells
// all read as numbers (digits, commas, a point, "%", "-") is aligned right.
std::string TableText(const std::vector<std::vector<std::string>>& rows,
                      const std::string& indent = "  ");

} // namespace tarvik
