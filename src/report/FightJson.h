#pragma once

#include "fights/Fight.h"
#include "fights/FightViews.h"
#include "fights/NameTable.h"
#include "fights/TargetViews.h"

#include <nlohmann/json.hpp>
#include <vector>

namespace tarvik {

class Session;

using Json = nlohmann::ordered_json;

// One fight: its times, name, DPS, characters and death recaps; its targets
// when given the names the targets refer to (FightTracker::EffectNames).
Json FightJson(const Fight& fight, const Roster& roster, const NameTable* targetNames);
// Every fight of the session, in the order they began.
Json FightsJson(const Session& session, bool withTargets);
// A death recap.
Json RecapJson(const DeathRecap& recap, const Roster& roster);
// Targets rows.
Json TargetsJson(const std::vector<TargetRow>& rows);
// The running fight so far, for a live "update" line.
Json FightUpdateJson(const Fight& fight, const Roster& roster);

} // namespace tarvik
