#pragma once

#include "report/FightJson.h"

#include <string>

namespace tarvik {

class Session;

// The fights table, then each fight's characters and recaps, as text.
std::string FightsText(const Session& session);
// The targets table as text.
std::string TargetsText(const Session& session);

} // namespace tarvik
