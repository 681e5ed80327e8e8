#include "FightTracker.h"

#include "FightCounts.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace tarvik {

namespace {

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
            event.types[event.typeCount++] = {DamageTypeIndex::FromSlot(t), amount};
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
        event.types[event.typeCount - 1] = {DamageTypeIndex::FromSlot(t), amount};
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
    pendingSecond_ = 0;
    pending_.clear();
    effectNames_.Clear();
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
            slotOf_[static_cast<size_t>(character.id.value())] = -1;
    }
    if (fights_.size() >= MaxKeptFights + DropBatch)
        DropOldestFights(DropBatch);
    Fight& fight =
        fights_.emplace_back(FightIndex(dropped_ + static_cast<int32_t>(fights_.size())), second);
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
            if (c.id.IsNone() || (!c.TellsOfTarget() && c.damageFrom.empty()))
                continue;
            EarlierFights& earlier = TrackOf(c.id).earlier;
            if (c.TellsOfTarget())
                earlier.stats.Merge(*c.Target());
            for (const auto& [attacker, amount] : c.damageFrom) {
                auto known =
                    std::find_if(earlier.damageFrom.begin(), earlier.damageFrom.end(),
                                 [a = attacker](const auto& entry) { return entry.first == a; });
                if (known == earlier.damageFrom.end())
                    earlier.damageFrom.emplace_back(attacker, amount);
                else
                    known->second += amount;
            }
            earlier.takenSeconds += c.TakenSeconds();
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

const Fight* FightTracker::FightByIndex(FightIndex index) const
{
    const int64_t at = static_cast<int64_t>(index.value()) - dropped_;
    if (at < 0 || at >= static_cast<int64_t>(fights_.size()))
        return nullptr;
    return &fights_[static_cast<size_t>(at)];
}

const FightTracker::EarlierFights* FightTracker::Earlier(CharacterId id) const
{
    const auto at = static_cast<size_t>(id.value());
    if (id.IsNone() || at >= tracks_.size())
        return nullptr;
    const EarlierFights& earlier = tracks_[at].earlier;
    return earlier.Empty() ? nullptr : &earlier;
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

FightCharacter& FightTracker::NewCharacter(Fight& fight, CharacterId id)
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
    NewCharacter(fight, CharacterId(static_cast<int32_t>(index)));
    return static_cast<size_t>(slot);
}

inline FightTracker::Exchange FightTracker::CombatExchange(const DateTime& date, CharacterId from,
                                                           CharacterId to)
{
    const int64_t second = SecondOf(date);
    SettleBefore(second);
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
    TargetStats& from = attacker.MakeTarget();
    from.ab.Add(event.roll.bonus);
    if (!event.special && !event.touch)
        (event.offHand ? from.offHand : from.mainHand).Add(event.roll.bonus);
    if (AcEvidence::Evaded(event.outcome, event.roll))
        ++defender.MakeTarget().evaded;
    else if (AcEvidence::Tells(event.outcome, event.roll))
        (event.touch ? defender.MakeTarget().touchAc : defender.MakeTarget().ac)
            .Add(event.roll.total, IsHit(event.outcome));
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
    ++attacker.blows;
    attacker.largestBlow = std::max(attacker.largestBlow, total);
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
    WidenSpan(attacker.dealtDamage, attacker.firstDamageSecond, attacker.lastDamageSecond, at);
    WidenSpan(defender.tookDamage, defender.firstTakenSecond, defender.lastTakenSecond, at);
    const size_t bucket = fight.BucketOf(second);
    attacker.series.dealt.Add(bucket, total);
    defender.series.taken.Add(bucket, total);
    defender.AddDamageFrom(event.attacker, total);

    Track& track = TrackOf(event.defender);
    if (!track.absorbs.empty()) {
        const Hit below{event.attacker, named, event.damage.first(types)};
        PairAbsorbs(event.defender, track, &below);
    }
    // The line waits for the absorbs below it.
    if (track.aboveDamage.size() < types)
        track.aboveDamage.resize(types, 0);
    for (uint64_t left = named; left != 0; left &= left - 1) {
        const auto t = static_cast<size_t>(std::countr_zero(left));
        track.aboveDamage[t] = event.damage[t];
    }
    track.hasAbove = true;
    track.aboveAttacker = event.attacker;
    track.aboveNamed = named;
    if (!track.pending)
        Pend(event.defender, track);
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
    SettleBefore(second);
    if (Fight* fight = FightAt(second))
        fight->characters_[Slot(*fight, event.character)].healingReceived += event.amount;
    RecapEvent& recap = recent_.Next(event.character, second);
    recap.kind = RecapKind::Healing;
    recap.amount = event.amount;
}

