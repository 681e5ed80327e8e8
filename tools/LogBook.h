#pragma once

#include "LogLines.h"
#include "SplitMix.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace tarvik {

// The log a scene writes to, its clock and the dice: what the scenes of a
// generated session (travel, chat, fights) share. Lines are stamped with
// the book's time, which only Wait moves.
class LogBook {
public:
    explicit LogBook(uint64_t seed)
        : random(seed)
    {
    }

    // A new log of that client, its first line at that time of that day.
    void Start(LogClient client, int year, int month, int day, int64_t second)
    {
        out_.clear();
        // The classic client ends its lines with CR LF, the Enhanced Edition with LF.
        writer_ = LogLineWriter(client, client == LogClient::Classic ? "\r\n" : "\n");
        time_ = {WeekdayOf(year, month, day), month, day, second};
    }
    // The log written since Start.
    std::string Finish() { return std::exchange(out_, {}); }

    void Line(std::string_view body) { writer_.Dated(out_, time_, body); }
    void Wait(int64_t seconds)
    {
        // The evenings end before midnight; a day's roll-over is not needed.
        time_.secondOfDay = std::min<int64_t>(time_.secondOfDay + seconds, 86399);
    }

    SplitMix random;

private:
    LogLineWriter writer_{LogClient::Classic, "\r\n"};
    StampTime time_;
    std::string out_;
};

} // namespace tarvik
