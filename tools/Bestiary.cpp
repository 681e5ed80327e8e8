#include "Bestiary.h"

namespace tarvik {

namespace {

// clang-format off
// name, damage type, damage, save, its text (none: no save), DC, targets, decides life or death
const SpellPlan Fireball{"Fireball", Fire, {15, 6}, SaveKind::Reflex, "Reflex Save vs. Fire", 24, 4};
const SpellPlan MissileStorm{"Isaac's Greater Missile Storm", Magical, {6, 6}, SaveKind::Reflex,
                             nullptr, 0, 3};
const SpellPlan WizardConeOfCold{"Cone of Cold", Cold, {15, 6}, SaveKind::Reflex,
                                 "Reflex Save vs. Cold", 24, 3};
const SpellPlan MagicMissile{"Magic Missile", Magical, {3, 4, 3}, SaveKind::Reflex, nullptr, 0, 1};
const SpellPlan LightningBolt{"Lightning Bolt", Electrical, {8, 6}, SaveKind::Reflex,
                              "Reflex Save vs. Electricity", 19, 3};
const SpellPlan ConeOfCold{"Cone of Cold", Cold, {10, 6}, SaveKind::Reflex,
                           "Reflex Save vs. Cold", 21, 3};
const SpellPlan PhantasmalKiller{"Phantasmal Killer", Magical, {4, 6, 6}, SaveKind::Will,
                                 "Will Save vs. Mind Spell", 26, 1, true};
const SpellPlan HellFireball{"Fireball", Fire, {10, 6}, SaveKind::Reflex, "Reflex Save vs. Fire",
                             26, 4};
// clang-format on

// So many of one creature.
struct Band {
    int count = 1;
    Creature creature;
};

struct Encounter {
    const char* kind;
    std::vector<Band> bands;
};

// The encounters of the demo's evenings, by kind; hit points before
// DemoEncounter raises them.
const std::vector<Encounter>& Encounters()
{
    // clang-format off
    static const std::vector<Encounter> table = {
        {"goblins", {
            {6, {.name = "Goblin Skirmisher", .maxHp = 70, .ac = 20, .attack = {12, 1},
                 .damage = {1, 8, 3}, .saves = {6, 8, 3}, .experience = 40}},
            {2, {.name = "Goblin Shaman", .maxHp = 110, .ac = 18, .attack = {9, 1},
                 .damage = {1, 6, 1}, .saves = {5, 6, 10},
                 .spells = {&MagicMissile}, .spellEvery = 2, .experience = 60}}}},
        {"wolves", {
            {4, {.name = "Dire Wolf", .maxHp = 190, .ac = 24, .attack = {18, 1},
                 .damage = {2, 6, 8}, .saves = {12, 12, 6}, .experience = 80}}}},
        {"bears", {
            {2, {.name = "Legendary Bear", .maxHp = 420, .ac = 27, .attack = {24, 3},
                 .damage = {2, 6, 10}, .saves = {18, 12, 8}, .experience = 220}}}},
        {"duergar", {
            {4, {.name = "Duergar Veteran", .maxHp = 230, .ac = 29, .attack = {21, 2},
                 .damage = {2, 6, 9}, .saves = {14, 8, 9}, .resistance = Elemental(5),
                 .experience = 110}},
            {2, {.name = "Duergar Mage", .maxHp = 170, .ac = 22, .attack = {12, 1},
                 .damage = {1, 6, 2}, .saves = {8, 9, 15}, .resistance = Elemental(5),
                 .spells = {&LightningBolt}, .spellEvery = 2, .experience = 140}}}},
        {"ogres", {
            {1, {.name = "Ogre Chieftain", .maxHp = 900, .ac = 31, .attack = {27, 3},
                 .damage = {2, 8, 18}, .threat = 19, .critMultiplier = 3, .saves = {21, 9, 10},
                 .reduction = 5, .boss = true, .holdsGrudge = true, .experience = 600}},
            {1, {.name = "Ogre Brute", .maxHp = 320, .ac = 25, .attack = {21, 2},
                 .damage = {2, 8, 10}, .saves = {16, 6, 6}, .experience = 150}},
            {1, {.name = "Ogre Mage", .maxHp = 260, .ac = 23, .attack = {16, 1},
                 .damage = {1, 8, 4}, .saves = {12, 9, 14}, .immunity = ByType({{Cold, 50}}),
                 .spells = {&ConeOfCold}, .spellEvery = 3, .experience = 200}}}},
        {"spiders", {
            {6, {.name = "Cave Spider", .maxHp = 150, .ac = 23, .attack = {17, 1},
                 .damage = {1, 8, 6}, .extraType = Acid, .extraSides = 6, .saves = {10, 10, 4},
                 .experience = 70}}}},
        {"guardians", {
            {1, {.name = "Electrical Golem", .maxHp = 600, .ac = 30, .attack = {22, 2},
                 .damage = {2, 10, 10}, .extraType = Electrical, .extraSides = 8,
                 .saves = {14, 5, 5}, .immunity = ByType({{Electrical, 100}, {Fire, 25}}),
                 .reduction = 10, .boss = true, .experience = 300}},
            {2, {.name = "Fire Elemental", .maxHp = 260, .ac = 26, .attack = {19, 2},
                 .damage = {2, 8, 6}, .extraType = Fire, .extraSides = 6, .saves = {15, 17, 8},
                 .immunity = ByType({{Fire, 100}}), .experience = 160}}}},
        {"undead", {
            {2, {.name = "Epic Mummy Warrior", .maxHp = 330, .ac = 28, .attack = {22, 2},
                 .damage = {2, 6, 10}, .extraType = NegativeEnergy, .extraSides = 6,
                 .saves = {12, 8, 14}, .immunity = ByType({{Cold, 100}, {NegativeEnergy, 100}}),
                 .reduction = 5, .experience = 180}},
            {4, {.name = "Cursed Corpse Eater", .maxHp = 170, .ac = 24, .attack = {18, 1},
                 .damage = {2, 6, 6}, .saves = {10, 7, 8}, .experience = 90}}}},
        {"coven", {
            {1, {.name = "Kil'iak Witch", .maxHp = 650, .ac = 27, .attack = {18, 1},
                 .damage = {1, 6, 4}, .saves = {13, 12, 22}, .immunity = ByType({{Sonic, 50}}),
                 .concealment = 20, .spells = {&PhantasmalKiller}, .spellEvery = 1,
                 .boss = true, .experience = 500}},
            {3, {.name = "Kil'iak Warrior", .maxHp = 260, .ac = 27, .attack = {21, 2},
                 .damage = {1, 12, 9}, .saves = {14, 9, 9}, .experience = 140}}}},
        {"drow", {
            {4, {.name = "Di'Rancor Guard", .maxHp = 240, .ac = 30, .attack = {23, 2},
                 .damage = {1, 8, 8}, .saves = {12, 15, 12}, .experience = 150}},
            {1, {.name = "Fei-ungan Priestess", .maxHp = 300, .ac = 26, .attack = {18, 1},
                 .damage = {1, 6, 4}, .saves = {14, 11, 19}, .immunity = ByType({{Electrical, 50}}),
                 .spells = {&LightningBolt}, .spellEvery = 2, .experience = 260}}}},
        {"draconic", {
            {1, {.name = "Draconic Warlord", .maxHp = 1500, .ac = 34, .attack = {29, 3},
                 .damage = {2, 6, 12}, .extraType = Acid, .extraSides = 10, .saves = {20, 16, 16},
                 .immunity = ByType({{Acid, 100}, {Fire, 25}}), .reduction = 10, .boss = true,
                 .holdsGrudge = true, .experience = 900}},
            {2, {.name = "Draconic Warrior", .maxHp = 280, .ac = 29, .attack = {24, 2},
                 .damage = {2, 6, 10}, .saves = {15, 12, 10}, .immunity = ByType({{Acid, 50}}),
                 .experience = 200}}}},
        {"fiend", {
            {1, {.name = "Hellspawn Pit Fiend", .maxHp = 900, .ac = 37, .attack = {33, 3},
                 .damage = {2, 8, 14}, .extraType = Fire, .extraSides = 12, .threat = 19,
                 .saves = {24, 20, 22}, .immunity = ByType({{Fire, 100}, {Cold, 50}}),
                 .reduction = 10, .spells = {&HellFireball}, .spellEvery = 3, .boss = true,
                 .opensOn = 0, .experience = 1200}},
            {1, {.name = "Hellspawn", .maxHp = 200, .ac = 26, .attack = {20, 2},
                 .damage = {1, 10, 8}, .saves = {13, 12, 11}, .immunity = ByType({{Fire, 50}}),
                 .experience = 150}}}},
    };
    // clang-format on
    return table;
}

} // namespace

std::vector<Creature> DemoParty()
{
    // clang-format off
    return {
        {.name = "Aldric Voss", .role = Role::Fighter, .maxHp = 196, .ac = 35, .attack = {29, 5},
         .damage = {2, 6, 20}, .extraType = Fire, .extraSides = 6, .threat = 17,
         .saves = {17, 9, 8}, .resistance = Elemental(5), .initiative = 4},
        {.name = "Brenna Tal", .role = Role::Cleric, .maxHp = 138, .ac = 31, .attack = {21, 3},
         .damage = {1, 8, 10}, .extraType = Divine, .extraSides = 6, .saves = {15, 8, 17}},
        // Under Stoneskin and Displacement.
        {.name = "Mirek the Grey", .role = Role::Wizard, .maxHp = 70, .ac = 19, .attack = {15, 1},
         .damage = {1, 8, 0}, .saves = {8, 10, 16}, .reduction = 5, .concealment = 20,
         .spells = {&Fireball, &MissileStorm, &WizardConeOfCold}, .spellEvery = 2,
         .opensWithSpell = true},
        {.name = "Sefa Dunmoor", .role = Role::Rogue, .maxHp = 112, .ac = 32, .attack = {25, 5},
         .damage = {1, 6, 10}, .threat = 18, .sneak = {8, 6, 0}, .saves = {9, 20, 8},
         .evasion = true, .parry = 10},
    };
    // clang-format on
}

std::vector<Creature> DemoEncounter(std::string_view kind)
{
    std::vector<Creature> group;
    for (const Encounter& encounter : Encounters()) {
        if (kind != encounter.kind)
            continue;
        for (const Band& band : encounter.bands) {
            Creature creature = band.creature;
            // The party deals epic damage: fights of half a minute to two.
            creature.maxHp = creature.boss ? creature.maxHp * 3 / 2 : creature.maxHp * 3;
            group.insert(group.end(), static_cast<size_t>(band.count), creature);
        }
    }
    return group;
}

} // namespace tarvik
