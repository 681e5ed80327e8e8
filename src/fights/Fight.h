#pragma once

#include "PackedRecapEvents.h"
#include "TargetStats.h"
#include "model/IdMap.h"
#include "model/Indices.h"
#include "util/DateTime.h"

#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace tarvik {

// Seconds since the zero date: the resolution of the game's timestamps.
inline int64_t SecondOf(DateTime date)
{
    const int64_t ms = date.Milliseconds();
    return ms >= 0 ? ms / DateTime::MsPerSecond
                   : (ms - DateTime::MsPerSecond + 1) / DateTime::MsPerSecond;
}
inline DateTime DateOfSecond(int64_t second)
{
    return DateTime::FromMilliseconds(second * DateTime::MsPerSecond);
}

// Damage per time bucket of a fight, kept from the first bucket with damage
// on: a character that joins a long fight late holds no zeros for the time
// before. Sums stop at the 32-bit limits instead of wrapping.
class BucketSeries {
public:
    static constexpr size_t MaxPoints = 3600;

    // The bucket of Values()[0].
    size_t First() const { return first_; }
    // From First() on; zeros past the last damage may follow.
    const std::vector<int32_t>& Values() const { return values_; }
    int32_t At(size_t bucket) const
    {
        return bucket >= first_ && bucket - first_ < values_.size() ? values_[bucket - first_] : 0;
    }
    // bucket is below MaxPoints.
    void Add(size_t bucket, int32_t amount)
    {
        if (values_.empty())
            first_ = bucket;
        else if (bucket < first_)
            Prepend(bucket);
        const size_t at = bucket - first_;
        if (at >= values_.size())
            Grow(at);
        const int64_t sum = static_cast<int64_t>(values_[at]) + amount;
        values_[at] = sum > INT32_MAX   ? INT32_MAX
                      : sum < INT32_MIN ? INT32_MIN
                                        : static_cast<int32_t>(sum);
    }
    // Buckets twice as wide: bucket b becomes b / 2.
    void MergePairs();
    void Clear()
    {
        first_ = 0;
        values_.clear();
    }

private:
    void Prepend(size_t bucket);
    void Grow(size_t at);

    size_t first_ = 0;
    std::vector<int32_t> values_;
};

// Damage dealt and taken by one character. All series of a fight share its
// bucket width.
struct DamageSeries {
    BucketSeries dealt;
    BucketSeries taken;
};

// Target statistics made on first need and kept on the heap, so that a
// fight's list of characters stays small to grow and move. Copies copy them.
class TargetStatsOnHeap {
public:
    TargetStatsOnHeap() = default;
    TargetStatsOnHeap(const TargetStatsOnHeap& other) { *this = other; }
    TargetStatsOnHeap& operator=(const TargetStatsOnHeap& other)
    {
        if (this != &other)
            stats_ = other.stats_ ? std::make_unique<TargetStats>(*other.stats_) : nullptr;
        return *this;
    }
    TargetStatsOnHeap(TargetStatsOnHeap&&) noexcept = default;
    TargetStatsOnHeap& operator=(TargetStatsOnHeap&&) noexcept = default;

    const TargetStats* Get() const { return stats_.get(); }
    TargetStats& Make()
    {
        if (!stats_)
            stats_ = std::make_unique<TargetStats>();
        return *stats_;
    }
    // Forgets what they held and keeps the memory for the next.
    void Clear()
    {
        if (stats_)
            stats_->Clear();
    }

private:
    std::unique_ptr<TargetStats> stats_;
};

// One character's part in one fight.
struct FightCharacter {
    // Counts and sums first, then the series and who hurt it, then the rolls.
    CharacterId id;
    int64_t damageDealt = 0;
    int64_t damageTaken = 0;
    std::vector<int64_t> dealtByType; // per damage type, without "Total"
    std::vector<int64_t> takenByType;
    int32_t attacks = 0;
    int32_t attacksReceived = 0;
    int32_t hits = 0; // critical hits included
    int32_t criticalHits = 0;
    int32_t blows = 0;       // damage lines dealt, spells included
    int32_t largestBlow = 0; // the largest of them
    int32_t kills = 0;
    int32_t deaths = 0;
    int64_t healingReceived = 0;
    bool dealtDamage = false;
    int64_t firstDamageSecond = 0; // of damage dealt
    int64_t lastDamageSecond = 0;
    bool tookDamage = false;
    int64_t firstTakenSecond = 0; // of damage taken
    int64_t lastTakenSecond = 0;
    DamageSeries series;
    // Damage taken by attacker: who did what to this character, in the order
    // they first did.
    std::vector<std::pair<CharacterId, int64_t>> damageFrom;
    // Whom it made attack rolls against, by place in the fight's list
    // (Fight::Characters()).
    IdMap attacked;

    bool Attacked(size_t slot) const { return attacked.Find(static_cast<int32_t>(slot)); }
    void AddAttacked(size_t slot) { attacked[static_cast<int32_t>(slot)] = 1; }

