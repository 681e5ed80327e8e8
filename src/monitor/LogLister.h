#pragma once

#include "LogList.h"
#include "util/FileInfo.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// ListLogs for a timer: keeps the folder open and its list's memory between
// calls, so that looking at an unchanged folder allocates nothing.
class LogLister {
public:
    LogLister() = default;
    ~LogLister();
    LogLister(const LogLister&) = delete;
    LogLister& operator=(const LogLister&) = delete;

    // What ListLogs(folder, mask) gives; valid until the next call.
    const std::vector<LogListEntry>& List(const std::string& folder, std::string_view mask);

private:
    void CloseFolder();

    std::vector<LogListEntry> logs_;
    std::string folder_;
    FileIdentity folderIdentity_;
    std::string path_;       // the folder and one file name, rebuilt in place
    void* handle_ = nullptr; // the open folder (DIR*) where the system allows
};

} // namespace tarvik
