#include "FightTracker.h"

#include <algorithm>
#include <bit>

namespace tarvik {

namespace {

// Immunity absorbs follow their damage line at once; allow the clock to tick.
constexpr int64_t PairingSeconds = 1;

bool IsHit(AttackOutcome outcome)
{
    return outcome == AttackOutcome::Hit || outcome == AttackOutcome::CriticalHit;
}

// The largest amounts of a damage record by type, kept in type order.
void TakeLargestTypes(std::span<const int32_t> damage, uint64_t named, RecapEvent& event)
{
    event.typeCount = 0;
    for (; named != 0; named &= named - 1) {
        const auto t = static_cast<size_t>(std::countr_zero(named));
        const int32_t amount = damage[t];
        if (amount == 0)
            continue;
        if (event.typeCount < RecapEvent::MaxTypes) {
            event.types[event.typeCount++] = {static_cast<int32_t>(t), amount};
            continue;
        }
        // Full: replace the smallest when this one is larger, keeping order.
        size_t smallest = 0;
        for (size_t i = 1; i < event.typeCount; ++i) {
            if (event.types[i].amount < event.types[smallest].amount)
                smallest = i;
        }
        if (amount <= event.types[smallest].amount)
            continue;
        for (size_t i = smallest; i + 1 < event.typeCount; ++i)
            event.types[i] = event.types[i + 1];
        event.types[event.typeCount - 1] = {static_cast<int32_t>(t), amount};
    }
}

} // namespace

FightTracker::FightTracker(int damageTypeCount, int32_t gapSeconds, int32_t recapSeconds)
    : damageTypeCount_(std::max(damageTypeCount, 1))
    , gapSeconds_(ClampFightGap(gapSeconds))
    , recent_(ClampRecapSeconds(recapSeconds))
{
}

void FightTracker::Clear()
{
    fights_.clear();
    dropped_ = 0;
    spareCharacters_.clear();
    spareLists_.clear();
    tracks_.clear();
    slotOf_.clear();
    recent_.Clear();
}

FightTracker::Track& FightTracker::NewTrack(size_t index)
{
    tracks_.resize(index + 1);
    return tracks_[index];
}

Fight& FightTracker::NewFight(int64_t second)
{
    if (!fights_.empty()) {
        for (const FightCharacter& character : fights_.back().characters_)
            slotOf_[static_cast<size_t>(character.id)] = -1;
    }
    if (fights_.size() >= MaxKeptFights + DropBatch)
        DropOldestFights(DropBatch);
    Fight& fight = fights_.emplace_back(dropped_ + static_cast<int32_t>(fights_.size()), second);
    if (!spareLists_.empty()) {
        fight.characters_ = std::move(spareLists_.back());
        spareLists_.pop_back();
    }
    return fight;
}

void FightTracker::DropOldestFights(size_t count)
{
    count = std::min(count, fights_.size());
    for (size_t f = 0; f < count; ++f) {
        for (const FightCharacter& c : fights_[f].characters_) {
            if (c.id < 1 || c.target.Empty())
                continue;
            EarlierFights& earlier = TrackOf(c.id).earlier;
            earlier.stats.Merge(c.target);
            if (c.target.ac.rolls > 0)
                earlier.lastAc = c.target.ac;
            const auto& immunities = c.target.immunities;
            if (earlier.lastImmunities.size() < immunities.size())
                earlier.lastImmunities.resize(immunities.size());
            for (size_t t = 0; t < immunities.size(); ++t) {
                if (immunities[t].pairs > 0)
                    earlier.lastImmunities[t] = immunities[t];
            }
        }
        std::vector<FightCharacter>& characters = fights_[f].characters_;
        for (FightCharacter& c : characters)
            spareCharacters_.push_back(std::move(c));
        characters.clear();
        spareLists_.push_back(std::move(characters));
    }
    fights_.erase(fights_.begin(), fights_.begin() + static_cast<std::ptrdiff_t>(count));
    dropped_ += static_cast<int32_t>(count);
}

const Fight* FightTracker::FightByIndex(int32_t index) const
{
    const int64_t at = static_cast<int64_t>(index) - dropped_;
    if (at < 0 || at >= static_cast<int64_t>(fights_.size()))
        return nullptr;
    return &fights_[static_cast<size_t>(at)];
}

const FightTracker::EarlierFights* FightTracker::Earlier(int32_t id) const
{
    if (id < 1 || static_cast<size_t>(id) >= tracks_.size())
        return nullptr;
    const EarlierFights& earlier = tracks_[static_cast<size_t>(id)].earlier;
    return earlier.stats.Empty() ? nullptr : &earlier;
}

Fight* FightTracker::FightAt(int64_t second)
{
    if (fights_.empty())
        return nullptr;
    Fight& current = fights_.back();
    const int64_t quiet = second - current.end_;
    if (quiet >= gapSeconds_ || quiet <= -gapSeconds_)
        return nullptr;
    ++current.revision_;
    return &current;
}

FightCharacter& FightTracker::NewCharacter(Fight& fight, int32_t id)
{
    const auto types = static_cast<size_t>(damageTypeCount_ - 1);
    if (!spareCharacters_.empty()) {
        FightCharacter& character =
            fight.characters_.emplace_back(std::move(spareCharacters_.back()));
        spareCharacters_.pop_back();
        character.Reuse(id, types);
        return character;
    }
    FightCharacter& character = fight.characters_.emplace_back();
    character.id = id;
    character.dealtByType.assign(types, 0);
    character.takenByType.assign(types, 0);
    return character;
}

size_t FightTracker::NewSlot(Fight& fight, size_t index)
{
    if (index >= slotOf_.size())
        slotOf_.resize(index + 1, -1);
    const auto slot = static_cast<int32_t>(fight.characters_.size());
    slotOf_[index] = slot;
    NewCharacter(fight, static_cast<int32_t>(index));
    return static_cast<size_t>(slot);
}

inline FightTracker::Exchange FightTracker::CombatExchange(const DateTime& date, int32_t from,
                                                           int32_t to)
{
    const int64_t second = SecondOf(date);
    Fight& fight = CombatFight(second);
    const size_t fromSlot = Slot(fight, from);
    const size_t toSlot = Slot(fight, to);
    // Both are in the list now: adding the second may have moved the first.
    return {second, fight, toSlot, fight.characters_[fromSlot], fight.characters_[toSlot]};
}

void FightTracker::OnAttack(const AttackEvent& event)
{
    const Exchange exchange = CombatExchange(event.date, event.attacker, event.defender);
    FightCharacter& attacker = exchange.from;
    FightCharacter& defender = exchange.to;
    const size_t d = exchange.toSlot;
    ++attacker.attacks;
    ++defender.attacksReceived;
    attacker.AddAttacked(d);
    if (IsHit(event.outcome))
        ++attacker.hits;
    if (event.outcome == AttackOutcome::CriticalHit)
        ++attacker.criticalHits;
    if (!event.hasRoll)
        return;
    attacker.target.ab.Add(event.roll.bonus);
    if (AcEvidence::Tells(event.outcome, event.roll))
        defender.target.ac.Add(event.roll.total, IsHit(event.outcome));
}

void FightTracker::OnDamage(const DamageEvent& event)
{
    if (event.damage.empty())
        return;
    const Exchange exchange = CombatExchange(event.date, event.attacker, event.defender);
    const int64_t second = exchange.second;
    Fight& fight = exchange.fight;
    FightCharacter& attacker = exchange.from;
    FightCharacter& defender = exchange.to;
    const int32_t total = event.damage.back();
    const size_t types = std::min(event.damage.size() - 1, attacker.dealtByType.size());

    attacker.damageDealt += total;
    defender.damageTaken += total;
    const uint64_t named =
        types >= 64 ? event.namedTypes : event.namedTypes & ((uint64_t{1} << types) - 1);
    auto add = [&](size_t t) {
        if (const int32_t amount = event.damage[t]) {
            attacker.dealtByType[t] += amount;
            defender.takenByType[t] += amount;
        }
    };
    if (types <= 64) {
        // Non-zero amounts are among the named types: look at those only.
        for (uint64_t left = named; left != 0; left &= left - 1)
            add(static_cast<size_t>(std::countr_zero(left)));
    } else {
        for (size_t t = 0; t < types; ++t)
            add(t);
    }
    const int64_t at = std::max(second, fight.start_);
    if (!attacker.dealtDamage) {
        attacker.dealtDamage = true;
        attacker.firstDamageSecond = at;
        attacker.lastDamageSecond = at;
    } else {
        attacker.firstDamageSecond = std::min(attacker.firstDamageSecond, at);
        attacker.lastDamageSecond = std::max(attacker.lastDamageSecond, at);
    }
    const size_t bucket = fight.BucketOf(second);
    attacker.series.dealt.Add(bucket, total);
    defender.series.taken.Add(bucket, total);
    defender.AddDamageFrom(event.attacker, total);

    Track& track = TrackOf(event.defender);
    if (named != 0) {
        if (track.lastAmount.size() < types) {
            track.lastAmount.resize(types, 0);
            track.lastSecond.resize(types, 0);
        }
        for (uint64_t left = named; left != 0; left &= left - 1) {
            const auto t = static_cast<size_t>(std::countr_zero(left));
            track.lastAmount[t] = event.damage[t];
            track.lastSecond[t] = second;
            track.unpaired |= uint64_t{1} << t;
        }
    }
    RecapEvent& recap = recent_.Next(event.defender, second);
    recap.kind = RecapKind::Damage;
    recap.source = event.attacker;
    recap.amount = total;
    TakeLargestTypes(event.damage, named, recap);
}

void FightTracker::OnKill(const KillEvent& event)
{
    const Exchange exchange = CombatExchange(event.date, event.killer, event.victim);
    ++exchange.from.kills;
    ++exchange.to.deaths;
    const int64_t second = exchange.second;
    DeathRecap& recap = exchange.fight.deaths_.emplace_back();
    recap.second = second;
    recap.victim = event.victim;
    recap.killer = event.killer;
    recent_.Cut(event.victim, second, DeathRecap::MaxEvents, recap.events);
}

void FightTracker::OnHealing(const HealingEvent& event)
{
    const int64_t second = SecondOf(event.date);
    if (Fight* fight = FightAt(second))
        fight->characters_[Slot(*fight, event.character)].healingReceived += event.amount;
    RecapEvent& recap = recent_.Next(event.character, second);
    recap.kind = RecapKind::Healing;
    recap.amount = event.amount;
}

TargetStats& FightTracker::StatsAt(int64_t second, int32_t id, FightCharacter*& inFight)
{
    if (Fight* fight = FightAt(second)) {
        inFight = &fight->characters_[Slot(*fight, id)];
        return inFight->target;
    }
    inFight = nullptr;
    return TrackOf(id).outside;
}

void FightTracker::OnAbsorb(const AbsorbEvent& event)
{
    const int64_t second = SecondOf(event.date);
    FightCharacter* inFight = nullptr;
    TargetStats& stats = StatsAt(second, event.character, inFight);
    Track& track = TrackOf(event.character);
    RecapEvent recap;
    recap.second = second;
    recap.amount = event.amount;
    if (event.damageType < 0 || event.damageType >= damageTypeCount_ - 1) {
        stats.reductions.Add(event.amount);
        recap.kind = RecapKind::Absorb;
        recent_.Push(event.character, recap);
        return;
    }
    const int32_t type = event.damageType;
    ImmunityEvidence& evidence = stats.Immunity(type, damageTypeCount_);
    ++evidence.absorbs;
    evidence.absorbed += event.amount;
    // Each damage amount pairs with the first absorb of its type after it.
    const auto t = static_cast<size_t>(type);
    const uint64_t bit = t < 64 ? uint64_t{1} << t : 0;
    if (bit != 0 && (track.unpaired & bit) != 0 && t < track.lastAmount.size()) {
        track.unpaired &= ~bit;
        const int64_t apart = second - track.lastSecond[t];
        if (apart <= PairingSeconds && apart >= -PairingSeconds)
            evidence.AddPair(track.lastAmount[t], event.amount);
    }
    recap.kind = RecapKind::Immunity;
    recap.type = type;
    recent_.Push(event.character, recap);
}

void FightTracker::OnSave(const SaveEvent& event)
{
    const int64_t second = SecondOf(event.date);
    FightCharacter* inFight = nullptr;
    StatsAt(second, event.character, inFight).saves.Add(event.saveType, event.bonus);
    RecapEvent& recap = recent_.Next(event.character, second);
    recap.kind = RecapKind::Save;
    recap.amount = event.roll + event.bonus;
    recap.type = event.saveType;
    recap.dc = event.dc;
    recap.success = event.success;
}

void FightTracker::OrderByDate()
{
    auto before = [](const Fight& a, const Fight& b) { return a.start_ < b.start_; };
    bool ordered = std::is_sorted(fights_.begin(), fights_.end(), before);
    for (size_t f = 1; ordered && f < fights_.size(); ++f)
        ordered = fights_[f].start_ - fights_[f - 1].end_ >= gapSeconds_;
    if (ordered)
        return;
    std::stable_sort(fights_.begin(), fights_.end(), before);
    std::vector<Fight> joined;
    joined.reserve(fights_.size());
    for (Fight& fight : fights_) {
        if (!joined.empty() && fight.start_ - joined.back().end_ < gapSeconds_) {
            joined.back().MergeFrom(fight);
            for (FightCharacter& c : fight.characters_)
                spareCharacters_.push_back(std::move(c));
            continue;
        }
        joined.push_back(std::move(fight));
    }
    fights_ = std::move(joined);
    for (size_t f = 0; f < fights_.size(); ++f)
        fights_[f].index_ = dropped_ + static_cast<int32_t>(f);
    // The newest fight goes on with the next line.
    std::fill(slotOf_.begin(), slotOf_.end(), -1);
    if (!fights_.empty()) {
        const auto& characters = fights_.back().characters_;
        for (size_t slot = 0; slot < characters.size(); ++slot) {
            const auto id = static_cast<size_t>(characters[slot].id > 0 ? characters[slot].id : 0);
            if (id >= slotOf_.size())
                slotOf_.resize(id + 1, -1);
            slotOf_[id] = static_cast<int32_t>(slot);
        }
    }
}

const Fight* FightTracker::RunningFight(DateTime now) const
{
    if (fights_.empty() || !IsRunning(fights_.back(), now))
        return nullptr;
    return &fights_.back();
}

bool FightTracker::IsRunning(const Fight& fight, DateTime now) const
{
    if (fights_.empty() || &fight != &fights_.back())
        return false;
    return SecondOf(now) - fight.EndSecond() < gapSeconds_;
}

const TargetStats* FightTracker::OutsideFights(int32_t id) const
{
    if (id < 1 || static_cast<size_t>(id) >= tracks_.size())
        return nullptr;
    const TargetStats& stats = tracks_[static_cast<size_t>(id)].outside;
    return stats.Empty() ? nullptr : &stats;
}

} // namespace tarvik
