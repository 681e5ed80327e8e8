#include "Fight.h"

#include <algorithm>
#include <limits>

namespace tarvik {

namespace {

int32_t SaturatingAdd(int32_t a, int32_t b)
{
    const int64_t sum = static_cast<int64_t>(a) + b;
    return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

void MergePairs(std::vector<int32_t>& values)
{
    const size_t merged = (values.size() + 1) / 2;
    for (size_t i = 0; i < merged; ++i) {
        const int32_t second = 2 * i + 1 < values.size() ? values[2 * i + 1] : 0;
        values[i] = SaturatingAdd(values[2 * i], second);
    }
    values.resize(merged);
}

} // namespace

int64_t FightCharacter::DamageFrom(int32_t attacker) const
{
    for (const auto& [id, amount] : damageFrom) {
        if (id == attacker)
            return amount;
    }
    return 0;
}

const FightCharacter* Fight::Find(int32_t id) const
{
    for (const auto& character : characters_) {
        if (character.id == id)
            return &character;
    }
    return nullptr;
}

void Fight::Widen()
{
    ++bucketShift_;
    for (auto& character : characters_) {
        MergePairs(character.series.dealt);
        MergePairs(character.series.taken);
    }
}

void Fight::WidenFor(int64_t offset)
{
    while ((offset >> bucketShift_) >= static_cast<int64_t>(MaxSeriesPoints))
        Widen();
}

void Fight::Grow(std::vector<int32_t>& series, size_t bucket)
{
    // Grown ahead, so that a series lengthening by a second costs no call;
    // the zeros past the fight's end are no damage.
    series.resize(std::min(std::max(bucket + 1, 2 * series.size() + 16), MaxSeriesPoints), 0);
}

namespace {

// Adds a series that starts at fromStart with buckets of 2^fromShift seconds
// into one that starts at toStart with buckets of 2^toShift (toStart <=
// fromStart, toShift >= fromShift).
void AddSeries(std::vector<int32_t>& to, int64_t toStart, int32_t toShift,
               const std::vector<int32_t>& from, int64_t fromStart, int32_t fromShift)
{
    for (size_t i = 0; i < from.size(); ++i) {
        if (from[i] == 0)
            continue;
        const int64_t second = fromStart + (static_cast<int64_t>(i) << fromShift);
        const auto bucket = static_cast<size_t>((second - toStart) >> toShift);
        if (bucket >= Fight::MaxSeriesPoints)
            continue;
        if (to.size() <= bucket)
            to.resize(bucket + 1, 0);
        to[bucket] = SaturatingAdd(to[bucket], from[i]);
    }
}

void SetBit(std::vector<uint64_t>& bits, size_t slot)
{
    if (slot / 64 >= bits.size())
        bits.resize(slot / 64 + 1, 0);
    bits[slot / 64] |= uint64_t{1} << (slot % 64);
}

} // namespace

void Fight::MergeFrom(const Fight& other)
{
    const int64_t start = std::min(start_, other.start_);
    const int64_t end = std::max(end_, other.end_);
    int32_t shift = std::max(bucketShift_, other.bucketShift_);
    while (((end - start) >> shift) >= static_cast<int64_t>(MaxSeriesPoints))
        ++shift;
    for (FightCharacter& c : characters_) {
        for (std::vector<int32_t>* series : {&c.series.dealt, &c.series.taken}) {
            std::vector<int32_t> rebucketed;
            AddSeries(rebucketed, start, shift, *series, start_, bucketShift_);
            *series = std::move(rebucketed);
        }
    }

    // Where each of the other fight's characters is in this one.
    std::vector<size_t> slotOf(other.characters_.size());
    for (size_t o = 0; o < other.characters_.size(); ++o) {
        const FightCharacter& from = other.characters_[o];
        size_t slot = 0;
        while (slot < characters_.size() && characters_[slot].id != from.id)
            ++slot;
        if (slot == characters_.size()) {
            FightCharacter& added = characters_.emplace_back();
            added.id = from.id;
            added.dealtByType.assign(from.dealtByType.size(), 0);
            added.takenByType.assign(from.takenByType.size(), 0);
        }
        slotOf[o] = slot;
    }
    for (size_t o = 0; o < other.characters_.size(); ++o) {
        const FightCharacter& from = other.characters_[o];
        FightCharacter& to = characters_[slotOf[o]];
        to.damageDealt += from.damageDealt;
        to.damageTaken += from.damageTaken;
        for (size_t t = 0; t < from.dealtByType.size() && t < to.dealtByType.size(); ++t)
            to.dealtByType[t] += from.dealtByType[t];
        for (size_t t = 0; t < from.takenByType.size() && t < to.takenByType.size(); ++t)
            to.takenByType[t] += from.takenByType[t];
        to.attacks += from.attacks;
        to.attacksReceived += from.attacksReceived;
        to.hits += from.hits;
        to.criticalHits += from.criticalHits;
        to.kills += from.kills;
        to.deaths += from.deaths;
        to.healingReceived += from.healingReceived;
        if (from.dealtDamage) {
            to.firstDamageSecond = to.dealtDamage
                                       ? std::min(to.firstDamageSecond, from.firstDamageSecond)
                                       : from.firstDamageSecond;
            to.lastDamageSecond = to.dealtDamage
                                      ? std::max(to.lastDamageSecond, from.lastDamageSecond)
                                      : from.lastDamageSecond;
            to.dealtDamage = true;
        }
        AddSeries(to.series.dealt, start, shift, from.series.dealt, other.start_,
                  other.bucketShift_);
        AddSeries(to.series.taken, start, shift, from.series.taken, other.start_,
                  other.bucketShift_);
        for (const auto& [attacker, amount] : from.damageFrom) {
            auto it = std::find_if(to.damageFrom.begin(), to.damageFrom.end(),
                                   [&](const auto& entry) { return entry.first == attacker; });
            if (it == to.damageFrom.end())
                to.damageFrom.emplace_back(attacker, amount);
            else
                it->second += amount;
        }
        for (size_t bit = 0; bit < from.attacked.size() * 64; ++bit) {
            if (from.Attacked(bit) && bit < slotOf.size())
                SetBit(to.attacked, slotOf[bit]);
        }
        to.target.Merge(from.target);
    }
    deaths_.insert(deaths_.end(), other.deaths_.begin(), other.deaths_.end());
    std::stable_sort(deaths_.begin(), deaths_.end(),
                     [](const DeathRecap& a, const DeathRecap& b) { return a.second < b.second; });
    start_ = start;
    end_ = end;
    bucketShift_ = shift;
}

void FightCharacter::Reuse(int32_t newId, size_t damageTypes)
{
    id = newId;
    damageDealt = 0;
    damageTaken = 0;
    dealtByType.assign(damageTypes, 0);
    takenByType.assign(damageTypes, 0);
    attacks = 0;
    attacksReceived = 0;
    hits = 0;
    criticalHits = 0;
    kills = 0;
    deaths = 0;
    healingReceived = 0;
    dealtDamage = false;
    firstDamageSecond = 0;
    lastDamageSecond = 0;
    series.dealt.clear();
    series.taken.clear();
    damageFrom.clear();
    attacked.clear();
    target.Clear();
}

} // namespace tarvik
