#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace tarvik {

// Pairs of a 1-based ID and its count, in ID order.
using IdCountList = std::vector<std::pair<int32_t, int32_t>>;

// Counts by 1-based ID that hold only the IDs counted: a creature killed once
// costs one entry, not a table as wide as every character met. Counting is
// constant time (open addressing with linear probing).
class IdCounts {
public:
    // The count of id; 0 when never counted.
    int32_t Get(int32_t id) const;
    // Adds one to the count of id (IDs below 1 are ignored). False, and
    // nothing changed, when the count would overflow.
    [[nodiscard]] bool Increment(int32_t id);
    // How many IDs have a count.
    size_t Size() const { return used_; }
    bool Empty() const { return used_ == 0; }
    // Every count, in ID order.
    IdCountList Sorted() const;

private:
    struct Slot {
        int32_t id = 0; // 0: free
        int32_t count = 0;
    };
    static constexpr size_t FirstCapacity = 4;
    size_t SlotOf(int32_t id) const;
    void Grow();

    std::vector<Slot> slots_; // capacity a power of two, at most 3/4 used
    size_t used_ = 0;
};

} // namespace tarvik
