#include "TargetStats.h"

#include "util/NumberFormat.h"

#include <algorithm>

namespace tarvik {

namespace {

std::string RangeText(const ValueRange& range, std::string_view unit)
{
    const std::string suffix(unit);
    if (range.low && range.high) {
        if (*range.low == *range.high)
            return std::to_string(*range.low) + suffix;
        return std::to_string(*range.low) + "-" + std::to_string(*range.high) + suffix;
    }
    if (range.low)
        return std::to_string(*range.low) + "-?" + suffix;
    if (range.high)
        return "?-" + std::to_string(*range.high) + suffix;
    return "?";
}

std::string Plural(int64_t count, const char* one, const char* many)
{
    return FormatThousands(count) + " " + (count == 1 ? one : many);
}

} // namespace

void ValueTally::AddCount(int32_t value, int32_t count)
{
    if (counts_.empty()) {
        base_ = value;
        counts_.assign(1, count);
        return;
    }
    const int64_t low = std::min<int64_t>(base_, value);
    const int64_t high = std::max<int64_t>(base_ + static_cast<int64_t>(counts_.size()) - 1, value);
    if (high - low >= MaxSpan) {
        if (!strays_)
            strays_ = std::make_unique<Strays>();
        for (auto& [stray, strayCount] : *strays_) {
            if (stray == value) {
                strayCount += count;
                return;
            }
        }
        strays_->emplace_back(value, count);
        return;
    }
    if (value < base_) {
        counts_.insert(counts_.begin(), static_cast<size_t>(base_ - value), 0);
        base_ = value;
    } else if (static_cast<int64_t>(value) - base_ >= static_cast<int64_t>(counts_.size())) {
        counts_.resize(static_cast<size_t>(value - base_) + 1, 0);
    }
    counts_[static_cast<size_t>(value - base_)] += count;
}

ValueTally::ValueTally(const ValueTally& other)
    : counts_(other.counts_)
    , base_(other.base_)
    , rolls_(other.rolls_)
    , strays_(other.strays_ ? std::make_unique<Strays>(*other.strays_) : nullptr)
{
}

ValueTally& ValueTally::operator=(const ValueTally& other)
{
    if (this != &other)
        *this = ValueTally(other);
    return *this;
}

void ValueTally::Clear()
{
    counts_.clear();
    if (strays_)
        strays_->clear();
    base_ = 0;
    rolls_ = 0;
}

void ValueTally::Merge(const ValueTally& other)
{
    rolls_ += other.rolls_;
    for (size_t i = 0; i < other.counts_.size(); ++i) {
        if (other.counts_[i] != 0)
            AddCount(other.base_ + static_cast<int32_t>(i), other.counts_[i]);
    }
    if (other.strays_) {
        for (const auto& [value, count] : *other.strays_)
            AddCount(value, count);
    }
}

int32_t ValueTally::Count(int32_t value) const
{
    const int64_t at = static_cast<int64_t>(value) - base_;
    int32_t count =
        at >= 0 && at < static_cast<int64_t>(counts_.size()) ? counts_[static_cast<size_t>(at)] : 0;
    if (strays_) {
        for (const auto& [stray, strayCount] : *strays_) {
            if (stray == value)
                count += strayCount;
        }
    }
    return count;
}

std::vector<std::pair<int32_t, int32_t>> ValueTally::Values() const
{
    std::vector<std::pair<int32_t, int32_t>> values;
    for (size_t i = 0; i < counts_.size(); ++i) {
        if (counts_[i] != 0)
            values.emplace_back(base_ + static_cast<int32_t>(i), counts_[i]);
    }
    if (strays_) {
        for (const auto& stray : *strays_) {
            const auto at =
                std::lower_bound(values.begin(), values.end(), stray,
                                 [](const auto& a, const auto& b) { return a.first < b.first; });
            values.insert(at, stray);
        }
    }
    return values;
}

std::optional<int32_t> ValueTally::Max() const
{
    const auto values = Values();
    if (values.empty())
        return std::nullopt;
    return values.back().first;
}

std::optional<int32_t> ValueTally::Mode() const
{
    std::optional<int32_t> best;
    int32_t bestCount = 0;
    for (const auto& [value, count] : Values()) {
        if (count >= bestCount) {
            best = value;
            bestCount = count;
        }
    }
    return best;
}

void AcEvidence::Merge(const AcEvidence& other)
{
    rolls += other.rolls;
    if (other.lowestHit != None && (lowestHit == None || other.lowestHit < lowestHit))
        lowestHit = other.lowestHit;
    if (other.highestMiss != None && (highestMiss == None || other.highestMiss > highestMiss))
        highestMiss = other.highestMiss;
    hitTotals.Merge(other.hitTotals);
    missTotals.Merge(other.missTotals);
}

void AcEvidence::Clear()
{
    highestMiss = None;
    lowestHit = None;
    rolls = 0;
    hitTotals.Clear();
    missTotals.Clear();
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

AcEvidence::Estimate AcEvidence::LeastContradiction() const
{
    Estimate estimate;
    if (!Contradicts()) {
        estimate.range = {Low(), High()};
        return estimate;
    }
    // Disagreements with an armour class x: hits below x and misses at or
    // above it. They change only just above a total, so the classes from
    // one total + 1 to the next total disagree with as many rolls.
    struct Total {
        int32_t value;
        int32_t hits;
        int32_t misses;
    };
    std::vector<Total> totals;
    for (const auto& [value, count] : hitTotals.Values())
        totals.push_back({value, count, 0});
    for (const auto& [value, count] : missTotals.Values()) {
        auto at = std::lower_bound(totals.begin(), totals.end(), value,
                                   [](const Total& t, int32_t v) { return t.value < v; });
        if (at != totals.end() && at->value == value)
            at->misses += count;
        else
            totals.insert(at, {value, 0, count});
    }
    int64_t disagree = missTotals.Rolls(); // below every total: all misses disagree
    int64_t fewest = disagree;
    std::optional<int32_t> low; // unset: no lower bound
    std::optional<int32_t> high = totals.front().value;
    for (size_t i = 0; i < totals.size(); ++i) {
        disagree += totals[i].hits - totals[i].misses;
        const int64_t from = static_cast<int64_t>(totals[i].value) + 1;
        const std::optional<int32_t> to =
            i + 1 < totals.size() ? std::optional<int32_t>(totals[i + 1].value) : std::nullopt;
        if (disagree < fewest) {
            fewest = disagree;
            low = static_cast<int32_t>(from);
            high = to;
        } else if (disagree == fewest) {
            high = to; // equally good further up: the span of both
        }
    }
    estimate.range = {low, high};
    estimate.outliers = static_cast<int32_t>(fewest);
    return estimate;
}

std::string AcText(const AcEvidence& ac)
{
    if (ac.rolls == 0)
        return "?";
    const AcEvidence::Estimate estimate = ac.LeastContradiction();
    std::string text = RangeText(estimate.range, "");
    if (estimate.outliers > 0) {
        text += " (" + FormatThousands(estimate.outliers) + " of " +
                Plural(ac.rolls, "roll", "rolls") +
                (estimate.outliers == 1 ? " disagrees)" : " disagree)");
    }
    return text;
}

std::optional<AbLadder> AbLadder::Of(const ValueTally& bonuses)
{
    const auto top = bonuses.Max();
    if (!top)
        return std::nullopt;
    AbLadder ladder;
    ladder.top = *top;
    ladder.rolls = bonuses.Rolls();
    while (ladder.steps < 16 &&
           bonuses.Count(static_cast<int32_t>(static_cast<int64_t>(*top) -
                                              Step * static_cast<int64_t>(ladder.steps + 1))) > 0)
        ++ladder.steps;
    return ladder;
}

std::vector<int32_t> AbLadder::Bonuses() const
{
    std::vector<int32_t> bonuses;
    for (int32_t k = 0; k <= steps; ++k)
        bonuses.push_back(top - Step * k);
    return bonuses;
}

std::string AbLadder::Text() const
{
    std::string text;
    for (const int32_t bonus : Bonuses()) {
        if (!text.empty())
            text += " / ";
        text += std::to_string(bonus);
    }
    return text;
}

void LadderTally::Add(const AbLadder& ladder)
{
    for (AbLadder& known : ladders_) {
        if (known.top == ladder.top) {
            known.rolls += ladder.rolls;
            known.steps = std::max(known.steps, ladder.steps);
            return;
        }
    }
    ladders_.push_back(ladder);
}

void LadderTally::Merge(const LadderTally& other)
{
    for (const AbLadder& ladder : other.ladders_)
        Add(ladder);
}

std::optional<AbLadder> LadderTally::Best() const
{
    std::optional<AbLadder> best;
    for (const AbLadder& ladder : ladders_) {
        if (!best || ladder.rolls > best->rolls ||
            (ladder.rolls == best->rolls && ladder.top > best->top))
            best = ladder;
    }
    return best;
}

void SaveBests::Add(SaveTypeIndex saveType, int32_t bonus)
{
    if (saveType.value() < 0)
        return;
    const auto index = static_cast<size_t>(saveType.value());
    if (index >= best_.size())
        best_.resize(index + 1, AcEvidence::None);
    if (best_[index] == AcEvidence::None || bonus > best_[index])
        best_[index] = bonus;
}

void SaveBests::Merge(const SaveBests& other)
{
    for (size_t i = 0; i < other.best_.size(); ++i) {
        if (other.best_[i] != AcEvidence::None)
            Add(SaveTypeIndex(static_cast<int32_t>(i)), other.best_[i]);
    }
}

std::optional<int32_t> SaveBests::Best(SaveTypeIndex saveType) const
{
    const auto index = static_cast<size_t>(saveType.value());
    if (saveType.value() < 0 || index >= best_.size() || best_[index] == AcEvidence::None)
        return std::nullopt;
    return best_[index];
}

namespace {

// Adds change to the votes from percentage on.
void AddStep(std::vector<std::pair<int16_t, int32_t>>& steps, int16_t percentage, int32_t change)
{
    auto at = std::lower_bound(
        steps.begin(), steps.end(), percentage,
        [](const std::pair<int16_t, int32_t>& step, int16_t p) { return step.first < p; });
    if (at != steps.end() && at->first == percentage) {
        at->second += change;
        if (at->second == 0)
            steps.erase(at);
        return;
    }
    steps.insert(at, {percentage, change});
}

} // namespace

void PercentVotes::Add(std::span<const std::pair<int32_t, int32_t>> ranges)
{
    if (ranges.empty())
        return;
    if (ranges.size() == 1) {
        // Most pairs: one range, nothing to sort or join.
        const int32_t from = std::clamp(ranges[0].first, 0, 100);
        const int32_t to = std::clamp(ranges[0].second, 0, 100);
        if (from > to)
            return;
        AddStep(steps_, static_cast<int16_t>(from), 1);
        AddStep(steps_, static_cast<int16_t>(to + 1), -1);
        ++pairs_;
        return;
    }
    std::vector<std::pair<int32_t, int32_t>> sorted;
    for (const auto& [low, high] : ranges) {
        const int32_t from = std::clamp(low, 0, 100);
        const int32_t to = std::clamp(high, 0, 100);
        if (from <= to)
            sorted.emplace_back(from, to);
    }
    if (sorted.empty())
        return;
    std::sort(sorted.begin(), sorted.end());
    // Overlapping or touching ranges count once.
    std::pair<int32_t, int32_t> current = sorted.front();
    auto flush = [&] {
        AddStep(steps_, static_cast<int16_t>(current.first), 1);
        AddStep(steps_, static_cast<int16_t>(current.second + 1), -1);
    };
    for (size_t i = 1; i < sorted.size(); ++i) {
        if (sorted[i].first <= current.second + 1) {
            current.second = std::max(current.second, sorted[i].second);
            continue;
        }
        flush();
        current = sorted[i];
    }
    flush();
    ++pairs_;
}

void PercentVotes::Merge(const PercentVotes& other)
{
    for (const auto& [percentage, change] : other.steps_)
        AddStep(steps_, percentage, change);
    pairs_ += other.pairs_;
}

std::optional<PercentVotes::Best> PercentVotes::Top() const
{
    if (pairs_ == 0 || steps_.empty())
        return std::nullopt;
    Best best;
    int32_t votes = 0;
    for (size_t i = 0; i < steps_.size(); ++i) {
        votes += steps_[i].second;
        const int32_t from = steps_[i].first;
        if (from > 100)
            break;
        const int32_t to =
            i + 1 < steps_.size() ? std::min<int32_t>(steps_[i + 1].first - 1, 100) : 100;
        if (votes > best.votes) {
            best = {from, to, votes};
        } else if (votes == best.votes && votes > 0) {
            best.high = to; // as many further up: the span of both
        }
    }
    if (best.votes == 0)
        return std::nullopt;
    return best;
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

void ImmunityEvidence::AddPair(std::span<const std::pair<int32_t, int32_t>> alternatives,
                               CharacterId attacker)
{
    std::vector<std::pair<int32_t, int32_t>> several;
    std::pair<int32_t, int32_t> only;
    std::span<const std::pair<int32_t, int32_t>> allowed;
    if (alternatives.size() == 1) {
        // Most pairs: one reading, kept without an allocation.
        const auto interval = Interval(alternatives[0].first, alternatives[0].second);
        if (!interval)
            return;
        only = *interval;
        allowed = std::span(&only, 1);
    } else {
        for (const auto& [dealt, absorbedAmount] : alternatives) {
            if (const auto interval = Interval(dealt, absorbedAmount))
                several.push_back(*interval);
        }
        if (several.empty())
            return;
        allowed = several;
    }
    votes.Add(allowed);
    if (attacker.IsNone())
        return;
    auto it = std::find_if(byAttacker.begin(), byAttacker.end(),
                           [attacker](const auto& entry) { return entry.first == attacker; });
    if (it == byAttacker.end()) {
        byAttacker.emplace_back(attacker, PercentVotes{});
        it = byAttacker.end() - 1;
    }
    it->second.Add(allowed);
}

void ImmunityEvidence::Merge(const ImmunityEvidence& other)
{
    votes.Merge(other.votes);
    for (const auto& [attacker, attackerVotes] : other.byAttacker) {
        auto it = std::find_if(byAttacker.begin(), byAttacker.end(),
                               [a = attacker](const auto& entry) { return entry.first == a; });
        if (it == byAttacker.end())
            byAttacker.emplace_back(attacker, attackerVotes);
        else
            it->second.Merge(attackerVotes);
    }
    absorbs += other.absorbs;
    absorbed += other.absorbed;
}

std::string PercentText(const PercentVotes& votes)
{
    const auto top = votes.Top();
    if (!top)
        return "?";
    return RangeText({top->low, top->high}, "%");
}

std::string ImmunityText(const ImmunityEvidence& immunity)
{
    const auto top = immunity.votes.Top();
    if (!top)
        return "?";
    const int32_t pairs = immunity.Pairs();
    std::string text = RangeText({top->low, top->high}, "%") + " (";
    if (top->votes < pairs)
        text += FormatThousands(top->votes) + " of ";
    return text + Plural(pairs, "hit", "hits") + ")";
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

ImmunityEvidence& TargetStats::Immunity(DamageTypeIndex type, int damageTypeCount)
{
    if (immunities.empty())
        immunities.resize(static_cast<size_t>(std::max(damageTypeCount - 1, 1)));
    if (type.Slot() >= immunities.size())
        immunities.resize(type.Slot() + 1);
    return immunities[type.Slot()];
}

void TargetStats::AddSpecialImmunity(int32_t name)
{
    for (NameCount& known : specialImmunities) {
        if (known.name == name) {
            ++known.count;
            return;
        }
    }
    specialImmunities.push_back({name, 1});
}

void TargetStats::AddSpellResult(int32_t spell, int32_t result)
{
    for (SpellResult& known : spellResults) {
        if (known.spell == spell && known.result == result) {
            ++known.count;
            return;
        }
    }
    spellResults.push_back({spell, result, 1});
}

std::optional<AbLadder> TargetStats::MainLadder() const
{
    return mainLadders.Empty() ? AbLadder::Of(mainHand) : mainLadders.Best();
}

std::optional<AbLadder> TargetStats::OffLadder() const
{
    return offLadders.Empty() ? AbLadder::Of(offHand) : offLadders.Best();
}

void TargetStats::Merge(const TargetStats& other)
{
    ac.Merge(other.ac);
    touchAc.Merge(other.touchAc);
    evaded += other.evaded;
    ab.Merge(other.ab);
    // One fight's rolls make one ladder; merged ones bring theirs.
    if (other.mainLadders.Empty()) {
        if (const auto ladder = AbLadder::Of(other.mainHand))
            mainLadders.Add(*ladder);
    } else {
        mainLadders.Merge(other.mainLadders);
    }
    if (other.offLadders.Empty()) {
        if (const auto ladder = AbLadder::Of(other.offHand))
            offLadders.Add(*ladder);
    } else {
        offLadders.Merge(other.offLadders);
    }
    saves.Merge(other.saves);
    if (immunities.size() < other.immunities.size())
        immunities.resize(other.immunities.size());
    for (size_t t = 0; t < other.immunities.size(); ++t)
        immunities[t].Merge(other.immunities[t]);
    reductions.Merge(other.reductions);
    for (const NameCount& special : other.specialImmunities) {
        auto it = std::find_if(specialImmunities.begin(), specialImmunities.end(),
                               [&](const NameCount& known) { return known.name == special.name; });
        if (it == specialImmunities.end())
            specialImmunities.push_back(special);
        else
            it->count += special.count;
    }
    for (const SpellResult& result : other.spellResults) {
        auto it =
            std::find_if(spellResults.begin(), spellResults.end(), [&](const SpellResult& known) {
                return known.spell == result.spell && known.result == result.result;
            });
        if (it == spellResults.end())
            spellResults.push_back(result);
        else
            it->count += result.count;
    }
}

bool TargetStats::Empty() const
{
    return ac.rolls == 0 && touchAc.rolls == 0 && evaded == 0 && ab.Rolls() == 0 &&
           mainHand.Rolls() == 0 && offHand.Rolls() == 0 && mainLadders.Empty() &&
           offLadders.Empty() && saves.TypeBound().value() == 0 && immunities.empty() &&
           reductions.count == 0 && specialImmunities.empty() && spellResults.empty();
}

void TargetStats::Clear()
{
    ac.Clear();
    touchAc.Clear();
    evaded = 0;
    ab.Clear();
    mainHand.Clear();
    offHand.Clear();
    mainLadders.Clear();
    offLadders.Clear();
    saves.Clear();
    immunities.clear();
    reductions = {};
    specialImmunities.clear();
    spellResults.clear();
}

} // namespace tarvik
