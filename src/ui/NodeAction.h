#pragma once

#include "model/Indices.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

struct AnalysisData;

// What a click on a tree node asks the detail window to show.
struct NodeAction {
    enum class Kind {
        Nothing,
        SessionStatistics,
        GeneralInfo,
        AttacksMade,
        EnemyAttacks,
        Spells,
        Kills,
        Deaths,
        // The category is empty: select the character node, explain in the status bar.
        Explain,
    };
    Kind kind = Kind::Nothing;
    CharacterId characterId;
    std::string statusText;
};

NodeAction ResolveNodeClick(std::string_view key, const AnalysisData& data);

} // namespace tarvik
