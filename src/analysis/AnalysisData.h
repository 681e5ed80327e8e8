#pragma once

#include "model/Character.h"
#include "util/DateTime.h"

#include <cstdint>

namespace tarvik {

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
    int32_t userCharacterId = 0; // 0: no character marked as the user's
    int32_t partyMemberCount = 0;
};

} // namespace tarvik
