#pragma once

#include <string>
#include <vector>

namespace tarvik {

// One view of the detail window: every cell the grid shows, including its
// fixed header row and label column, and the window's caption.
struct DetailGrid {
    std::string caption;
    int columns = 2;
    int fixedRows = 0;
    int fixedColumns = 1;
    // Header texts before ";", row labels after it, cells separated by "|".
    std::string format;
    std::vector<std::vector<std::string>> cells;
    // What each column's header means, where its text alone does not say.
    std::vector<std::string> headerTips;
};

} // namespace tarvik
