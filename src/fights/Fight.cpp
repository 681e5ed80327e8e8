#include "Fight.h"

#include "FightCounts.h"

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

} // namespace

void BucketSeries::MergePairs()
{
    if (values_.empty()) {
        first_ /= 2;
        return;
    }
    // Bucket b goes to b / 2: an odd first bucket has no partner before it.
    const size_t first = first_ / 2;
    const size_t last = (first_ + values_.size() - 1) / 2;
    for (size_t merged = first; merged <= last; ++merged)
        values_[merged - first] = SaturatingAdd(At(2 * merged), At(2 * merged + 1));
    values_.resize(last - first + 1);
    first_ = first;
}

void BucketSeries::Prepend(size_t bucket)
{
    values_.insert(values_.begin(), first_ - bucket, 0);
    first_ = bucket;
}

void BucketSeries::Grow(size_t at)
{
    // Grown ahead, so that a series lengthening by a second costs no call;
    // the zeros past the fight's end are no damage.
    values_.resize(std::min(std::max(at + 1, 2 * values_.size() + 16), MaxPoints - first_), 0);
}

int64_t FightCharacter::DamageFrom(CharacterId attacker) const
{
    if (damageFrom.size() > ScannedAttackers) {
        const int32_t* place = damageFromPlace_.Find(attacker.value());
        return place ? damageFrom[static_cast<size_t>(*place)].second : 0;
    }
    for (const auto& [id, amount] : damageFrom) {
        if (id == attacker)
            return amount;
    }
    return 0;
}

void FightCharacter::AddDamageFrom(CharacterId attacker, int64_t amount)
{
    if (damageFrom.size() > ScannedAttackers) {
        if (const int32_t* place = damageFromPlace_.Find(attacker.value())) {
            damageFrom[static_cast<size_t>(*place)].second += amount;
            return;
        }
        damageFromPlace_[attacker.value()] = static_cast<int32_t>(damageFrom.size());
        damageFrom.emplace_back(attacker, amount);
        return;
    }
    for (auto& [id, sum] : damageFrom) {
        if (id == attacker) {
            sum += amount;
            return;
        }
    }
    damageFrom.emplace_back(attacker, amount);
    if (damageFrom.size() > ScannedAttackers) {
        for (size_t place = 0; place < damageFrom.size(); ++place)
            damageFromPlace_[damageFrom[place].first.value()] = static_cast<int32_t>(place);
    }
}

const FightCharacter* Fight::Find(CharacterId id) const
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
        character.series.dealt.MergePairs();
        character.series.taken.MergePairs();
    }
}

void Fight::WidenFor(int64_t offset)
{
    while ((offset >> bucketShift_) >= static_cast<int64_t>(MaxSeriesPoints))
        Widen();
}

namespace {

// Adds a series whose buckets are 2^fromShift seconds from fromStart into one
// whose buckets are 2^toShift from toStart (toStart <= fromStart, toShift >=
// fromShift).
void AddSeries(BucketSeries& to, int64_t toStart, int32_t toShift, const BucketSeries& from,
               int64_t fromStart, int32_t fromShift)
{
    const std::vector<int32_t>& values = from.Values();
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i] == 0)
            continue;
        const int64_t second = fromStart + (static_cast<int64_t>(from.First() + i) << fromShift);
        const auto bucket = static_cast<size_t>((second - toStart) >> toShift);
        if (bucket < BucketSeries::MaxPoints)
            to.Add(bucket, values[i]);
    }
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
        for (BucketSeries* series : {&c.series.dealt, &c.series.taken}) {
            BucketSeries rebucketed;
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
            added.Reuse(from.id, from.dealtByType.size());
        }
        slotOf[o] = slot;
    }
    for (size_t o = 0; o < other.characters_.size(); ++o) {
        const FightCharacter& from = other.characters_[o];
        FightCharacter& to = characters_[slotOf[o]];
        AddFightCounts(to, from);
        for (size_t t = 0; t < from.dealtByType.size() && t < to.dealtByType.size(); ++t)
            to.dealtByType[t] += from.dealtByType[t];
        for (size_t t = 0; t < from.takenByType.size() && t < to.takenByType.size(); ++t)
            to.takenByType[t] += from.takenByType[t];
        to.attacksReceived += from.attacksReceived;
        if (from.dealtDamage) {
            WidenSpan(to.dealtDamage, to.firstDamageSecond, to.lastDamageSecond,
                      from.firstDamageSecond);
            WidenSpan(to.dealtDamage, to.firstDamageSecond, to.lastDamageSecond,
                      from.lastDamageSecond);
        }
        if (from.tookDamage) {
            WidenSpan(to.tookDamage, to.firstTakenSecond, to.lastTakenSecond,
                      from.firstTakenSecond);
            WidenSpan(to.tookDamage, to.firstTakenSecond, to.lastTakenSecond, from.lastTakenSecond);
        }
        AddSeries(to.series.dealt, start, shift, from.series.dealt, other.start_,
                  other.bucketShift_);
        AddSeries(to.series.taken, start, shift, from.series.taken, other.start_,
                  other.bucketShift_);
        for (const auto& [attacker, amount] : from.damageFrom)
            to.AddDamageFrom(attacker, amount);
        for (size_t slot = 0; slot < slotOf.size(); ++slot) {
            if (from.Attacked(slot))
                to.AddAttacked(slotOf[slot]);
        }
        if (from.TellsOfTarget())
            to.MakeTarget().Merge(*from.Target());
    }
    deaths_.insert(deaths_.end(), other.deaths_.begin(), other.deaths_.end());
    std::stable_sort(deaths_.begin(), deaths_.end(),
                     [](const DeathRecap& a, const DeathRecap& b) { return a.second < b.second; });
    start_ = start;
    end_ = end;
    bucketShift_ = shift;
    ++revision_;
}

void FightCharacter::Reuse(CharacterId newId, size_t damageTypes)
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
    blows = 0;
    largestBlow = 0;
    kills = 0;
    deaths = 0;
    healingReceived = 0;
    dealtDamage = false;
    firstDamageSecond = 0;
    lastDamageSecond = 0;
    tookDamage = false;
    firstTakenSecond = 0;
    lastTakenSecond = 0;
    series.dealt.Clear();
    series.taken.Clear();
    damageFrom.clear();
    damageFromPlace_.Clear();
    attacked.Clear();
    target_.Clear();
}

} // namespace tarvik