TargetStats& FightTracker::StatsAt(int64_t second, CharacterId id, FightCharacter*& inFight)
{
    if (Fight* fight = FightAt(second)) {
        inFight = &fight->characters_[Slot(*fight, id)];
        return inFight->MakeTarget();
    }
    inFight = nullptr;
    return TrackOf(id).outside;
}

void FightTracker::OnAbsorb(const AbsorbEvent& event)
{
    const int64_t second = SecondOf(event.date);
    SettleBefore(second);
    FightCharacter* inFight = nullptr;
    TargetStats& stats = StatsAt(second, event.character, inFight);
    Track& track = TrackOf(event.character);
    RecapEvent recap;
    recap.second = second;
    recap.amount = event.amount;
    const bool typed = event.damageType.Within(static_cast<size_t>(damageTypeCount_ - 1));
    if (track.absorbs.size() < MaxPendingAbsorbs) {
        track.absorbs.push_back({typed ? event.damageType : DamageTypeIndex::None(), event.amount});
        if (!track.pending)
            Pend(event.character, track);
    }
    if (!typed) {
        stats.reductions.Add(event.amount);
        recap.kind = RecapKind::Absorb;
        recent_.Push(event.character, recap);
        return;
    }
    ImmunityEvidence& evidence = stats.Immunity(event.damageType, damageTypeCount_);
    ++evidence.absorbs;
    evidence.absorbed += event.amount;
    recap.kind = RecapKind::Immunity;
    recap.type = event.damageType.value();
    recent_.Push(event.character, recap);
}

void FightTracker::Pend(CharacterId id, Track& track)
{
    track.pending = true;
    pending_.push_back(id);
}

void FightTracker::Settle()
{
    for (const CharacterId id : pending_) {
        Track& track = TrackOf(id);
        if (!track.absorbs.empty())
            PairAbsorbs(id, track, nullptr);
        track.hasAbove = false;
        track.pending = false;
    }
    pending_.clear();
}

namespace {

// What resistance and reduction may have taken from one type of a hit: all
// of them when the hit has one type, else any of them, or any few.
void AddBacks(const std::vector<int32_t>& untyped, bool oneType, std::vector<int64_t>& sums)
{
    int64_t all = 0;
    for (const int32_t amount : untyped)
        all += amount;
    sums.clear();
    if (oneType) {
        sums.push_back(all);
        return;
    }
    constexpr size_t MaxSubsetItems = 6;
    if (untyped.size() <= MaxSubsetItems) {
        for (uint32_t mask = 0; mask < (1u << untyped.size()); ++mask) {
            int64_t sum = 0;
            for (size_t i = 0; i < untyped.size(); ++i) {
                if ((mask >> i & 1) != 0)
                    sum += untyped[i];
            }
            sums.push_back(sum);
        }
    } else {
        sums.push_back(0);
        sums.push_back(all);
        for (const int32_t amount : untyped)
            sums.push_back(amount);
    }
    std::sort(sums.begin(), sums.end());
    sums.erase(std::unique(sums.begin(), sums.end()), sums.end());
}

} // namespace

