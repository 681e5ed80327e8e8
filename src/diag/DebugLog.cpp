#include "DebugLog.h"


namespace tarvik {

std::string DebugLog::LevelName(int level)
{
    switch (level) {
    case 1:
        return "Low";
    case 2:
        return "Medium";
    case 3:
        return "High";
    case 4:
        return "Ludicrous";
    default:
        return "Disabled";
    }
}

std::string DebugLog::CounterPrefix(int32_t counter)
{
    std::string digits = std::to_string(counter);
    if (digits.size() > 9)
        digits.erase(0, digits.size() - 9);
    return "(" + std::string(9 - digits.size(), ' ') + digits + ") - ";
}

void DebugLog::LogDebug(std::string_view message, int level, bool omitTimestamp,
                        const int32_t* counter)
{
    if (!Wants(level))
        return;
    if (counter) {
        std::string body = CounterPrefix(*counter);
        body.append(message);
        file_.WriteLog(body, omitTimestamp);
    } else {
        file_.WriteLog(message, omitTimestamp);
    }
}

} // namespace tarvik
