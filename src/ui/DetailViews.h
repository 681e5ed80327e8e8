#pragma once

#include "DetailGrid.h"
#include "fights/TargetViews.h"

#include <cstdint>
#include <string>

namespace tarvik {

class Character;
class Session;

// The views of one character in the detail window. The general info of the
// log's owner ends with its spell resistance checks: taken from spellResults
// when given (every character's, as SpellResultsByCharacter makes them), else
// gathered from the session's fights.
DetailGrid BuildGeneralInfo(const Session& session, const Character& character,
                            const SpellResultsById* spellResults = nullptr);
// Average damage by opponent and damage type, made (outbound) or received.
DetailGrid BuildAttacks(const Session& session, const Character& character, bool outbound);
DetailGrid BuildSpells(const Session& session, const Character& character);
DetailGrid BuildKillsOrDeaths(const Session& session, const Character& character, bool kills);

// "2.5:1", or "n/a" when either side is below 1.
std::string RatioText(int64_t numerator, int64_t denominator);

} // namespace tarvik
