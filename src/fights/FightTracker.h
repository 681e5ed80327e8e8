#pragma once

#include "Fight.h"
#include "FightEvents.h"
#include "NameTable.h"
#include "RecentEvents.h"
#include "TargetStats.h"
#include "config/FightGap.h"
#include "config/RecapSeconds.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace tarvik {

// Splits the analysed combat into fights and keeps, per character, what the
// rolls tell of it and, for every death, the victim's events of the seconds
// before it. It grows with fights and characters, never with the number of
// lines: it keeps no text, only counts, bounded series and one ring of the
// last seconds of events.
class FightTracker {
public:
    // Fights kept whole, so that memory stays flat over days of logs; older
    // ones leave only their part in the target statistics.
    static constexpr size_t MaxKeptFights = 1000;

    // damageTypeCount counts the configured types with "Total".
    explicit FightTracker(int damageTypeCount, int32_t gapSeconds = DefaultFightGapSeconds,
                          int32_t recapSeconds = DefaultRecapSeconds);

    // Forgets every fight and every character.
    void Clear();
    int32_t GapSeconds() const { return gapSeconds_; }
    int32_t RecapSeconds() const { return recent_.WindowSeconds(); }
    int DamageTypeCount() const { return damageTypeCount_; }

    // Attacks, damage and kills are combat: they open and extend fights.
    void OnAttack(const AttackEvent& event);
    void OnDamage(const DamageEvent& event);
    void OnKill(const KillEvent& event);
    // The rest count in the fight that is going on at their time, if any.
    void OnHealing(const HealingEvent& event);
    void OnAbsorb(const AbsorbEvent& event);
    void OnSave(const SaveEvent& event);
    void OnSpecialImmunity(const SpecialImmunityEvent& event);
    void OnSpellResist(const SpellResistEvent& event);
    // Pairs the absorbs still waiting for the damage line below them as if
    // none came: at the end of a log that is read whole. A later line of
    // another second does the same by itself.
    void Settle();

    // The names special immunities and spell resistance checks refer to.
    const NameTable& EffectNames() const { return effectNames_; }

    // Logs read out of time order leave their fights out of order: this
    // puts them in the order they began and joins a fight that a log's end
    // cut in two (its halves less than the gap apart), numbering them anew.
    void OrderByDate();

    // The newest fights (at least MaxKeptFights of them), in the order they
    // began. A new fight may move or drop the others: hold on to indices
    // (Fight::Index()), not to references, across reads.
    const std::vector<Fight>& Fights() const { return fights_; }
    // Fights no longer kept: Fights().front().Index() when any are kept.
    int32_t DroppedFights() const { return dropped_; }
    // The fight with this index while it is kept; null otherwise.
    const Fight* FightByIndex(FightIndex index) const;

    // What the fights no longer kept told of a character.
    struct EarlierFights {
        TargetStats stats;
        // Damage taken by attacker, and the seconds it was taken over.
        std::vector<std::pair<CharacterId, int64_t>> damageFrom;
        int64_t takenSeconds = 0;

        bool Empty() const { return stats.Empty() && damageFrom.empty(); }
    };
    // Null when the character had no part in them, or nothing to tell.
    const EarlierFights* Earlier(CharacterId id) const;
    // The last fight, while less than the gap has passed since its last
    // event; null otherwise.
    const Fight* RunningFight(DateTime now) const;
    bool IsRunning(const Fight& fight, DateTime now) const;

    // What saves and absorbs outside every fight told of a character; null
    // when nothing. Everything else is in the fights.
    const TargetStats* OutsideFights(CharacterId id) const;
    // How many character IDs, from the first, the tracker keeps tracks for.
    size_t TrackedIds() const { return tracks_.empty() ? 0 : tracks_.size() - 1; }

private:
    // A damage line to a character, as an absorb is paired with it.
    struct Hit {
        CharacterId attacker;
        uint64_t named = 0;              // bit t: the type of slot t named
        std::span<const int32_t> damage; // by type

        bool Has(DamageTypeIndex type) const
        {
            return type.Within(64) && (named >> type.Slot() & 1) != 0;
        }
    };
    struct PendingAbsorb {
        DamageTypeIndex type; // none: resistance or reduction
        int32_t amount = 0;
    };
    // Absorbs of one second belong to the damage line right above or right
    // below them: the last damage line and the absorbs since wait for the
    // next damage line or the next second. Kept here, not in the reader, so
    // that a read may end between the two.
    static constexpr size_t MaxPendingAbsorbs = 64;

