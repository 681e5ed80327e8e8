#pragma once

#include "report/FightJson.h"

#include <string>

namespace tarvik {

class Session;

// The fights table, then each fight's characters and recaps, as text.
std::string FightsText(const Session& session);
// The targets table as text, then the damage each target took by attacker.
std::string TargetsText(const Session& session);

} // namespace tarvik
