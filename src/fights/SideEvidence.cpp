#include "SideEvidence.h"

#include "util/Text.h"

#include <algorithm>

namespace tarvik {

namespace {

constexpr size_t FirstTableSize = 256;

size_t SlotOf(uint64_t key, size_t mask)
{
    key ^= key >> 29;
    key *= 0xbf58476d1ce4e5b9ULL;
    key ^= key >> 32;
    return static_cast<size_t>(key) & mask;
}

} // namespace

void SideEvidence::Clear()
{
    const uint64_t version = version_ + 1;
    *this = SideEvidence();
    version_ = version;
}

bool SideEvidence::NameSet::Add(std::string_view name)
{
    name = Trim(name);
    if (name.empty() || names.size() >= MaxNames)
        return false;
    std::string key = ToLower(name);
    if (!folded.insert(key).second)
        return false;
    names.push_back(std::move(key));
    return true;
}

void SideEvidence::NotePartySpeaker(std::string_view name)
{
    if (speakers_.Add(name))
        ++version_;
}

void SideEvidence::NoteDominated(std::string_view name)
{
    if (dominated_.Add(name))
        ++version_;
}

bool SideEvidence::SetFlag(std::vector<bool>& flags, CharacterId id, bool value)
{
    if (id.IsNone())
        return false;
    const auto index = static_cast<size_t>(id.value());
    if (index >= flags.size()) {
        if (!value)
            return false;
        flags.resize(index + 1, false);
    }
    if (flags[index] == value)
        return false;
    flags[index] = value;
    return true;
}

void SideEvidence::NotePartyLeft(CharacterId id, bool left)
{
    if (SetFlag(leftParty_, id, left))
        ++version_;
}

void SideEvidence::NoteInferredMember(CharacterId id)
{
    if (SetFlag(inferred_, id, true))
        ++version_;
}

void SideEvidence::Grow()
{
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? FirstTableSize : old.size() * 2, Slot{});
    const size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.key == 0)
            continue;
        size_t at = SlotOf(slot.key, mask);
        while (slots_[at].key != 0)
            at = (at + 1) & mask;
        slots_[at] = slot;
    }
    lastKey_ = 0;
}

int64_t& SideEvidence::WeightOf(uint64_t key)
{
    if (key == lastKey_)
        return slots_[lastSlot_].weight;
    if ((used_ + 1) * 4 > slots_.size() * 3)
        Grow();
    const size_t mask = slots_.size() - 1;
    size_t at = SlotOf(key, mask);
    while (slots_[at].key != 0 && slots_[at].key != key)
        at = (at + 1) & mask;
    if (slots_[at].key == 0) {
        slots_[at].key = key;
        ++used_;
    }
    lastKey_ = key;
    lastSlot_ = at;
    return slots_[at].weight;
}

void SideEvidence::NoteBlow(CharacterId from, CharacterId to)
{
    if (from.IsNone() || to.IsNone() || from == to)
        return;
    const auto low = static_cast<uint64_t>(std::min(from, to).value());
    const auto high = static_cast<uint64_t>(std::max(from, to).value());
    ++WeightOf(low << 32 | high);
    ++version_;
}

std::vector<BlowEdge> SideEvidence::Edges() const
{
    std::vector<BlowEdge> edges;
    edges.reserve(used_);
    for (const Slot& slot : slots_) {
        if (slot.key != 0)
            edges.push_back({static_cast<int32_t>(slot.key >> 32),
                             static_cast<int32_t>(slot.key & 0xffffffffU), slot.weight});
    }
    return edges;
}

} // namespace tarvik
