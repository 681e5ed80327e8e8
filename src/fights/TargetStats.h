#pragma once

#include "FightEvents.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {

// How often each whole value (an attack bonus, a roll's total) came up.
class ValueTally {
public:
    ValueTally() = default;
    ValueTally(const ValueTally& other);
    ValueTally& operator=(const ValueTally& other);
    ValueTally(ValueTally&&) noexcept = default;
    ValueTally& operator=(ValueTally&&) noexcept = default;

    void Add(int32_t value, int32_t count = 1)
    {
        rolls_ += count;
        const int64_t at = static_cast<int64_t>(value) - base_;
        if (at >= 0 && at < static_cast<int64_t>(counts_.size()))
            counts_[static_cast<size_t>(at)] += count;
        else
            AddCount(value, count);
    }
    void Merge(const ValueTally& other);
    // Forgets every value and keeps the memory for the next.
    void Clear();
    int32_t Rolls() const { return rolls_; }
    int32_t Count(int32_t value) const;
    std::optional<int32_t> Max() const;
    // The most frequent value; of equally frequent ones the highest.
    std::optional<int32_t> Mode() const;
    // Every value with its count, lowest first.
    std::vector<std::pair<int32_t, int32_t>> Values() const;

private:
    // Counted by value from base_ on, as values lie close together; a value
    // far from the others is counted on its own.
    static constexpr int32_t MaxSpan = 512;
    void AddCount(int32_t value, int32_t count);

    using Strays = std::vector<std::pair<int32_t, int32_t>>; // value, count

    std::vector<int32_t> counts_;
    int32_t base_ = 0;
    int32_t rolls_ = 0;
    // Made for the first stray: few tallies have any, and a tally stays small.
    std::unique_ptr<Strays> strays_;
};

// A range of whole values; an open end is unset.
struct ValueRange {
    std::optional<int32_t> low;
    std::optional<int32_t> high;

    friend bool operator==(const ValueRange&, const ValueRange&) = default;
};

// What hits and misses against a character say of its armour class: a hit's
// total reaches it, a miss's stays below it.
struct AcEvidence {
    static constexpr int32_t None = std::numeric_limits<int32_t>::min();
    int32_t highestMiss = None;
    int32_t lowestHit = None;
    int32_t rolls = 0;
    ValueTally hitTotals;
    ValueTally missTotals;

    // Only hits and misses of a roll that is neither a natural 1 nor a
    // natural 20 tell anything, and not a miss that carries a threat roll:
    // that attack hit and was evaded.
    static bool Tells(AttackOutcome outcome, const AttackRoll& roll)
    {
        return (outcome == AttackOutcome::Hit || outcome == AttackOutcome::CriticalHit ||
                (outcome == AttackOutcome::Miss && !roll.hasThreat)) &&
               roll.roll != 1 && roll.roll != 20;
    }
    // A hit that was written as a miss: it kept its threat roll (Epic Dodge).
    static bool Evaded(AttackOutcome outcome, const AttackRoll& roll)
    {
        return outcome == AttackOutcome::Miss && roll.hasThreat;
    }
    void Add(int32_t total, bool hit)
    {
        ++rolls;
        if (hit) {
            hitTotals.Add(total);
            if (lowestHit == None || total < lowestHit)
                lowestHit = total;
        } else {
            missTotals.Add(total);
            if (highestMiss == None || total > highestMiss)
                highestMiss = total;
        }
    }
    void Merge(const AcEvidence& other);
    // Forgets every roll and keeps the memory for the next.
    void Clear();
    std::optional<int32_t> Low() const;  // above the highest miss
    std::optional<int32_t> High() const; // the lowest hit
    bool Contradicts() const;

    // The armour classes with which the fewest rolls disagree (a hit below
    // it, a miss at or above it), and how many do; without a contradiction
    // that is Low() to High() with none.
    struct Estimate {
        ValueRange range;
        int32_t outliers = 0;
    };
    Estimate LeastContradiction() const;
};

// "45", "45-48", "46-?" (only misses), "?-38" (only hits), "?" (no rolls);
// with rolls that disagree, the armour class fewest disagree with and how
// many do: "63 (5 of 521 rolls disagree)".
std::string AcText(const AcEvidence& ac);

// The attacks of one round: the highest bonus and how many steps of 5 below
// it were seen (the game's iterative attacks), with the rolls behind it.
struct AbLadder {
    static constexpr int32_t Step = 5;
    int32_t top = 0;
    int32_t steps = 0;
    int32_t rolls = 0;

    // The ladder of one fight's rolls: its highest bonus and each bonus 5,
    // 10, ... below it for as long as one was rolled. Extra attacks at the
    // top (haste, flurry) add no step.
    static std::optional<AbLadder> Of(const ValueTally& bonuses);
    // "69 / 64 / 59 / 54"
    std::string Text() const;
    std::vector<int32_t> Bonuses() const;
};

// The ladders of several fights, one entry per top bonus.
class LadderTally {
public:
    void Add(const AbLadder& ladder);
    void Merge(const LadderTally& other);
    void Clear() { ladders_.clear(); }
    bool Empty() const { return ladders_.empty(); }
    // The top most rolls were made under (of equally many the highest), with
    // the longest ladder seen under it.
    std::optional<AbLadder> Best() const;

private:
    std::vector<AbLadder> ladders_;
};

