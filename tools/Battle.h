#pragma once

#include "Creature.h"
#include "LogBook.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {

// A creature in a fight: its stats and how it fares.
struct Combatant : Creature {
    explicit Combatant(Creature creature)
        : Creature(std::move(creature))
        , hp(maxHp)
    {
    }

    int hp = 0;
    bool alive = true;
    // Within one fight.
    double nextAction = 0;
    int round = 0; // attacks made, counting a spell as a round's worth
    int target = -1;
    int grudge = -1;
};

// How a current server writes a fight; all off, the demo's older style.
struct BattleRules {
    // A spell's absorb lines come above its damage line, a weapon's below.
    bool spellAbsorbsAbove = false;
    // Reduction and resistance also take from what immunity left.
    bool reductionWithImmunity = false;
    // A hit evaded by Epic Dodge is written as a miss with a threat roll.
    bool evadedKeepThreat = false;
    // The owner's spell resistance checks are written ("SPELL RESIST: ...").
    bool spellResistLines = false;
};
// What was written, as the generator knows it: for checking what a
// reader makes of the log.
struct BattleTruth {
    std::map<std::pair<std::string, std::string>, int64_t> damage;   // (defender, attacker)
    std::map<std::string, int> evaded;                               // by defender
    std::map<std::pair<std::string, std::string>, int> spellResults; // (spell, result)
    // (defender, damage type): each hit's amount before immunity, and what it took.
    std::map<std::pair<std::string, int>, std::vector<std::pair<int, int>>> immunityPairs;
};

// One fight of a party against a group of monsters, written to the book
// second by second until one side is down (at most 400 seconds). The party
// members (the log's owner first; with the demo party's roles: a fighter,
// the cleric, a wizard, the rogue) keep their hit points and deaths from
// one fight to the next.
class Battle {
public:
    Battle(LogBook& book, std::vector<Combatant>& party, BattleRules rules = {},
           BattleTruth* truth = nullptr)
        : book_(book)
        , fighters_(party)
        , partySize_(static_cast<int>(party.size()))
        , rules_(rules)
        , truth_(truth)
    {
    }

    void Fight(const std::vector<Creature>& monsters);

private:
    SplitMix& Dice() { return book_.random; }
    Combatant& At(int index) { return fighters_[static_cast<size_t>(index)]; }
    const Combatant& At(int index) const { return fighters_[static_cast<size_t>(index)]; }
    bool IsHero(int index) const { return index < partySize_; }
    bool SideAlive(bool heroes) const;
    int ChooseTarget(int index);
    int ChoosePatient() const;
    void Act(int index);
    void Attack(int attacker, int defender, int bonus, const std::string& descriptions);
    void Damage(int attacker, int defender, PerType amounts, bool spell = false);
    bool ImmuneTo(const Combatant& c, std::string_view what) const;
    void Kill(int attacker, int defender);
    void Cast(int caster, const SpellPlan& spell);
    void SpellLands(int caster, const SpellPlan& spell);
    void Heal(int caster, int patient, const char* spellName, int amount);
    bool Save(int index, const SpellPlan& spell);
    // Spells land, and the dead speak, a moment later.
    void Later(int64_t seconds, std::function<void()> action);
    void RunDue();

    LogBook& book_;
    std::vector<Combatant>& fighters_; // the party first, then the monsters
    int partySize_;
    BattleRules rules_;
    BattleTruth* truth_;
    struct Pending {
        int64_t at;
        std::function<void()> action;
    };
    std::vector<Pending> pending_;
    int64_t second_ = 0;
};

} // namespace tarvik
