#include "TableText.h"

#include <algorithm>

namespace tarvik {

namespace {

bool LooksNumeric(const std::string& cell)
{
    if (cell.empty())
        return true;
    return std::all_of(cell.begin(), cell.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == ',' || c == '.' || c == '%' || c == '-';
    });
}

// Width as shown: UTF-8 continuation bytes take no column.
size_t Columns(const std::string& text)
{
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

} // namespace

std::string TableText(const std::vector<std::vector<std::string>>& rows, const std::string& indent)
{
    size_t columns = 0;
    for (const auto& row : rows)
        columns = std::max(columns, row.size());
    std::vector<size_t> width(columns, 0);
    std::vector<bool> right(columns, true);
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            width[c] = std::max(width[c], Columns(rows[r][c]));
            if (r > 0 && !LooksNumeric(rows[r][c]))
                right[c] = false;
        }
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line = indent;
        for (size_t c = 0; c < row.size(); ++c) {
            const std::string padding(width[c] - Columns(row[c]), ' ');
            if (c > 0)
                line += "  ";
            line += right[c] ? padding + row[c] : row[c] + padding;
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += line + "\n";
    }
    return text;
}

} // namespace tarvik
