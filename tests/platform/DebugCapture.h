#pragma once

#include "TestSupport.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "util/Clock.h"
#include "util/FileUtil.h"

#include <string>

namespace tarvik::test {

// A debug log at the highest level, written to a folder of its own.
class DebugCapture {
public:
    DebugCapture() { debug_.SetLevel(DebugLog::MaxLevel); }
    DebugLog& Log() { return debug_; }

    // How often text occurs in the log.
    int Count(const std::string& text) const
    {
        std::string log;
        if (ReadWholeFile(file_.FileName(), log))
            return 0;
        int count = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++count;
        return count;
    }

private:
    TempDir dir_;
    ManualClock clock_;
    ErrObject lastError_;
    LogFile file_{clock_, lastError_, dir_.Path(), "debug"};
    DebugLog debug_{file_};
};

} // namespace tarvik::test
