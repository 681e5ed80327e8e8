#pragma once

#include "Fight.h"
#include "FightViews.h"
#include "Roster.h"
#include "TargetViews.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvik {

// Several fights seen as one: their characters' parts added up, every rate
// over the sum of the fights' durations (the quiet time between them does
// not count). One fight reads as itself.

struct FightGroupSummary {
    std::string name; // the fight's name, or "3 fights"
    int64_t seconds = 0;
    FightSummary summary;
};
FightGroupSummary SummarizeFights(std::span<const Fight* const> fights, const Roster& roster);
// Characters in the order they first joined one of the fights.
std::vector<FightCharacterRow> FightCharacterRows(std::span<const Fight* const> fights,
                                                  const Roster& roster);

// One line to paste into the game's chat, most DPS first:
// "Stone Warden 1:05 | Vexa 64.2 (54%) | Cerberus 54.8 (46%)". Your side's
// damage dealers (everyone's when no side is known), each with their share
// of that damage; as many as fit in ChatLineLimit characters.
constexpr size_t ChatLineLimit = 199;
std::string ChatSummaryLine(const FightGroupSummary& group,
                            const std::vector<FightCharacterRow>& rows, const Roster& roster);

// What one character did and took in the fights shown.
struct CharacterBreakdown {
    CharacterId id;
    std::string name;
    Side side = Side::Unknown;
    int32_t attacks = 0;
    int32_t hits = 0;
    double hitPercent = 0; // of attack rolls, one decimal
    int32_t criticalHits = 0;
    double critPercent = 0; // of hits, one decimal
    int32_t blows = 0;      // damage lines, spells included
    int32_t largestBlow = 0;
    double averageBlow = 0; // damage per blow, one decimal
    int64_t damageDealt = 0;
    double sideShare = 0; // of the damage its side dealt, one decimal
    double dps = 0;
    std::vector<TypeAmountText> dealtByType;
    int64_t damageTaken = 0;
    DamageByAttacker takenBy; // the target card's table, seen from the other side
};
// Empty when the character is not among the rows. Its side is your side
// when it is on it, else everyone else.
std::optional<CharacterBreakdown> BreakdownOf(const std::vector<FightCharacterRow>& rows,
                                              CharacterId id, const Roster& roster);

// The breakdown as labelled lines, the window's and the report's.
struct BreakdownLine {
    std::string label;
    std::string value;
    std::string tip;
    bool heading = false; // starts a group of the lines after it
};
std::vector<BreakdownLine> BreakdownLines(const CharacterBreakdown& breakdown);

} // namespace tarvik
