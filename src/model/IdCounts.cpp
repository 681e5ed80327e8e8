#include "IdCounts.h"

#include <algorithm>
#include <limits>

namespace tarvik {

size_t IdCounts::SlotOf(int32_t id) const
{
    // Fibonacci hashing spreads the dense run of IDs the logs hand out.
    const size_t mask = slots_.size() - 1;
    size_t slot = static_cast<size_t>(static_cast<uint32_t>(id) * 2654435769u) & mask;
    while (slots_[slot].id != 0 && slots_[slot].id != id)
        slot = (slot + 1) & mask;
    return slot;
}

int32_t IdCounts::Get(int32_t id) const
{
    if (id < 1 || slots_.empty())
        return 0;
    return slots_[SlotOf(id)].count;
}

void IdCounts::Grow()
{
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? FirstCapacity : old.size() * 2, Slot{});
    for (const Slot& entry : old) {
        if (entry.id != 0)
            slots_[SlotOf(entry.id)] = entry;
    }
}

bool IdCounts::Increment(int32_t id)
{
    if (id < 1)
        return true; // no opponent to count against
    if ((used_ + 1) * 4 > slots_.size() * 3)
        Grow();
    Slot& slot = slots_[SlotOf(id)];
    if (slot.count == std::numeric_limits<int32_t>::max())
        return false;
    if (slot.id == 0) {
        slot.id = id;
        ++used_;
    }
    ++slot.count;
    return true;
}

IdCountList IdCounts::Sorted() const
{
    IdCountList list;
    list.reserve(used_);
    for (const Slot& slot : slots_) {
        if (slot.id != 0)
            list.emplace_back(slot.id, slot.count);
    }
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace tarvik
