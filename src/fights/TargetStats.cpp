#include "TargetStats.h"

#include <algorithm>

namespace tarvik {

namespace {

std::string Range(int32_t low, int32_t high, std::string_view unit)
{
    const std::string suffix(unit);
    if (low == high)
        return std::to_string(low) + suffix;
    return std::to_string(low) + "-" + std::to_string(high) + suffix;
}

// One-sided ranges keep the "low-high" shape with "?" for the open end.
std::string AcRange(const AcEvidence& ac)
{
    const auto low = ac.Low();
    const auto high = ac.High();
    if (low && high) {
        if (*low <= *high)
            return Range(*low, *high, "");
        return Range(*high, *low, ""); // contradicting: the span between them
    }
    if (low)
        return std::to_string(*low) + "-?";
    if (high)
        return "?-" + std::to_string(*high);
    return "?";
}

} // namespace

void AcEvidence::Merge(const AcEvidence& other)
{
    rolls += other.rolls;
    if (other.lowestHit != None && (lowestHit == None || other.lowestHit < lowestHit))
        lowestHit = other.lowestHit;
    if (other.highestMiss != None && (highestMiss == None || other.highestMiss > highestMiss))
        highestMiss = other.highestMiss;
}

std::optional<int32_t> AcEvidence::Low() const
{
    if (highestMiss == None || highestMiss == std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return highestMiss + 1;
}

std::optional<int32_t> AcEvidence::High() const
{
    if (lowestHit == None)
        return std::nullopt;
    return lowestHit;
}

bool AcEvidence::Contradicts() const
{
    const auto low = Low();
    const auto high = High();
    return low && high && *low > *high;
}

std::string AcText(const AcEvidence& all, const AcEvidence* lastFight)
{
    if (!all.Contradicts())
        return AcRange(all);
    if (lastFight && lastFight->rolls > 0)
        return "~" + AcRange(*lastFight);
    return "~" + AcRange(all);
}

void BonusTally::AddCount(int32_t bonus, int32_t count)
{
    if (counts_.empty()) {
        base_ = bonus;
        counts_.assign(1, count);
        return;
    }
    const int64_t low = std::min<int64_t>(base_, bonus);
    const int64_t high = std::max<int64_t>(base_ + static_cast<int64_t>(counts_.size()) - 1, bonus);
    if (high - low >= MaxSpan) {
        for (auto& [value, rolls] : strays_) {
            if (value == bonus) {
                rolls += count;
                return;
            }
        }
        strays_.emplace_back(bonus, count);
        return;
    }
    if (bonus < base_) {
        counts_.insert(counts_.begin(), static_cast<size_t>(base_ - bonus), 0);
        base_ = bonus;
    } else if (static_cast<int64_t>(bonus) - base_ >= static_cast<int64_t>(counts_.size())) {
        counts_.resize(static_cast<size_t>(bonus - base_) + 1, 0);
    }
    counts_[static_cast<size_t>(bonus - base_)] += count;
}

void BonusTally::Clear()
{
    counts_.clear();
    strays_.clear();
    base_ = 0;
    rolls_ = 0;
}

void BonusTally::Merge(const BonusTally& other)
{
    rolls_ += other.rolls_;
    for (size_t i = 0; i < other.counts_.size(); ++i) {
        if (other.counts_[i] != 0)
            AddCount(other.base_ + static_cast<int32_t>(i), other.counts_[i]);
    }
    for (const auto& [value, count] : other.strays_)
        AddCount(value, count);
}

std::optional<int32_t> BonusTally::Mode() const
{
    std::optional<int32_t> best;
    int32_t bestCount = 0;
    auto consider = [&](int32_t value, int32_t count) {
        if (count > bestCount || (count == bestCount && count > 0 && best && value > *best)) {
            best = value;
            bestCount = count;
        }
    };
    for (size_t i = 0; i < counts_.size(); ++i)
        consider(base_ + static_cast<int32_t>(i), counts_[i]);
    for (const auto& [value, count] : strays_)
        consider(value, count);
    return best;
}

void SaveBests::Add(int32_t saveType, int32_t bonus)
{
    if (saveType < 0)
        return;
    const auto index = static_cast<size_t>(saveType);
    if (index >= best_.size())
        best_.resize(index + 1, AcEvidence::None);
    if (best_[index] == AcEvidence::None || bonus > best_[index])
        best_[index] = bonus;
}

void SaveBests::Merge(const SaveBests& other)
{
    for (size_t i = 0; i < other.best_.size(); ++i) {
        if (other.best_[i] != AcEvidence::None)
            Add(static_cast<int32_t>(i), other.best_[i]);
    }
}

std::optional<int32_t> SaveBests::Best(int32_t saveType) const
{
    if (saveType < 0 || static_cast<size_t>(saveType) >= best_.size() ||
        best_[static_cast<size_t>(saveType)] == AcEvidence::None)
        return std::nullopt;
    return best_[static_cast<size_t>(saveType)];
}

std::optional<std::pair<int32_t, int32_t>> ImmunityEvidence::Interval(int32_t dealt,
                                                                      int32_t absorbed)
{
    if (dealt < 0 || absorbed < 0)
        return std::nullopt;
    const int64_t raw = static_cast<int64_t>(dealt) + absorbed;
    if (raw == 0)
        return std::nullopt;
    // floor(raw * p / 100) == absorbed  <=>  100 * absorbed <= raw * p < 100 * (absorbed + 1)
    const int64_t low = (100 * static_cast<int64_t>(absorbed) + raw - 1) / raw;
    const int64_t high = (100 * (static_cast<int64_t>(absorbed) + 1) + raw - 1) / raw - 1;
    const int64_t clampedHigh = std::min<int64_t>(high, 100);
    if (low > clampedHigh)
        return std::nullopt;
    return std::pair<int32_t, int32_t>(static_cast<int32_t>(low),
                                       static_cast<int32_t>(clampedHigh));
}

void ImmunityEvidence::AddPair(int32_t dealt, int32_t absorbedAmount)
{
    const auto interval = Interval(dealt, absorbedAmount);
    if (!interval)
        return;
    ++pairs;
    low = std::max(low, interval->first);
    high = std::min(high, interval->second);
    hullLow = std::min(hullLow, interval->first);
    hullHigh = std::max(hullHigh, interval->second);
}

void ImmunityEvidence::Merge(const ImmunityEvidence& other)
{
    if (other.pairs > 0) {
        pairs += other.pairs;
        low = std::max(low, other.low);
        high = std::min(high, other.high);
        hullLow = std::min(hullLow, other.hullLow);
        hullHigh = std::max(hullHigh, other.hullHigh);
    }
    absorbs += other.absorbs;
    absorbed += other.absorbed;
}

std::string ImmunityText(const ImmunityEvidence& all, const ImmunityEvidence* lastFight)
{
    if (all.pairs == 0)
        return "?";
    if (!all.Contradicts())
        return Range(all.low, all.high, "%");
    const ImmunityEvidence& shown = lastFight && lastFight->pairs > 0 ? *lastFight : all;
    if (!shown.Contradicts())
        return "~" + Range(shown.low, shown.high, "%");
    return "~" + Range(shown.hullLow, shown.hullHigh, "%");
}

void AbsorbTally::Add(int32_t amount)
{
    ++count;
    largest = std::max(largest, amount);
    total += amount;
}

void AbsorbTally::Merge(const AbsorbTally& other)
{
    count += other.count;
    largest = std::max(largest, other.largest);
    total += other.total;
}

double AbsorbTally::Average() const
{
    return count > 0 ? static_cast<double>(total) / count : 0.0;
}

ImmunityEvidence& TargetStats::Immunity(int32_t type, int damageTypeCount)
{
    if (immunities.empty())
        immunities.resize(static_cast<size_t>(std::max(damageTypeCount - 1, 1)));
    if (static_cast<size_t>(type) >= immunities.size())
        immunities.resize(static_cast<size_t>(type) + 1);
    return immunities[static_cast<size_t>(type)];
}

void TargetStats::Merge(const TargetStats& other)
{
    ac.Merge(other.ac);
    ab.Merge(other.ab);
    saves.Merge(other.saves);
    if (immunities.size() < other.immunities.size())
        immunities.resize(other.immunities.size());
    for (size_t t = 0; t < other.immunities.size(); ++t)
        immunities[t].Merge(other.immunities[t]);
    reductions.Merge(other.reductions);
}

bool TargetStats::Empty() const
{
    return ac.rolls == 0 && ab.Rolls() == 0 && saves.TypeBound() == 0 && immunities.empty() &&
           reductions.count == 0;
}

void TargetStats::Clear()
{
    ac = {};
    ab.Clear();
    saves.Clear();
    immunities.clear();
    reductions = {};
}

} // namespace tarvik
