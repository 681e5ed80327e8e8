#pragma once

#include "Creature.h"
#include "LogBook.h"

#include <cstdint>
#include <functional>
#include <string>
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

// One fight of a party against a group of monsters, written to the book
// second by second until one side is down (at most 400 seconds). The party
// members (the log's owner first; with the demo party's roles: a fighter,
// the cleric, a wizard, the rogue) keep their hit points and deaths from
// one fight to the next.
class Battle {
public:
    Battle(LogBook& book, std::vector<Combatant>& party)
        : book_(book)
        , fighters_(party)
        , partySize_(static_cast<int>(party.size()))
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
    void Damage(int attacker, int defender, PerType amounts);
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
    struct Pending {
        int64_t at;
        std::function<void()> action;
    };
    std::vector<Pending> pending_;
    int64_t second_ = 0;
};

} // namespace tarvik