void FightTracker::PairAbsorbs(CharacterId id, Track& track, const Hit* below)
{
    const std::vector<PendingAbsorb>& absorbs = track.absorbs;
    const size_t n = absorbs.size();
    const Hit aboveHit{track.aboveAttacker, track.aboveNamed, track.aboveDamage};
    const Hit* above = track.hasAbove ? &aboveHit : nullptr;
    auto fits = [](const Hit* hit, const PendingAbsorb& absorb) {
        return hit && (absorb.type.IsNone() || hit->Has(absorb.type));
    };
    // The absorbs of the line above come first, then those of the line
    // below: a cut k gives absorbs[0, k) to the one and the rest to the
    // other. Each cut that fits every absorb's type, one absorb of a type
    // to a line, is a way to read them.
    auto typeBit = [](const PendingAbsorb& absorb) {
        return absorb.type.Within(64) ? uint64_t{1} << absorb.type.Slot() : 0;
    };
    std::vector<size_t>& cuts = scratch_.cuts;
    cuts.clear();
    {
        std::vector<uint8_t>& belowFits = scratch_.belowFits;
        belowFits.assign(n + 1, 1);
        uint64_t seen = 0;
        for (size_t i = n; i-- > 0;) {
            const uint64_t bit = typeBit(absorbs[i]);
            belowFits[i] = belowFits[i + 1] && fits(below, absorbs[i]) && (seen & bit) == 0;
            seen |= bit;
        }
        bool aboveFits = true;
        seen = 0;
        for (size_t k = 0; k <= n; ++k) {
            if (aboveFits && belowFits[k])
                cuts.push_back(k);
            if (k < n) {
                const uint64_t bit = typeBit(absorbs[k]);
                aboveFits = aboveFits && fits(above, absorbs[k]) && (seen & bit) == 0;
                seen |= bit;
            }
        }
    }
    const int64_t second = pendingSecond_;
    std::vector<std::pair<int32_t, int32_t>>& alternatives = scratch_.alternatives;
    std::vector<int32_t>& untyped = scratch_.untyped;
    // No reading fits: the absorbs stay unpaired rather than guessed.
    for (size_t i = 0; i < n && !cuts.empty(); ++i) {
        const PendingAbsorb& absorb = absorbs[i];
        if (absorb.type.IsNone())
            continue;
        alternatives.clear();
        bool considered = false;
        CharacterId attacker; // none: more than one
        auto consider = [&](const Hit& hit, size_t from, size_t to) {
            untyped.clear();
            for (size_t j = from; j < to; ++j) {
                if (absorbs[j].type.IsNone())
                    untyped.push_back(absorbs[j].amount);
            }
            const int64_t dealt =
                absorb.type.Within(hit.damage.size()) ? hit.damage[absorb.type.Slot()] : 0;
            AddBacks(untyped, std::popcount(hit.named) == 1, scratch_.addBacks);
            for (const int64_t addBack : scratch_.addBacks) {
                if (dealt + addBack <= std::numeric_limits<int32_t>::max())
                    alternatives.emplace_back(static_cast<int32_t>(dealt + addBack), absorb.amount);
            }
            attacker = !considered || attacker == hit.attacker ? hit.attacker : CharacterId::None();
            considered = true;
        };
        for (const size_t k : cuts) {
            if (i < k)
                consider(*above, 0, k);
            else
                consider(*below, k, n);
        }
        if (alternatives.empty())
            continue;
        FightCharacter* inFight = nullptr;
        StatsAt(second, id, inFight)
            .Immunity(absorb.type, damageTypeCount_)
            .AddPair(alternatives, attacker);
    }
    track.absorbs.clear();
}

void FightTracker::OnSave(const SaveEvent& event)
{
    const int64_t second = SecondOf(event.date);
    SettleBefore(second);
    FightCharacter* inFight = nullptr;
    StatsAt(second, event.character, inFight).saves.Add(event.saveType, event.bonus);
    RecapEvent& recap = recent_.Next(event.character, second);
    recap.kind = RecapKind::Save;
    recap.amount = event.roll + event.bonus;
    recap.type = event.saveType.value();
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
        fights_[f].index_ = FightIndex(dropped_ + static_cast<int32_t>(f));
    // The newest fight goes on with the next line.
    std::fill(slotOf_.begin(), slotOf_.end(), -1);
    if (!fights_.empty()) {
        const auto& characters = fights_.back().characters_;
        for (size_t slot = 0; slot < characters.size(); ++slot) {
            const CharacterId of = characters[slot].id;
            const auto id = static_cast<size_t>(of.IsNone() ? 0 : of.value());
            if (id >= slotOf_.size())
                slotOf_.resize(id + 1, -1);
            slotOf_[id] = static_cast<int32_t>(slot);
        }
    }
}

void FightTracker::OnSpecialImmunity(const SpecialImmunityEvent& event)
{
    const int64_t second = SecondOf(event.date);
    SettleBefore(second);
    const int32_t name = effectNames_.Intern(event.what);
    if (name < 0)
        return;
    FightCharacter* inFight = nullptr;
    StatsAt(second, event.character, inFight).AddSpecialImmunity(name);
}

void FightTracker::OnSpellResist(const SpellResistEvent& event)
{
    const int64_t second = SecondOf(event.date);
    SettleBefore(second);
    const int32_t spell = effectNames_.Intern(event.spell);
    const int32_t result = effectNames_.Intern(event.result);
    if (spell < 0 || result < 0)
        return;
    FightCharacter* inFight = nullptr;
    StatsAt(second, event.character, inFight).AddSpellResult(spell, result);
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

const TargetStats* FightTracker::OutsideFights(CharacterId id) const
{
    const auto at = static_cast<size_t>(id.value());
    if (id.IsNone() || at >= tracks_.size())
        return nullptr;
    const TargetStats& stats = tracks_[at].outside;
    return stats.Empty() ? nullptr : &stats;
}

} // namespace tarvik
