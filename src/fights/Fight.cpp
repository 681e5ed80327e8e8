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

int64_t FightCharacter::DamageFrom(int32_t attacker) const
{
    if (damageFrom.size() > ScannedAttackers) {
        const int32_t* place = damageFromPlace_.Find(attacker);
        return place ? damageFrom[static_cast<size_t>(*place)].second : 0;
    }
    for (const auto& [id, amount] : damageFrom) {
        if (id == attacker)
            return amount;
    }
    return 0;
}

void FightCharacter::AddDamageFrom(int32_t attacker, int64_t amount)
{
    if (damageFrom.size() > ScannedAttackers) {
        if (const int32_t* place = damageFromPlace_.Find(attacker)) {
            damageFrom[static_cast<size_t>(*place)].second += amount;
            return;
        }
        damageFromPlace_[attacker] = static_cast<int32_t>(damageFrom.size());
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
            damageFromPlace_[damageFrom[place].first] = static_cast<int32_t>(place);
    }
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
        character.series.dealt.MergePairs();
        character.series.taken.MergePairs();
    }
}

void Fight::WidenFor(int64_t offset)
{
    while ((offset >> bucketShift_) >= static_cast<int64_t>(MaxSeriesPoints))
        Widen();
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
    tookDamage = false;
    firstTakenSecond = 0;
    lastTakenSecond = 0;
    series.dealt.Clear();
    series.taken.Clear();
    damageFrom.clear();
    damageFromPlace_.Clear();
    attacked.Clear();
    target.Clear();
}

} // namespace tarvik
