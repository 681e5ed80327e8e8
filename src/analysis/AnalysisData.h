#pragma once

#include "model/Character.h"
#include "util/DateTime.h"

#include <cstdint>

namespace tarvik {

// How the user's character came to be marked.
enum class UserFoundBy : uint8_t {
    None,                 // no character is marked
    Hand,                 // marked by the user
    InitiativeRolls,      // auto-detection: its initiative rolls
    SpellResistanceLines, // auto-detection: its spell-resistance lines
    AbsorbLines,          // auto-detection: the absorb lines of its hits
};

// Everything an analysis accumulates, owned by the session.
struct AnalysisData {
    CharacterList characters;
    SpellList knownSpells;
    int32_t linesRead = 0;
    int32_t recordsParsed = 0;
    int64_t experienceTotal = 0;
    DateTime earliestRecordDate;
    DateTime latestRecordDate;
    // False while no line was dated: the two dates then hold their start
    // values, a year ahead and the zero date.
    bool HasRecordDates() const { return earliestRecordDate <= latestRecordDate; }
    CharacterId userCharacterId; // none: no character marked as the user's
    UserFoundBy userFoundBy = UserFoundBy::None;
    int32_t partyMemberCount = 0;
    // Changes with every change of a mark, so that what was decided from
    // the marks knows when to decide again.
    uint64_t marksVersion = 0;
};

} // namespace tarvik
