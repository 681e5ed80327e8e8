#include "LogLister.h"

#include "util/FileInfo.h"
#include "util/Text.h"

#include <algorithm>

#ifndef _WIN32
#include <dirent.h>
#endif

namespace tarvik {

#ifndef _WIN32
namespace {

// Case ignored first, then as written, like ListLogs; without lower-cased copies.
bool NameBefore(const std::string& a, const std::string& b)
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const char la = ToLowerChar(a[i]);
        const char lb = ToLowerChar(b[i]);
        if (la != lb)
            return static_cast<unsigned char>(la) < static_cast<unsigned char>(lb);
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

} // namespace
#endif

LogLister::~LogLister()
{
    CloseFolder();
}

void LogLister::CloseFolder()
{
#ifndef _WIN32
    if (handle_)
        closedir(static_cast<DIR*>(handle_));
#endif
    handle_ = nullptr;
}

const std::vector<LogListEntry>& LogLister::List(const std::string& folder, std::string_view mask)
{
#ifdef _WIN32
    logs_ = ListLogs(folder, mask);
    return logs_;
#else
    // A folder removed and made anew is another folder: open that one.
    const std::optional<FileInfo> folderInfo = GetFileInfo(folder);
    if (!folderInfo) {
        CloseFolder();
        logs_.clear();
        return logs_;
    }
    if (folder != folder_ || !handle_ || !(folderInfo->identity == folderIdentity_)) {
        CloseFolder();
        folder_ = folder;
        folderIdentity_ = folderInfo->identity;
        handle_ = opendir(folder.c_str());
    } else {
        // Reads the folder afresh without opening it again.
        rewinddir(static_cast<DIR*>(handle_));
    }
    size_t count = 0;
    if (handle_) {
        while (const dirent* entry = readdir(static_cast<DIR*>(handle_))) {
            const std::string_view name = entry->d_name;
            if (!MatchesLogMask(name, mask))
                continue;
            path_.assign(folder);
            if (!path_.empty() && path_.back() != '/')
                path_ += '/';
            path_ += name;
            // Only regular files are logs; one that vanished meanwhile is none.
            const std::optional<FileInfo> info = GetFileInfo(path_);
            if (!info || !info->regular)
                continue;
            if (count == logs_.size())
                logs_.emplace_back();
            logs_[count].name.assign(name);
            logs_[count].info = *info;
            ++count;
        }
    }
    logs_.resize(count);
    std::sort(logs_.begin(), logs_.end(), [](const LogListEntry& a, const LogListEntry& b) {
        return NameBefore(a.name, b.name);
    });
    return logs_;
#endif
}

} // namespace tarvik
