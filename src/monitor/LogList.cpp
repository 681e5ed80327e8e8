#include "LogList.h"

#include "util/FileUtil.h"
#include "util/Text.h"

#include <algorithm>
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
        std::error_code entryCode;
        if (!it->is_regular_file(entryCode))
            continue;
        std::string name = PathToUtf8(it->path().filename());
        if (!MatchesLogMask(name, mask))
            continue;
        // A log whose time cannot be read is taken as the oldest.
        fs::file_time_type modified = it->last_write_time(entryCode);
        if (entryCode)
            modified = fs::file_time_type::min();
        logs.push_back({std::move(name), modified});
    }
    std::sort(logs.begin(), logs.end(), [](const LogListEntry& a, const LogListEntry& b) {
        const std::string la = ToLower(a.name);
        const std::string lb = ToLower(b.name);
        return la != lb ? la < lb : a.name < b.name;
    });
    return logs;
}

} // namespace tarvik
