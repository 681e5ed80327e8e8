#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace tarvik {

// A position that counts from First, typed by Tag so that positions of
// different things do not mix. Any value below First names nothing; the
// default is First - 1. Slot() is the 0-based place in an array of the
// things, FromSlot() its inverse.
template <class Tag, int32_t First>
class StrongIndex {
public:
    constexpr StrongIndex() = default;
    constexpr explicit StrongIndex(int32_t value)
        : value_(value)
    {
    }
    static constexpr StrongIndex None() { return StrongIndex(); }
    static constexpr StrongIndex FromSlot(size_t slot)
    {
        return StrongIndex(static_cast<int32_t>(slot) + First);
    }

    constexpr int32_t value() const { return value_; }
    constexpr bool IsNone() const { return value_ < First; }
    // Only for a value that names something.
    constexpr size_t Slot() const { return static_cast<size_t>(value_ - First); }
    // Whether this names one of count things.
    constexpr bool Within(size_t count) const { return !IsNone() && Slot() < count; }

    // Spelled out: the three-way operator needs <compare>, which Qt's moc
    // cannot read.
    friend constexpr bool operator==(StrongIndex a, StrongIndex b) { return a.value_ == b.value_; }
    friend constexpr bool operator!=(StrongIndex a, StrongIndex b) { return a.value_ != b.value_; }
    friend constexpr bool operator<(StrongIndex a, StrongIndex b) { return a.value_ < b.value_; }
    friend constexpr bool operator<=(StrongIndex a, StrongIndex b) { return a.value_ <= b.value_; }
    friend constexpr bool operator>(StrongIndex a, StrongIndex b) { return a.value_ > b.value_; }
    friend constexpr bool operator>=(StrongIndex a, StrongIndex b) { return a.value_ >= b.value_; }

private:
    int32_t value_ = First - 1;
};

} // namespace tarvik

template <class Tag, int32_t First>
struct std::hash<tarvik::StrongIndex<Tag, First>> {
    size_t operator()(tarvik::StrongIndex<Tag, First> index) const noexcept
    {
        return std::hash<int32_t>{}(index.value());
    }
};
