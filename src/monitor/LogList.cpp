#include "LogList.h"

#include "util/FileUtil.h"
#include "util/Text.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tarvik {

namespace fs = std::filesystem;

bool MatchesLogMask(std::string_view name, std::string_view mask)
{
    constexpr size_t None = std::string_view::npos;
    size_t n = 0;
    size_t m = 0;
    // Where the last "*" was met, to let it take one more character on a mismatch.
    size_t starMask = None;
    size_t starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() &&
                   (mask[m] == '?' || ToLowerChar(mask[m]) == ToLowerChar(name[n]))) {
            ++m;
            ++n;
        } else if (starMask != None) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

std::vector<LogListEntry> ListLogs(const std::string& folder, std::string_view mask)
{
    std::vector<LogListEntry> logs;
    std::error_code code;
    for (fs::directory_iterator it(PathFromUtf8(folder), code), end; !code && it != end;
         it.increment(code)) {
        std::string name = PathToUtf8(it->path().filename());
        if (!MatchesLogMask(name, mask))
            continue;
        // Only regular files are logs; one that vanished meanwhile is none.
        const std::optional<FileInfo> info = GetFileInfo(JoinPath(folder, name));
        if (!info || !info->regular)
            continue;
        logs.push_back({std::move(name), *info});
    }
    std::sort(logs.begin(), logs.end(), [](const LogListEntry& a, const LogListEntry& b) {
        const std::string la = ToLower(a.name);
        const std::string lb = ToLower(b.name);
        return la != lb ? la < lb : a.name < b.name;
    });
    return logs;
}

} // namespace tarvik
