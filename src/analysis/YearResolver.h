#pragma once

#include "util/DateTime.h"

#include <string>
#include <string_view>

namespace tarvik {

// The game's timestamps carry no year ("Tue Jan 13 19:48:11"). A line's year
// is, the first that applies:
// 1. the year of the latest session header above it in the same file, or
//    the year after when its day comes before the header's (a session across
//    New Year's Eve);
// 2. the latest year, not after the file was last written, in which its day
//    falls on the weekday the stamp carries;
// 3. the current year, or the year before when that would lie after the file
//    was last written.
// No rule dates a line after tomorrow: a file written "in the future" (a copy
// from a machine whose clock was wrong) counts as written tomorrow.
class YearResolver {
public:
    YearResolver(DateTime today, DateTime fileModified);

    // The session header's date; a zero date forgets it.
    void SetSessionStart(DateTime start);
    DateTime SessionStart() const { return sessionStart_; }

    // The year for a timestamp as the log writes it.
    int YearOf(std::string_view stamp);

    // The date in "Wed Dec 31 19:21:48 2025" (the text after the header's
    // marker); false when it is none.
    static bool ParseSessionHeader(std::string_view text, DateTime& start);

private:
    struct StampDay {
        int weekday = -1; // 0 = Sunday; -1: none written
        int month = 0;
        int day = 0;
    };
    static bool ParseStampDay(std::string_view stamp, StampDay& result);
    int Resolve(const StampDay& day) const;
    static int KeyOf(DateTime date);

    DateTime today_;
    // The latest day a line may fall on: tomorrow, or the day the file was
    // written when that is earlier.
    int latestDayKey_ = 0;
    int tomorrowKey_ = 0;
    DateTime sessionStart_;
    // Consecutive lines share their day: resolve it once.
    std::string lastDayText_; // before the time of day
    std::string lastDayTail_; // after it
    int lastYear_ = 0;
};

} // namespace tarvik
