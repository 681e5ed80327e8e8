#pragma once

#include "LogLines.h"

#include <array>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {

enum class SaveKind { Fort, Reflex, Will };

struct Dice {
    int count = 1;
    int sides = 8;
    int bonus = 0;
};

// A spell as the fights use it: its damage, and the save that halves it
// (or, for a death spell, decides it).
struct SpellPlan {
    const char* name = "";
    int type = Magical;
    Dice damage;
    SaveKind save = SaveKind::Reflex;
    const char* saveText = nullptr; // "Reflex Save vs. Fire"; none: no save
    int dc = 0;
    int targets = 1; // how many of the other side it reaches
    bool deathSpell = false;
};

// The attacks of one round: the first at bonus, each later one step lower
// (5 for the game's iterative attacks; 0 keeps every attack at bonus). The
// extra attacks of haste or flurry come first, at the full bonus too.
struct AttackLadder {
    int bonus = 0;
    int perRound = 1;
    int step = 0;
    int extra = 0;

    int BonusOf(int attackInRound) const
    {
        return bonus - step * (attackInRound > extra ? attackInRound - extra : 0);
    }
};

// Percent or amount per damage type.
using PerType = std::array<int, DamageTypeCount>;
inline PerType ByType(std::initializer_list<std::pair<int, int>> values)
{
    PerType table{};
    for (const auto& [type, value] : values)
        table[static_cast<size_t>(type)] = value;
    return table;
}
// The same amount for every elemental type (what energy resistance covers).
inline PerType Elemental(int amount)
{
    return ByType({{Acid, amount},
                   {Cold, amount},
                   {Electrical, amount},
                   {Fire, amount},
                   {NegativeEnergy, amount},
                   {PositiveEnergy, amount},
                   {Sonic, amount}});
}

// What a party member does in a fight beyond attacking.
enum class Role { Fighter, Cleric, Wizard, Rogue, Monster };

// A creature of the bestiary or a party member: everything the fights need
// to know of it, as data. Written with designated initializers, so that a
// table entry names only what differs from an ordinary creature.
struct Creature {
    std::string name;
    Role role = Role::Monster;
    int maxHp = 0;
    int ac = 0;
    AttackLadder attack;
    Dice damage;
    // One die of an element on every hit.
    int extraType = -1;
    int extraSides = 0;
    int threat = 20; // the lowest die that threatens a critical hit
    int critMultiplier = 2;
    // Extra physical dice of an attack that has the "Sneak Attack" description.
    Dice sneak{0, 6, 0};
    std::array<int, 3> saves{}; // Fort, Reflex, Will
    bool evasion = false;
    // Defences: percent of each type that never lands, amounts taken off
    // each hit (reduction of its physical part, resistance of each type),
    // and chances that an attack comes to nothing.
    PerType immunity{};
    int reduction = 0;
    PerType resistance{};
    int concealment = 0;
    int parry = 0;
    int epicDodge = 0; // percent of the hits evaded
    // Spells cast in turn, every so many rounds; from the first round or
    // after the first few of steel.
    std::vector<const SpellPlan*> spells{};
    int spellEvery = 0;
    bool opensWithSpell = false;
    bool boss = false;
    // Goes for the party member who hurt it most with a spell.
    bool holdsGrudge = false;
    int opensOn = -1;   // the party member it goes for first
    int experience = 0; // for the kill
    // Only the log's owner sees its own initiative.
    int initiative = 0;
    // What the game says it is immune to: "Critical Hits", "Sneak Attacks".
    std::vector<std::string> immuneTo{};
    // Spells it is immune to (the owner's spell resistance checks say so).
    std::vector<std::string> immuneToSpells{};
};

} // namespace tarvik
