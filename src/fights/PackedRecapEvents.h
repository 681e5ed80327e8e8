#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tarvik {

struct RecapEvent;

// A death's recap events packed into bytes: most take under a dozen bytes
// instead of the 72 of a RecapEvent, as every death keeps its events for as
// long as its fight is kept. Unpack() gives them back exactly as packed.
class PackedRecapEvents {
public:
    PackedRecapEvents() = default;
    explicit PackedRecapEvents(std::span<const RecapEvent> events) { Assign(events); }

    // Holds these events, oldest first, in memory of exactly their size.
    void Assign(std::span<const RecapEvent> events);
    size_t Size() const { return count_; }
    bool Empty() const { return count_ == 0; }
    std::vector<RecapEvent> Unpack() const;
    // The bytes held: what a recap costs.
    size_t Bytes() const { return bytes_.size(); }

    // Packs events one at a time into a buffer kept from recap to recap, so
    // that a recap costs one allocation of its exact size.
    class Packer {
    public:
        void Start();
        void Add(const RecapEvent& event);
        // Hands out the events added since Start().
        void Finish(PackedRecapEvents& out) const;

    private:
        std::vector<uint8_t> bytes_;
        uint32_t count_ = 0;
        int64_t previousSecond_ = 0;
    };

private:
    std::vector<uint8_t> bytes_;
    uint32_t count_ = 0;
};

} // namespace tarvik
