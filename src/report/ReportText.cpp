#include "ReportText.h"

#include "util/FileUtil.h"

#include <algorithm>

namespace tarvik {

std::vector<std::string> ReportFileNames(const std::vector<std::string>& paths)
{
    std::vector<std::string> files;
    for (const auto& path : paths) {
        if (FileExists(path))
            files.push_back(GetFileName(path));
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace tarvik
