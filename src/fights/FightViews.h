#pragma once

#include "Fight.h"
#include "FightTracker.h"
#include "RecapView.h"
#include "Roster.h"
#include "model/Character.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {

// Everything about fights, targets and recaps that a view shows, decided
// here so that the window, its report and tarvik-cli say the same.

// "45 s" under a minute, "1:05" under an hour, then "1:02:03".
std::string DurationText(int64_t seconds);
// amount / seconds, at least 1 s.
double PerSecond(int64_t amount, int64_t seconds);
// "123.4": the tables' DPS, one decimal.
std::string DpsText(double dps);
// "1,234": the HUD's DPS, whole.
std::string WholeDpsText(double dps);
// "Ogre Chieftain (+2)".
std::string FightName(const std::string& mainOpponent, int32_t otherOpponents);
// Dealt damage over the seconds from the character's first to its last
// damage in the fight, at least 1 s.
double ActiveDps(const FightCharacter& character);

// One line of the fights table.
struct FightSummary {
    std::string name; // "Ogre Chieftain (+2)"; "?" when nobody took a blow
    CharacterId mainOpponent;
    int32_t otherOpponents = 0;
    int64_t yourDamage = 0;
    int64_t partyDamage = 0; // your whole side: you, party, allies and pets
    double yourDps = 0;
    double partyDps = 0;
    int64_t damageTakenBySide = 0; // by your whole side
    int32_t sideDeaths = 0;        // of your whole side
    int32_t deaths = 0;            // of anybody
};
// The fight is named after the character that took the most damage from
// your side (from everyone when nobody in it is on your side); the other
// opponents, those who exchanged blows with your side, are counted in "(+N)".
FightSummary SummarizeFight(const Fight& fight, const Roster& roster);

struct TypeAmountText {
    std::string damageType;
    int64_t amount = 0;
};

// One line of a fight's per-character table.
struct FightCharacterRow {
    CharacterId id;
    std::string name;
    Side side = Side::Unknown;
    int64_t damageDealt = 0;
    int64_t damageTaken = 0;
    double dps = 0;
    double activeDps = 0;
    int32_t attacks = 0;
    int32_t hits = 0;
    int32_t criticalHits = 0;
    double hitPercent = 0; // one decimal
    int32_t blows = 0;     // damage lines dealt
    int32_t largestBlow = 0;
    int64_t activeSeconds = 0; // first to last damage dealt, at least 1 s; 0 without damage
    int64_t takenSeconds = 0;  // first to last damage taken, at least 1 s; 0 without damage
    int32_t kills = 0;
    int32_t deaths = 0;
    int64_t healingReceived = 0;
    std::vector<TypeAmountText> dealtByType; // types with damage only
    std::vector<TypeAmountText> takenByType;
    // Damage taken by attacker ID, in the order they first did.
    std::vector<std::pair<CharacterId, int64_t>> damageFrom;
};
// In the order the characters joined the fight.
std::vector<FightCharacterRow> FightCharacterRows(const Fight& fight, const Roster& roster);

// Damage per second over a fight, for the chart.
enum class ChartLineKind : uint8_t { You, Party, Opponent, Taken };
struct ChartLine {
    ChartLineKind kind = ChartLineKind::You;
    std::string label;
    std::vector<double> dps;     // one point per bucket
    std::vector<double> average; // trailing moving average
};
// A death on your side, where the time axis marks it.
struct ChartDeath {
    int64_t seconds = 0; // into the fight
    std::string text;    // "Vexa killed by Ogre"
};
struct DpsChart {
    int64_t startSecond = 0;
    int32_t bucketSeconds = 1;
    size_t points = 0;
    int64_t seconds = 0; // the fight's length: the time axis ends there
    std::vector<ChartLine> lines;
    std::vector<ChartDeath> deaths;
};
// Lines: you, your side (you, party, allies and pets), the top opponents
// (who fought your side) by damage dealt, and the damage your side took, left
// out when it is the only opponent's line over again; each with a moving
// average over averageSeconds.
DpsChart BuildDpsChart(const Fight& fight, const Roster& roster, size_t topOpponents = 3,
                       int32_t averageSeconds = 5);
// An axis's tick step: 1, 2 or 5 times a power of ten (at least 1), the
// smallest that cuts span into at most ticks intervals.
double NiceTickStep(double span, int ticks);
// "You: 64.2 DPS at 45 s", what hovering a point of a line tells.
std::string ChartPointText(const std::string& label, double seconds, double dps);
// Each point averaged with the window - 1 points before it (fewer at the start).
std::vector<double> MovingAverage(const std::vector<double>& values, size_t window);

// "DPS  you N  /  party N" for the current fight (CurrentFightOf); empty
// before the first fight.
std::string HudDpsText(const FightTracker& tracker, const Roster& roster, DateTime now);

} // namespace tarvik
