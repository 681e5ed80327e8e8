#include "Clock.h"

#include <chrono>
#include <ctime>

namespace tarvik {

DateTime LocalDateTimeFromUnix(int64_t seconds, int milliseconds)
{
    const auto time = static_cast<std::time_t>(seconds);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    return DateTime::FromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                               local.tm_min, local.tm_sec, milliseconds);
}

DateTime SystemClock::Now() const
{
    const auto now = std::chrono::system_clock::now();
    const int64_t ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    const int64_t seconds = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    return LocalDateTimeFromUnix(seconds, static_cast<int>(ms - seconds * 1000));
}

int64_t SystemClock::TickMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace tarvik
