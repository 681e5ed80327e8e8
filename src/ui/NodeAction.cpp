#include "NodeAction.h"

#include "CharacterTree.h"
#include "analysis/AnalysisData.h"

namespace tarvik {

NodeAction ResolveNodeClick(std::string_view key, const AnalysisData& data)
{
    NodeAction action;
    const CharacterTree::KeyInfo info = CharacterTree::ParseKey(key);
    if (info.level == 0) {
        action.kind = NodeAction::Kind::SessionStatistics;
        return action;
    }
    const Character* c = data.characters.At(info.id);
    if (!c)
        return action;
    action.characterId = c->ID();
    if (info.level == 1) {
        action.kind = NodeAction::Kind::GeneralInfo;
        return action;
    }
    if (info.level != 2)
        return action;
    auto choose = [&](bool condition, NodeAction::Kind kind, const char* otherwise) {
        if (condition) {
            action.kind = kind;
        } else {
            action.kind = NodeAction::Kind::Explain;
            action.statusText = c->Name() + otherwise;
        }
    };
    if (info.category == "ATTACKS")
        choose(c->DamageDealt() >= 1, NodeAction::Kind::AttacksMade,
               " did not deal out damage to any others.");
    else if (info.category == "ENEMY ATTACKS")
        choose(c->DamageReceived() >= 1, NodeAction::Kind::EnemyAttacks,
               " did not receive any damage from others.");
    else if (info.category == "SPELLS")
        choose(c->Spells() >= 1, NodeAction::Kind::Spells, " did not cast any spells.");
    else if (info.category == "KILLS")
        choose(c->Kills() >= 1, NodeAction::Kind::Kills, " did not kill anyone.");
    else if (info.category == "DEATHS")
        choose(c->Deaths() >= 1, NodeAction::Kind::Deaths, " did not die.");
    return action;
}

} // namespace tarvik
