#pragma once

#include "Fight.h"
#include "Roster.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// A death recap as shown: the victim's events of the seconds before the
// death, merged into lines a player reads at a glance.

enum class RecapLineKind : uint8_t { Blow, Healing, Immunity, Absorb, Save };

struct RecapAbsorb {
    int32_t amount = 0;
    DamageTypeIndex damageType; // none: resistance or reduction
};
struct RecapSave {
    SaveTypeIndex saveType; // none: other
    int32_t total = 0;      // roll + bonus
    int32_t dc = -1;        // -1: the line named none
    bool success = false;
};

struct RecapLine {
    RecapLineKind kind = RecapLineKind::Blow;
    std::string time;          // "08:14:43 PM", of the line's first event
    int64_t secondsBefore = 0; // before the death
    std::string text;          // "31 damage from Ogre Chieftain (29 Physical, 2 Sonic)"
    CharacterId source;        // blow: the attacker
    int64_t amount = 0;        // blow: damage; healing: hit points healed
    std::vector<RecapEvent::TypeAmount> types; // blow: the largest amounts by type
    // A blow's absorbs and the saves made against it; a line of its own
    // (an absorb or save no blow took) holds its one event here.
    std::vector<RecapAbsorb> absorbs;
    std::vector<RecapSave> saves;
    int32_t ticks = 0; // healing: the healing lines merged into this one
    bool killingBlow = false;
};

// A blow's attacker in the recap's seconds.
struct RecapAttacker {
    CharacterId attacker;
    std::string name;
    int64_t damage = 0;
    int32_t blows = 0;
    int32_t largest = 0;
};

struct RecapView {
    std::string time; // "07/03/2026 08:14:43 PM"
    std::string victim;
    std::string killer;
    std::vector<RecapLine> lines;          // oldest first, at most MaxLines
    std::vector<RecapAttacker> byAttacker; // most damage first
};

// Lines a recap shows at most: the latest, and always the killing blow.
inline constexpr size_t MaxRecapLines = 40;

// The rules: absorbs of nothing are dropped; an absorb joins the damage line
// right above it in the same second (only absorbs and saves between), else
// the one right below; a save joins the damage line right below it, else
// the one above; healing lines with nothing between them become one line
// ("Healed 38 in 10 ticks"); the killer's last blow is the killing blow
// (the last blow of all when the killer dealt none). Blows are summed per
// attacker over every event kept.
RecapView BuildRecap(const DeathRecap& recap, const Roster& roster);

// "By attacker: Ogre Chieftain 83 in 2 blows (largest 52), ..."; empty
// without blows.
std::string RecapAttackersText(const RecapView& view);

// The deaths whose recaps the views show: those of your side (you, party,
// allies and pets), in time order.
std::vector<const DeathRecap*> ShownDeaths(const Fight& fight, const Roster& roster);

} // namespace tarvik
