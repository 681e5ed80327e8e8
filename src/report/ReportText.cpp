#include "ReportText.h"

#include "util/FileUtil.h"

#include <algorithm>

namespace tarvik {

std::string DurationText(int64_t seconds)
{
    if (seconds < 60)
        return std::to_string(seconds) + " s";
    const std::string secs = std::to_string(seconds % 60);
    return std::to_string(seconds / 60) + ":" + (secs.size() < 2 ? "0" : "") + secs;
}

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
