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
    series.dealt.clear();
    series.taken.clear();
    damageFrom.clear();
    attacked.clear();
    target.Clear();
}

} // namespace tarvik
