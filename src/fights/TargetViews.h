#pragma once

#include "Fight.h"
#include "FightTracker.h"
#include "FightViews.h"
#include "NameTable.h"
#include "TargetStats.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

// What the rolls tell of a target, and who hurt it, as the views show it.

// One attacker's part in the damage a character took.
struct AttackerDamageRow {
    CharacterId id;
    std::string name;
    Side side = Side::Unknown;
    int64_t damage = 0;
    double percent = 0; // of all the character took, one decimal
    double dps = 0;     // over the seconds it was taking damage
};
// Damage a character took, by attacker, most first.
struct DamageByAttacker {
    int64_t total = 0;
    // Per fight, from its first to its last damage taken (at least 1 s),
    // added up over the fights.
    int64_t seconds = 0;
    std::vector<AttackerDamageRow> rows;
};
// From damage taken by attacker ID over the seconds it was taken.
DamageByAttacker DamageByAttackerFrom(std::vector<std::pair<CharacterId, int64_t>> from,
                                      int64_t seconds, const Roster& roster);
DamageByAttacker DamageTakenByAttacker(const FightCharacter& character, const Roster& roster);
// Over every fight, those no longer kept included.
DamageByAttacker DamageTakenByAttacker(const FightTracker& tracker, CharacterId id,
                                       const Roster& roster);

// One attacker whose hits tell another immunity than the others'.
struct AttackerImmunity {
    CharacterId id;
    std::string name;
    std::string text; // "50% (40 hits)"
    int32_t low = 0;
    int32_t high = 0;
    int32_t support = 0;
    int32_t pairs = 0;
};
struct ImmunityCell {
    DamageTypeIndex damageType{0};
    std::string name;
    std::string text;           // "25% (220 of 226 hits)", "?"
    std::string percent;        // "25%", "24-25%", "?"
    std::optional<int32_t> low; // the percentages most pairs allow
    std::optional<int32_t> high;
    int32_t support = 0; // pairs that allow them
    int32_t pairs = 0;
    int32_t absorbs = 0;
    int64_t absorbed = 0;
    // Only where attackers' hits tell different percentages (physical
    // damage of different weapons).
    std::vector<AttackerImmunity> byAttacker;
};
struct SaveCell {
    SaveTypeIndex saveType; // none: other
    std::string name;
    int32_t best = 0;
};
struct NamedCount {
    std::string name;
    int32_t count = 0;
};

// One target's card: what the rolls tell of an enemy.
struct TargetRow {
    CharacterId id;
    std::string name;
    Side side = Side::Unknown;
    std::string ac;                // "45", "45-48", "46-?", "?", "63 (5 of 521 rolls disagree)"
    std::optional<int32_t> acLow;  // above the highest missed total
    std::optional<int32_t> acHigh; // the lowest hit total
    int32_t acRolls = 0;
    // The armour classes the fewest rolls disagree with.
    std::optional<int32_t> acEstimateLow;
    std::optional<int32_t> acEstimateHigh;
    int32_t acOutliers = 0;
    std::string touchAc; // as ac, from touch attacks
    int32_t touchAcRolls = 0;
    int32_t evaded = 0; // hits evaded (Epic Dodge)
    std::string ab;     // "69 / 64 / 59 / 54, off hand 65 / 60"; "?" without rolls
    std::optional<AbLadder> abLadder;
    std::optional<AbLadder> offHandLadder;
    std::optional<int32_t> abValue; // the most frequent bonus of all its rolls
    int32_t abRolls = 0;
    std::vector<SaveCell> saves;
    std::string savesText; // "Fort 12, Reflex 8"
    std::vector<ImmunityCell> immunities;
    std::string immunitiesText; // "Physical 25%, Acid 100%"
    AbsorbTally reductions;
    std::string reductionsText; // "12 absorbs, largest 10, average 5.5"
    std::vector<NamedCount> specialImmunities;
    std::string specialText; // "Critical Hits, Sneak Attacks"
    DamageByAttacker damage;
};
// Every enemy (every character, while nobody is on your side) with anything
// to tell, over the whole analysis, in the order characters were first met.
std::vector<TargetRow> TargetRows(const FightTracker& tracker, const Roster& roster);
// The same within one fight.
std::vector<TargetRow> FightTargetRows(const Fight& fight, const Roster& roster,
                                       const NameTable& names);

// What a character's rolls and the rolls against it told over every fight
// and outside them.
TargetStats AllStatsOf(const FightTracker& tracker, CharacterId id);

// Spell resistance checks of one spell: "Hammer of the Gods: immune x3, failed x1".
struct SpellResultLine {
    std::string spell;
    std::vector<NamedCount> results; // lower case, as the log writes them
    std::string text;
};
// In the order spells were first met.
std::vector<SpellResultLine> SpellResultLines(const TargetStats& stats, const NameTable& names);
// Every character with spell resistance checks (the log's owner), by ID,
// with its lines over every fight and outside them.
using SpellResultsById = std::vector<std::pair<CharacterId, std::vector<SpellResultLine>>>;
SpellResultsById SpellResultsByCharacter(const FightTracker& tracker);
// The lines joined with "; "; empty without any.
std::string SpellResultsText(const std::vector<SpellResultLine>& lines);

// The card as lines of text, for a detail view: AC, touch AC, evaded
// hits, the attack bonus ladder, saves, each immunity with its support and
// attackers, special immunities, resistance and reduction.
std::vector<std::string> TargetCardLines(const TargetRow& row);

} // namespace tarvik
