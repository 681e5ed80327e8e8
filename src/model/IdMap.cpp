#include "IdMap.h"

#include <algorithm>

namespace tarvik {

size_t IdMap::SlotOf(int32_t id) const
{
    // Fibonacci hashing spreads the dense runs of IDs the logs hand out.
    const size_t mask = slots_.size() - 1;
    size_t slot = static_cast<size_t>(static_cast<uint32_t>(id) * 2654435769u) & mask;
    while (slots_[slot].id != Free && slots_[slot].id != id)
        slot = (slot + 1) & mask;
    return slot;
}

const int32_t* IdMap::Find(int32_t id) const
{
    if (used_ == 0 || id == Free)
        return nullptr;
    const Slot& slot = slots_[SlotOf(id)];
    return slot.id == id ? &slot.value : nullptr;
}

int32_t IdMap::Get(int32_t id) const
{
    const int32_t* value = Find(id);
    return value ? *value : 0;
}

void IdMap::Grow()
{
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? FirstCapacity : old.size() * 2, Slot{});
    for (const Slot& entry : old) {
        if (entry.id != Free)
            slots_[SlotOf(entry.id)] = entry;
    }
}

int32_t& IdMap::operator[](int32_t id)
{
    if ((used_ + 1) * 4 > slots_.size() * 3)
        Grow();
    Slot& slot = slots_[SlotOf(id)];
    if (slot.id != id) {
        slot.id = id;
        slot.value = 0;
        ++used_;
    }
    return slot.value;
}

bool IdMap::Increment(int32_t id)
{
    int32_t& value = (*this)[id];
    if (value == std::numeric_limits<int32_t>::max())
        return false;
    ++value;
    return true;
}

void IdMap::Clear()
{
    std::fill(slots_.begin(), slots_.end(), Slot{});
    used_ = 0;
}

} // namespace tarvik
