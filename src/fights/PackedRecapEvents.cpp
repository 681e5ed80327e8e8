#include "PackedRecapEvents.h"

#include "Fight.h"

#include <algorithm>

namespace tarvik {

namespace {

// Each event: a head byte (the kind, success and which fields differ from
// their defaults), the seconds since the event before with the number of
// damage types, then the fields that differ, then the types. Numbers are
// zigzag varints, so that small ones of either sign take one byte.
constexpr uint8_t KindBits = 0x07;
constexpr uint8_t SuccessBit = 0x08;
constexpr uint8_t SourceBit = 0x10;
constexpr uint8_t AmountBit = 0x20;
constexpr uint8_t TypeBit = 0x40;
constexpr uint8_t DcBit = 0x80;
constexpr int TypeCountBits = 3;
// The head, then at most ten bytes for the timing and five for each 32-bit
// number.
constexpr size_t MaxPackedBytes = 1 + 10 + 4 * 5 + 2 * RecapEvent::MaxTypes * 5;

static_assert(static_cast<uint8_t>(RecapKind::Save) <= KindBits, "a kind fits its bits");
static_assert(RecapEvent::MaxTypes < (1u << TypeCountBits), "a type count fits its bits");

uint64_t Zigzag(int64_t value)
{
    return (static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63);
}

int64_t Unzigzag(uint64_t value)
{
    return static_cast<int64_t>(value >> 1) ^ -static_cast<int64_t>(value & 1);
}

uint8_t* PutVarint(uint8_t* at, uint64_t value)
{
    for (; value >= 0x80; value >>= 7)
        *at++ = static_cast<uint8_t>(value | 0x80);
    *at++ = static_cast<uint8_t>(value);
    return at;
}

uint64_t GetVarint(const uint8_t*& at)
{
    uint64_t value = 0;
    for (int shift = 0;; shift += 7) {
        const uint8_t byte = *at++;
        value |= static_cast<uint64_t>(byte & 0x7f) << shift;
        if ((byte & 0x80) == 0)
            return value;
    }
}

size_t TypeCount(const RecapEvent& event)
{
    return std::min<size_t>(event.typeCount, RecapEvent::MaxTypes);
}

uint8_t Head(const RecapEvent& event)
{
    return static_cast<uint8_t>(
        static_cast<uint8_t>(event.kind) | (event.success ? SuccessBit : 0) |
        (event.source.value() != 0 ? SourceBit : 0) | (event.amount != 0 ? AmountBit : 0) |
        (event.type != -1 ? TypeBit : 0) | (event.dc != -1 ? DcBit : 0));
}

uint64_t Timing(const RecapEvent& event, int64_t previousSecond)
{
    // Seconds come from millisecond dates: their differences fit with room
    // for the count.
    return Zigzag(event.second - previousSecond) << TypeCountBits | TypeCount(event);
}

uint8_t* Pack(uint8_t* at, const RecapEvent& event, int64_t previousSecond)
{
    const uint8_t head = Head(event);
    *at++ = head;
    at = PutVarint(at, Timing(event, previousSecond));
    if (head & SourceBit)
        at = PutVarint(at, Zigzag(event.source.value()));
    if (head & AmountBit)
        at = PutVarint(at, Zigzag(event.amount));
    if (head & TypeBit)
        at = PutVarint(at, Zigzag(event.type));
    if (head & DcBit)
        at = PutVarint(at, Zigzag(event.dc));
    for (size_t t = 0; t < TypeCount(event); ++t) {
        at = PutVarint(at, Zigzag(event.types[t].type.value()));
        at = PutVarint(at, Zigzag(event.types[t].amount));
    }
    return at;
}

int32_t GetInt32(const uint8_t*& at)
{
    return static_cast<int32_t>(Unzigzag(GetVarint(at)));
}

} // namespace

void PackedRecapEvents::Assign(std::span<const RecapEvent> events)
{
    Packer packer;
    packer.Start();
    for (const RecapEvent& event : events)
        packer.Add(event);
    packer.Finish(*this);
}

void PackedRecapEvents::Packer::Start()
{
    bytes_.clear();
    count_ = 0;
    previousSecond_ = 0;
}

void PackedRecapEvents::Packer::Add(const RecapEvent& event)
{
    const size_t used = bytes_.size();
    bytes_.resize(used + MaxPackedBytes);
    const uint8_t* end = Pack(bytes_.data() + used, event, previousSecond_);
    bytes_.resize(static_cast<size_t>(end - bytes_.data()));
    previousSecond_ = event.second;
    ++count_;
}

void PackedRecapEvents::Packer::Finish(PackedRecapEvents& out) const
{
    // A copy of exactly the bytes: a recap holds no spare capacity.
    out.bytes_ = std::vector<uint8_t>(bytes_.begin(), bytes_.end());
    out.count_ = count_;
}

std::vector<RecapEvent> PackedRecapEvents::Unpack() const
{
    std::vector<RecapEvent> events(count_);
    const uint8_t* at = bytes_.data();
    int64_t previous = 0;
    for (RecapEvent& event : events) {
        const uint8_t head = *at++;
        const uint64_t timing = GetVarint(at);
        event.second = previous + Unzigzag(timing >> TypeCountBits);
        previous = event.second;
        event.typeCount = static_cast<uint8_t>(
            std::min<uint64_t>(timing & ((1u << TypeCountBits) - 1), RecapEvent::MaxTypes));
        event.kind = static_cast<RecapKind>(head & KindBits);
        event.success = (head & SuccessBit) != 0;
        if (head & SourceBit)
            event.source = CharacterId(GetInt32(at));
        if (head & AmountBit)
            event.amount = GetInt32(at);
        if (head & TypeBit)
            event.type = GetInt32(at);
        if (head & DcBit)
            event.dc = GetInt32(at);
        for (size_t t = 0; t < event.typeCount; ++t) {
            event.types[t].type = DamageTypeIndex(GetInt32(at));
            event.types[t].amount = GetInt32(at);
        }
    }
    return events;
}

} // namespace tarvik
