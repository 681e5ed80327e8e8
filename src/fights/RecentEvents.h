#pragma once

#include "Fight.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvik {

// The last seconds of combat events of every character, in the order read,
// from which a recap is cut at each death. One ring for everybody, bounded
// by time and by a fixed number of events, so that memory does not follow
// the number of characters or lines.
class RecentEvents {
public:
    static constexpr size_t Capacity = 8192;

    explicit RecentEvents(int32_t windowSeconds)
        : window_(windowSeconds)
    {
    }
    int32_t WindowSeconds() const { return window_; }
    void Clear();
    size_t Size() const { return count_; }

    // The slot of the next event of the character, to be filled in; events
    // older than the window before it go, and so does everything when time
    // went back by more than the window (the next log began earlier).
    RecapEvent& Next(CharacterId character, int64_t second);
    void Push(CharacterId character, const RecapEvent& event)
    {
        Next(character, event.second) = event;
    }

    // The character's events from second - window to second, oldest first;
    // at most max of them, the newest.
    void Cut(CharacterId character, int64_t second, size_t max, PackedRecapEvents& out);

private:
    struct Entry {
        CharacterId character;
        RecapEvent event;
    };
    Entry& At(size_t i) { return entries_[(first_ + i) & (Capacity - 1)]; }
    const Entry& At(size_t i) const { return entries_[(first_ + i) & (Capacity - 1)]; }

    int32_t window_;
    std::vector<Entry> entries_; // Capacity entries once the first comes
    size_t first_ = 0;
    size_t count_ = 0;
    int64_t newest_ = 0;
    PackedRecapEvents::Packer packer_; // reused by Cut: one allocation per death
};

} // namespace tarvik
