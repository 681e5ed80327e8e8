#pragma once

#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "util/Clock.h"
#include "util/FileUtil.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace tarvik::test {

// A folder of its own under the system's temporary folder, removed at the end.
class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarvik-platform-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// A debug log written to a temporary file, read back as its messages.
class DebugCapture {
public:
    explicit DebugCapture(int level = DebugLog::MaxLevel)
        : file_(clock_, lastError_, dir_.Path(), "debug")
        , debug_(file_)
    {
        debug_.SetLevel(level);
    }

    DebugLog& Log() { return debug_; }

    // The lines written so far, without their timestamps.
    std::vector<std::string> Messages() const
    {
        std::string text;
        if (ReadWholeFile(file_.FileName(), text))
            return {};
        std::vector<std::string> messages;
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find("\r\n", pos);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(pos, end - pos);
            const size_t stamp = line.find("]  ");
            if (!line.empty() && line[0] == '[' && stamp != std::string::npos)
                line.erase(0, stamp + 3);
            messages.push_back(std::move(line));
            pos = end + 2;
        }
        return messages;
    }

    int Count(const std::string& message) const
    {
        int count = 0;
        for (const std::string& line : Messages())
            count += line == message ? 1 : 0;
        return count;
    }

private:
    ScratchDir dir_;
    ManualClock clock_;
    ErrObject lastError_;
    LogFile file_;
    DebugLog debug_;
};

} // namespace tarvik::test
