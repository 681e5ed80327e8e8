#pragma once

#include "DetailGrid.h"

#include <cstdint>
#include <string>

namespace tarvik {

class Character;
class Session;

// The views of one character in the detail window.
DetailGrid BuildGeneralInfo(const Session& session, const Character& character);
// Average damage by opponent and damage type, made (outbound) or received.
DetailGrid BuildAttacks(const Session& session, const Character& character, bool outbound);
DetailGrid BuildSpells(const Session& session, const Character& character);
DetailGrid BuildKillsOrDeaths(const Session& session, const Character& character, bool kills);

// "2.5:1", or "n/a" when either side is below 1.
std::string RatioText(int64_t numerator, int64_t denominator);

} // namespace tarvik
