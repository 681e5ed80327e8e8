#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace tarvik {

// Pairs of an ID and its number, in ID order.
template <class Id = int32_t>
using IdCountList = std::vector<std::pair<Id, int32_t>>;

// Numbers by ID that hold only the IDs set: a creature killed once costs one
// entry, not a table as wide as every character met. Each look-up is constant
// time (open addressing with linear probing). Any ID but the lowest 32-bit
// number can be a key.
class IdMap {
public:
    // The number of id; 0 when it has none.
    int32_t Get(int32_t id) const;
    // The number of id, or null when it has none.
    const int32_t* Find(int32_t id) const;
    // The number of id, added as 0 when it has none.
    int32_t& operator[](int32_t id);
    // Adds one to the number of id. False, and nothing changed, when it would
    // overflow.
    [[nodiscard]] bool Increment(int32_t id);
    // How many IDs have a number.
    size_t Size() const { return used_; }
    bool Empty() const { return used_ == 0; }
    // Forgets every ID and keeps the memory.
    void Clear();
    // Every ID with its number, in ID order, each ID made an Id.
    template <class Id = int32_t>
    IdCountList<Id> Sorted() const
    {
        IdCountList<Id> list;
        list.reserve(used_);
        for (const Slot& slot : slots_) {
            if (slot.id != Free)
                list.emplace_back(Id(slot.id), slot.value);
        }
        std::sort(list.begin(), list.end());
        return list;
    }

private:
    static constexpr int32_t Free = std::numeric_limits<int32_t>::min();
    static constexpr size_t FirstCapacity = 4;
    struct Slot {
        int32_t id = Free;
        int32_t value = 0;
    };
    size_t SlotOf(int32_t id) const;
    void Grow();

    std::vector<Slot> slots_; // capacity a power of two, at most 3/4 used
    size_t used_ = 0;
};

} // namespace tarvik
