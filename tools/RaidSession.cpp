#include "RaidSession.h"

#include "LogBook.h"

namespace tarvik {

namespace {

// clang-format off
const SpellPlan HammerOfTheGods{"Hammer of the Gods", Divine, {10, 8}, SaveKind::Will,
                                "Will Save vs. Divine", 38, 4};
const SpellPlan HorridWilting{"Horrid Wilting", NegativeEnergy, {12, 8}, SaveKind::Fort,
                              "Fortitude Save vs. Negative Energy", 38, 4};
const SpellPlan RaidConeOfCold{"Cone of Cold", Cold, {15, 6}, SaveKind::Reflex,
                               "Reflex Save vs. Cold", 30, 1};
const SpellPlan RaidFireball{"Fireball", Fire, {15, 6}, SaveKind::Reflex, "Reflex Save vs. Fire",
                             30, 1};
// clang-format on

} // namespace

Creature RaidBoss()
{
    // clang-format off
    return {.name = "Plane Warden", .maxHp = 3000, .ac = 58,
            .attack = {.bonus = 69, .perRound = 5, .step = 5, .extra = 1},
            .damage = {2, 8, 20}, .threat = 19, .saves = {40, 30, 35},
            .immunity = ByType({{Physical, 25}, {Cold, 100}, {Fire, 10}, {Acid, 50}}),
            .reduction = 10, .resistance = ByType({{Fire, 5}}), .epicDodge = 10,
            .spells = {&HammerOfTheGods, &HorridWilting}, .spellEvery = 4, .boss = true,
            .experience = 1000, .immuneTo = {"Critical Hits", "Sneak Attacks"}};
    // clang-format on
}

std::vector<Creature> RaidParty()
{
    // clang-format off
    return {
        {.name = "Vexa Thorn", .role = Role::Fighter, .maxHp = 2400, .ac = 62,
         .attack = {.bonus = 52, .perRound = 5, .step = 5, .extra = 1}, .damage = {2, 6, 25},
         .extraType = Fire, .extraSides = 6, .threat = 17, .saves = {30, 20, 18},
         .initiative = 6, .immuneToSpells = {"Hammer of the Gods"}},
        {.name = "Orlen Vance", .role = Role::Cleric, .maxHp = 1800, .ac = 56,
         .attack = {.bonus = 44, .perRound = 4, .step = 5}, .damage = {1, 8, 20},
         .extraType = Divine, .extraSides = 6, .saves = {28, 18, 30}},
        {.name = "Ilse Marrow", .role = Role::Wizard, .maxHp = 1400, .ac = 48,
         .attack = {.bonus = 30, .perRound = 1}, .damage = {1, 8, 0}, .saves = {18, 20, 30},
         .spells = {&RaidConeOfCold, &RaidFireball}, .spellEvery = 1, .opensWithSpell = true},
        {.name = "Tamsin Reed", .role = Role::Rogue, .maxHp = 1600, .ac = 58,
         .attack = {.bonus = 48, .perRound = 5, .step = 5, .extra = 1}, .damage = {1, 6, 18},
         .extraType = Acid, .extraSides = 8, .threat = 18, .sneak = {8, 6, 0},
         .saves = {18, 32, 16}, .evasion = true},
    };
    // clang-format on
}

RaidPlan DefaultRaid()
{
    return {RaidBoss(), RaidParty()};
}

RaidLog WriteRaid(const RaidPlan& plan)
{
    LogBook book(plan.seed);
    book.Start(LogClient::EnhancedEdition, 2026, 3, 14, 21 * 3600);
    std::vector<Combatant> party;
    for (const Creature& member : plan.party)
        party.emplace_back(member);
    RaidLog log{"nwclientLog1.txt", {}, {}};
    for (size_t i = 1; i < party.size(); ++i) {
        book.Line(PartyBody(party[i].name, true));
        book.Wait(2);
    }
    const BattleRules rules{.spellAbsorbsAbove = true,
                            .reductionWithImmunity = true,
                            .evadedKeepThreat = true,
                            .spellResistLines = true};
    for (int fight = 0; fight < plan.fights; ++fight) {
        // Rested and raised between the pulls.
        for (Combatant& member : party) {
            member.hp = member.maxHp;
            member.alive = true;
        }
        Battle(book, party, rules, &log.truth).Fight({plan.boss});
        book.Wait(120);
    }
    log.contents = book.Finish();
    return log;
}

} // namespace tarvik
