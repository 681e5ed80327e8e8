#pragma once

#include "LogFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace tarvik {

// The levelled debug log every part of the program writes through.
// Level 0 lines are always written; a line of level L only when the chosen
// level is at least L. Callers check Wants() (or use Log) before building a
// message, so disabled debugging costs one comparison.
class DebugLog {
public:
    static constexpr int MaxLevel = 4;

    explicit DebugLog(LogFile& file)
        : file_(file)
    {
    }

    int Level() const { return level_; }
    void SetLevel(int level) { level_ = level < 0 ? 0 : (level > MaxLevel ? MaxLevel : level); }
    bool Wants(int level) const { return level <= level_; }
    static std::string LevelName(int level);

    // The entry point: writes message when the level allows, optionally
    // prefixed by a line counter right-aligned in nine characters.
    void LogDebug(std::string_view message, int level, bool omitTimestamp = false,
                  const int32_t* counter = nullptr);

    // Builds the message only when it will be written.
    template <class Build>
    void Log(int level, Build&& build)
    {
        if (Wants(level))
            LogDebug(std::forward<Build>(build)(), level);
    }
    template <class Build>
    void LogCounted(int level, int32_t counter, Build&& build)
    {
        if (Wants(level))
            LogDebug(std::forward<Build>(build)(), level, false, &counter);
    }

    static std::string CounterPrefix(int32_t counter);

    LogFile& File() { return file_; }

private:
    LogFile& file_;
    int level_ = 0;
};

} // namespace tarvik
