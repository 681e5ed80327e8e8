#include "RecentEvents.h"

namespace tarvik {

static_assert((RecentEvents::Capacity & (RecentEvents::Capacity - 1)) == 0,
              "the ring wraps by masking");

void RecentEvents::Clear()
{
    first_ = 0;
    count_ = 0;
    newest_ = 0;
}

RecapEvent& RecentEvents::Next(CharacterId character, int64_t second)
{
    if (entries_.empty())
        entries_.resize(Capacity);
    if (count_ > 0 && second < newest_ - window_)
        Clear();
    if (count_ == 0 || second > newest_)
        newest_ = second;
    while (count_ > 0 && At(0).event.second < newest_ - window_) {
        first_ = (first_ + 1) & (Capacity - 1);
        --count_;
    }
    if (count_ == Capacity) {
        first_ = (first_ + 1) & (Capacity - 1);
        --count_;
    }
    Entry& entry = At(count_++);
    entry.character = character;
    entry.event = RecapEvent{};
    entry.event.second = second;
    return entry.event;
}

void RecentEvents::Cut(CharacterId character, int64_t second, size_t max, PackedRecapEvents& out)
{
    const int64_t from = second - window_;
    size_t first = count_;
    size_t found = 0;
    for (size_t i = count_; i-- > 0 && found < max;) {
        const Entry& entry = At(i);
        if (entry.event.second < from)
            break; // read in time order: the rest is older
        if (entry.character == character && entry.event.second <= second) {
            ++found;
            first = i;
        }
    }
    packer_.Start();
    for (size_t i = first, added = 0; i < count_ && added < found; ++i) {
        const Entry& entry = At(i);
        if (entry.character == character && entry.event.second <= second) {
            packer_.Add(entry.event);
            ++added;
        }
    }
    packer_.Finish(out);
}

} // namespace tarvik
