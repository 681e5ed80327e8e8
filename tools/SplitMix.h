#pragma once

#include <cstdint>

namespace tarvik {

// splitmix64: fast, and the same everywhere, so that a seed always gives the
// same log.
class SplitMix {
public:
    explicit SplitMix(uint64_t seed)
        : state_(seed)
    {
    }

    uint64_t Next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 to n - 1; a choice of one takes no draw.
    int Below(int n) { return n <= 1 ? 0 : static_cast<int>(Next() % static_cast<uint64_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    // The sum of count dice of sides each.
    int Roll(int count, int sides)
    {
        int sum = 0;
        for (int i = 0; i < count; ++i)
            sum += 1 + Below(sides);
        return sum;
    }
    template <class Items>
    const auto& Pick(const Items& items)
    {
        return items[static_cast<size_t>(Below(static_cast<int>(items.size())))];
    }

private:
    uint64_t state_;
};

} // namespace tarvik
