#pragma once

#include "FightEvents.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {

// What hits and misses against a character say of its armour class: it lies
// above the highest missed total and at or below the lowest hit total.
struct AcEvidence {
    static constexpr int32_t None = std::numeric_limits<int32_t>::min();
    int32_t highestMiss = None;
    int32_t lowestHit = None;
    int32_t rolls = 0;

    // Only hits and misses of a roll that is neither a natural 1 nor a
    // natural 20 tell anything; the threat roll never does.
    static bool Tells(AttackOutcome outcome, const AttackRoll& roll)
    {
        return (outcome == AttackOutcome::Hit || outcome == AttackOutcome::CriticalHit ||
                outcome == AttackOutcome::Miss) &&
               roll.roll != 1 && roll.roll != 20;
    }
    void Add(int32_t total, bool hit)
    {
        ++rolls;
        if (hit) {
            if (lowestHit == None || total < lowestHit)
                lowestHit = total;
        } else if (highestMiss == None || total > highestMiss) {
            highestMiss = total;
        }
    }
    void Merge(const AcEvidence& other);
    std::optional<int32_t> Low() const;  // lowest possible AC
    std::optional<int32_t> High() const; // highest possible AC
    bool Contradicts() const;
};

// "45", "45-48", "46-?" (only misses), "?-38" (only hits), "?" (no rolls);
// when the rolls contradict each other (Epic Dodge, buffs), the last fight's
// range marked "~".
std::string AcText(const AcEvidence& all, const AcEvidence* lastFight);

// How often each attack bonus was rolled.
class BonusTally {
public:
    void Add(int32_t bonus)
    {
        ++rolls_;
        const int64_t at = static_cast<int64_t>(bonus) - base_;
        if (at >= 0 && at < static_cast<int64_t>(counts_.size()))
            ++counts_[static_cast<size_t>(at)];
        else
            AddCount(bonus, 1);
    }
    void Merge(const BonusTally& other);
    // Forgets every roll and keeps the memory for the next.
    void Clear();
    int32_t Rolls() const { return rolls_; }
    // The most frequent bonus; of equally frequent ones the highest.
    std::optional<int32_t> Mode() const;

private:
    // Counted by bonus from base_ on, as bonuses lie close together; a bonus
    // far from the others is counted on its own.
    static constexpr int32_t MaxSpan = 512;
    void AddCount(int32_t bonus, int32_t count);

    std::vector<int32_t> counts_;
    int32_t base_ = 0;
    std::vector<std::pair<int32_t, int32_t>> strays_; // bonus, rolls
    int32_t rolls_ = 0;
};

// The highest bonus seen for each save type (1-based; 0: no type matched).
class SaveBests {
public:
    void Add(int32_t saveType, int32_t bonus);
    void Merge(const SaveBests& other);
    void Clear() { best_.clear(); }
    std::optional<int32_t> Best(int32_t saveType) const;
    int32_t TypeBound() const { return static_cast<int32_t>(best_.size()); }

private:
    std::vector<int32_t> best_;
};

// Damage immunity of one type: the whole percentages p that every pair of a
// damage amount N and the immunity's absorbed M that followed it allows under
// the game's rounding down, M = floor((N + M) * p / 100).
struct ImmunityEvidence {
    int32_t low = 0; // low > high: the pairs contradict each other
    int32_t high = 100;
    int32_t hullLow = 100; // the widest range any single pair allowed
    int32_t hullHigh = 0;
    int32_t pairs = 0;
    int32_t absorbs = 0;
    int64_t absorbed = 0;

    // The percentages one pair allows; empty when it allows none.
    static std::optional<std::pair<int32_t, int32_t>> Interval(int32_t dealt, int32_t absorbed);
    void AddPair(int32_t dealt, int32_t absorbedAmount);
    // The evidence of both, as if every pair had been added to one.
    void Merge(const ImmunityEvidence& other);
    bool Contradicts() const { return pairs > 0 && low > high; }
};

// "25%", "20-25%", "?" (absorbs without a damage amount to pair); when the
// pairs contradict each other, the last fight's range marked "~".
std::string ImmunityText(const ImmunityEvidence& all, const ImmunityEvidence* lastFight);

// Damage resistance and reduction absorbs, which name no damage type.
struct AbsorbTally {
    int32_t count = 0;
    int32_t largest = 0;
    int64_t total = 0;

    void Add(int32_t amount);
    void Merge(const AbsorbTally& other);
    double Average() const; // 0 without absorbs
};

// What a character's own rolls and the rolls against it tell, over the whole
// analysis or one fight.
struct TargetStats {
    AcEvidence ac;
    BonusTally ab;
    SaveBests saves;
    // One per damage type (without "Total"), made on the first immunity absorb.
    std::vector<ImmunityEvidence> immunities;
    AbsorbTally reductions;

    ImmunityEvidence& Immunity(int32_t type, int damageTypeCount);
    void Merge(const TargetStats& other);
    // Forgets everything and keeps the memory for the next.
    void Clear();
    bool Empty() const;
};

} // namespace tarvik