    // What is kept per character across fights.
    struct Track {
        TargetStats outside;
        EarlierFights earlier;
        // The last damage line to the character in the pending second.
        bool hasAbove = false;
        CharacterId aboveAttacker;
        uint64_t aboveNamed = 0;
        std::vector<int32_t> aboveDamage;
        std::vector<PendingAbsorb> absorbs; // since that line
        bool pending = false;               // listed in pending_
    };

    // Tracks are kept by the ID's value; entry 0 takes what names none.
    Track& TrackOf(CharacterId id)
    {
        const auto index = static_cast<size_t>(id.IsNone() ? 0 : id.value());
        return index < tracks_.size() ? tracks_[index] : NewTrack(index);
    }
    Track& NewTrack(size_t index);
    // The character's stats in the fight at this time, or outside fights.
    TargetStats& StatsAt(int64_t second, CharacterId id, FightCharacter*& inFight);
    // The fight a combat event at this time belongs to, begun when needed.
    Fight& CombatFight(int64_t second)
    {
        if (!fights_.empty()) {
            Fight& current = fights_.back();
            const int64_t quiet = second - current.end_;
            if (quiet < gapSeconds_ && quiet > -gapSeconds_) {
                if (quiet > 0)
                    current.end_ = second;
                ++current.revision_;
                return current;
            }
        }
        Fight& fight = NewFight(second);
        ++fight.revision_;
        return fight;
    }
    Fight& NewFight(int64_t second);
    // Both characters of a blow, in the fight of its time: the one who gives
    // it joins the fight first.
    struct Exchange {
        int64_t second;
        Fight& fight;
        size_t toSlot;
        FightCharacter& from;
        FightCharacter& to;
    };
    Exchange CombatExchange(const DateTime& date, CharacterId from, CharacterId to);
    // Pairs what waits when a line of another second comes.
    void SettleBefore(int64_t second)
    {
        if (second != pendingSecond_) {
            if (!pending_.empty())
                Settle();
            pendingSecond_ = second;
        }
    }
    void Pend(CharacterId id, Track& track);
    // Pairs the absorbs that wait on a character with the damage line above
    // them and the one below (either may be missing).
    void PairAbsorbs(CharacterId id, Track& track, const Hit* below);
    // Moves the oldest fights' target evidence to the characters' tracks and
    // forgets the fights; done in batches so that the vector moves seldom.
    void DropOldestFights(size_t count);
    static constexpr size_t DropBatch = 100;
    // The fight going on at this time, if any, counted as changed: the
    // caller adds to it.
    Fight* FightAt(int64_t second);
    // The character's place in the newest fight's list, added when needed.
    size_t Slot(Fight& fight, CharacterId id)
    {
        const auto index = static_cast<size_t>(id.IsNone() ? 0 : id.value());
        if (index < slotOf_.size() && slotOf_[index] >= 0)
            return static_cast<size_t>(slotOf_[index]);
        return NewSlot(fight, index);
    }
    size_t NewSlot(Fight& fight, size_t index);
    FightCharacter& NewCharacter(Fight& fight, CharacterId id);

    int damageTypeCount_;
    int32_t gapSeconds_;
    std::vector<Fight> fights_;
    int32_t dropped_ = 0;
    // What dropped fights held, reused for new ones: no allocation per
    // fight once the fights kept are at their bound.
    std::vector<FightCharacter> spareCharacters_;
    std::vector<std::vector<FightCharacter>> spareLists_;
    std::vector<Track> tracks_; // by the character ID's value; entry 0 unused
    RecentEvents recent_;
    // Position of each character in the newest fight's list, -1 when absent.
    std::vector<int32_t> slotOf_; // by the character ID's value
    int64_t pendingSecond_ = 0;
    std::vector<CharacterId> pending_; // characters with a line that waits
    // Reused by PairAbsorbs, which runs for most hits: no allocation each time.
    struct PairingScratch {
        std::vector<uint8_t> belowFits;
        std::vector<size_t> cuts;
        std::vector<std::pair<int32_t, int32_t>> alternatives;
        std::vector<int32_t> untyped;
        std::vector<int64_t> addBacks;
    } scratch_;
    NameTable effectNames_;
};

} // namespace tarvik