// The highest bonus seen for each save type, none (no type matched)
// included.
class SaveBests {
public:
    void Add(SaveTypeIndex saveType, int32_t bonus);
    void Merge(const SaveBests& other);
    void Clear() { best_.clear(); }
    std::optional<int32_t> Best(SaveTypeIndex saveType) const;
    // Every type with a best is below it.
    SaveTypeIndex TypeBound() const { return SaveTypeIndex(static_cast<int32_t>(best_.size())); }

private:
    std::vector<int32_t> best_; // by the type's value, so that none has one
};

// How many pairs allow each whole percentage 0 to 100, kept as the changes
// from one percentage to the next: a few entries, however many pairs.
class PercentVotes {
public:
    // One pair that allows the union of these ranges (each low..high).
    void Add(std::span<const std::pair<int32_t, int32_t>> ranges);
    void Merge(const PercentVotes& other);
    int32_t Pairs() const { return pairs_; }

    // The percentages most pairs allow, lowest to highest, and how many do.
    struct Best {
        int32_t low = 0;
        int32_t high = 0;
        int32_t votes = 0;
        bool operator==(const Best&) const = default;
    };
    std::optional<Best> Top() const;

private:
    std::vector<std::pair<int16_t, int32_t>> steps_; // percentage, change; sorted
    int32_t pairs_ = 0;
};

// Damage immunity of one type. Each pair of an immunity absorb M with the
// damage amount N of its hit (what resistance and reduction took from the
// same hit added back) allows the whole percentages p with
// M = floor((N + M) * p / 100); where it is not clear which hit an absorb
// belongs to, it allows what any of them would.
struct ImmunityEvidence {
    PercentVotes votes;
    // Pairs whose attacker is known, by attacker: physical subtypes differ.
    std::vector<std::pair<CharacterId, PercentVotes>> byAttacker;
    int32_t absorbs = 0;
    int64_t absorbed = 0;

    // The percentages one pair allows; empty when it allows none.
    static std::optional<std::pair<int32_t, int32_t>> Interval(int32_t dealt, int32_t absorbed);
    // One absorb and the (dealt, absorbed) pairs it may stand for; attacker
    // none when they are not all one attacker's.
    void AddPair(std::span<const std::pair<int32_t, int32_t>> alternatives, CharacterId attacker);
    void AddPair(int32_t dealt, int32_t absorbedAmount, CharacterId attacker = {})
    {
        const std::pair<int32_t, int32_t> pair{dealt, absorbedAmount};
        AddPair(std::span(&pair, 1), attacker);
    }
    // The evidence of both, as if every pair had been added to one.
    void Merge(const ImmunityEvidence& other);
    int32_t Pairs() const { return votes.Pairs(); }
};

// "25% (220 of 226 hits)", "24-25% (3 hits)" where every pair allows both,
// "?" (absorbs without a damage amount to pair).
std::string ImmunityText(const ImmunityEvidence& immunity);
// "25%", "24-25%", "?": the share alone.
std::string PercentText(const PercentVotes& votes);

// Damage resistance and reduction absorbs, which name no damage type.
struct AbsorbTally {
    int32_t count = 0;
    int32_t largest = 0;
    int64_t total = 0;

    void Add(int32_t amount);
    void Merge(const AbsorbTally& other);
    double Average() const; // 0 without absorbs
};

// Something counted by a name of the tracker's table (NameTable).
struct NameCount {
    int32_t name = 0;
    int32_t count = 0;
    bool operator==(const NameCount&) const = default;
};
// A spell resistance check's result for one spell.
struct SpellResult {
    int32_t spell = 0;  // in the tracker's name table
    int32_t result = 0; // "IMMUNE", "FAILED", ... in the same table
    int32_t count = 0;
    bool operator==(const SpellResult&) const = default;
};

// What a character's own rolls and the rolls against it tell, over the whole
// analysis or one fight.
struct TargetStats {
    AcEvidence ac;
    AcEvidence touchAc; // touch attacks: against touch AC
    int32_t evaded = 0; // hits evaded (Epic Dodge)
    ValueTally ab;      // every attack roll's bonus
    // One fight's main-hand and off-hand bonuses of ordinary attacks (no
    // special or touch attack, which carry bonuses of their own).
    ValueTally mainHand;
    ValueTally offHand;
    // Merged from several fights: one ladder per fight.
    LadderTally mainLadders;
    LadderTally offLadders;
    SaveBests saves;
    // One per damage type (without "Total"), made on the first immunity absorb.
    std::vector<ImmunityEvidence> immunities;
    AbsorbTally reductions;
    std::vector<NameCount> specialImmunities; // "Critical Hits", "FEAR", ...
    std::vector<SpellResult> spellResults;

    ImmunityEvidence& Immunity(DamageTypeIndex type, int damageTypeCount);
    void AddSpecialImmunity(int32_t name);
    void AddSpellResult(int32_t spell, int32_t result);
    // The main-hand and off-hand ladders: of the fights merged, or of this
    // one fight's rolls.
    std::optional<AbLadder> MainLadder() const;
    std::optional<AbLadder> OffLadder() const;
    void Merge(const TargetStats& other);
    // Forgets everything and keeps the memory for the next.
    void Clear();
    bool Empty() const;
};

} // namespace tarvik
