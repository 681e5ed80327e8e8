#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarvik {

// What a line of the error list is. Real logs hold hundreds of lines without
// a timestamp that are no fault of the log: the session header, the engine's
// own lines, chat the game writes a second time without a stamp, and the
// further lines of a message that runs over several lines. Only the last
// class is what a player calls a problem.
enum class LineClass : uint8_t {
    Blank,
    SessionHeader,
    Engine,
    ChatDuplicate,
    Continuation,
    Problem,
};
inline constexpr size_t LineClassCount = 6;

// "blank", "session header", "engine", "chat duplicate", "continuation", "problem".
std::string_view LineClassName(LineClass lineClass);

// How many lines of each class were met.
struct LineCounts {
    std::array<int64_t, LineClassCount> byClass{};

    int64_t& operator[](LineClass c) { return byClass[static_cast<size_t>(c)]; }
    int64_t operator[](LineClass c) const { return byClass[static_cast<size_t>(c)]; }
    int64_t Total() const
    {
        int64_t total = 0;
        for (const int64_t count : byClass)
            total += count;
        return total;
    }
};

} // namespace tarvik