    // What the rolls and effects told of it; null before the first told
    // anything, which is as good as empty.
    const TargetStats* Target() const { return target_.Get(); }
    bool TellsOfTarget() const { return target_.Get() && !target_.Get()->Empty(); }
    TargetStats& MakeTarget() { return target_.Make(); }

    int64_t DamageFrom(CharacterId attacker) const;
    // From its first to its last damage taken, at least 1 s; 0 without any.
    int64_t TakenSeconds() const
    {
        return !tookDamage                          ? 0
               : lastTakenSecond > firstTakenSecond ? lastTakenSecond - firstTakenSecond
                                                    : 1;
    }
    void AddDamageFrom(CharacterId attacker, int64_t amount);
    // A character of this ID with nothing done yet, keeping the memory of
    // what this one held.
    void Reuse(CharacterId newId, size_t damageTypes);

private:
    // A short list is searched; a long one (many attackers in one fight)
    // through its index of places.
    static constexpr size_t ScannedAttackers = 8;
    IdMap damageFromPlace_;
    TargetStatsOnHeap target_;
};

enum class RecapKind : uint8_t { Damage, Immunity, Absorb, Healing, Save };

// One event before a death, as the recap shows it.
struct RecapEvent {
    static constexpr size_t MaxTypes = 4;
    struct TypeAmount {
        DamageTypeIndex type{0};
        int32_t amount = 0;
        bool operator==(const TypeAmount&) const = default;
    };

    int64_t second = 0;
    RecapKind kind = RecapKind::Damage;
    CharacterId source; // damage: the attacker
    int32_t amount = 0; // damage: the total; absorbed, healed; save: roll + bonus
    int32_t type = -1;  // immunity: DamageType(); save: SaveType()
    int32_t dc = -1;    // save
    bool success = false;
    // Damage: the largest amounts by type, in configuration order.
    std::array<TypeAmount, MaxTypes> types{};
    uint8_t typeCount = 0;

    DamageTypeIndex DamageType() const { return DamageTypeIndex(type); }
    SaveTypeIndex SaveType() const { return SaveTypeIndex(type); }
    bool operator==(const RecapEvent&) const = default;
};

// A death and the victim's events of the seconds before it, as read: the
// recap merges and sums them when shown. Kept for every death, so that a
// character marked later still has its recaps.
struct DeathRecap {
    // Events kept at most, the newest: enough for the lines a recap shows.
    static constexpr size_t MaxEvents = 256;

    int64_t second = 0;
    CharacterId victim;
    CharacterId killer;
    PackedRecapEvents events; // oldest first
};

// Combat from the first event after a quiet gap to the last before the next.
class Fight {
public:
    // Keeps every damage series at or below this many points; longer fights
    // merge seconds into wider buckets.
    static constexpr size_t MaxSeriesPoints = BucketSeries::MaxPoints;

    explicit Fight(FightIndex index = FightIndex(0), int64_t startSecond = 0)
        : index_(index)
        , start_(startSecond)
        , end_(startSecond)
    {
    }

    FightIndex Index() const { return index_; }
    // As the views number fights, from 1.
    int32_t Number() const { return index_.value() + 1; }
    int64_t StartSecond() const { return start_; }
    int64_t EndSecond() const { return end_; }
    DateTime Start() const { return DateOfSecond(start_); }
    DateTime End() const { return DateOfSecond(end_); }
    // From the first to the last event, at least 1 s.
    int64_t DurationSeconds() const { return end_ - start_ > 0 ? end_ - start_ : 1; }
    int32_t BucketSeconds() const { return int32_t{1} << bucketShift_; }
    // Buckets from the start to the last event.
    size_t SeriesPoints() const { return static_cast<size_t>((end_ - start_) >> bucketShift_) + 1; }

    const std::vector<FightCharacter>& Characters() const { return characters_; }
    const FightCharacter* Find(CharacterId id) const;
    const std::vector<DeathRecap>& Deaths() const { return deaths_; }
    // Goes up with every event the fight takes in: a fight shown before has
    // changed since when its revision has.
    uint64_t Revision() const { return revision_; }

private:
    friend class FightTracker;
    // Takes in a fight that overlaps this one or follows it closely (a file
    // boundary cut it in two): times, numbers, series and deaths together.
    void MergeFrom(const Fight& other);
    // The series bucket of a moment, widening every bucket first when the
    // moment lies beyond the last point.
    size_t BucketOf(int64_t second)
    {
        const int64_t offset = second > start_ ? second - start_ : 0;
        if ((offset >> bucketShift_) >= static_cast<int64_t>(MaxSeriesPoints))
            WidenFor(offset);
        return static_cast<size_t>(offset >> bucketShift_);
    }
    // Widens the buckets until offset falls within the last point.
    void WidenFor(int64_t offset);
    void Widen();

    FightIndex index_;
    int64_t start_;
    int64_t end_;
    int32_t bucketShift_ = 0; // buckets are 2^shift seconds wide
    uint64_t revision_ = 0;
    std::vector<FightCharacter> characters_;
    std::vector<DeathRecap> deaths_;
};

} // namespace tarvik
