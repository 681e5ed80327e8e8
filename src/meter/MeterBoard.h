#pragma once

#include "fights/CurrentFightRule.h"
#include "fights/Roster.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

class Fight;

// What the meter counts per character of your side.
enum class MeterMode : uint8_t { Dps, DamageTaken, Healing };
// "DPS", "Damage taken", "Healing received".
const char* MeterModeCaption(MeterMode mode);
// The rate column's heading: "DPS", "DTPS", "HPS".
const char* MeterRateCaption(MeterMode mode);
// "dps", "taken", "healing": the stored word; unknown words read as DPS.
const char* MeterModeKey(MeterMode mode);
MeterMode MeterModeFromKey(const std::string& key);

// One character's line: a bar scaled to the top value, the rate, its share
// of the side's total and the total.
struct MeterRow {
    CharacterId id;
    std::string name;
    bool you = false;
    int64_t total = 0;
    double perSecond = 0;
    double sharePercent = 0;
    double barFraction = 0; // 1 for the top row
    std::string rateText;   // "1,234"
    std::string shareText;  // "42%"
    std::string totalText;  // "12,345"
    friend bool operator==(const MeterRow&, const MeterRow&) = default;
};

// Everything the meter window paints.
struct MeterView {
    std::string title;   // the fight's name; "No fight yet" before the first
    std::string elapsed; // "1:05"; empty before the first fight
    bool ended = false;
    std::string timeText; // "1:05", "1:05, ended"
    std::string caption;  // the mode's caption
    // The columns' headings, right to left aligned with their figures.
    std::string rateCaption;
    std::string shareCaption;
    std::string totalCaption;
    std::vector<MeterRow> rows;
    std::string emptyText; // shown when there are no rows
    friend bool operator==(const MeterView&, const MeterView&) = default;
};

// The meter's rows over time. Rows keep their places while values change
// and are put in order of value at most once a second, so that a row the
// player is reading does not jump; a new fight or mode is ordered at once.
class MeterBoard {
public:
    static constexpr int64_t ResortIntervalMs = 1000;

    // current: as CurrentFightOf chose it. tickMs: the Clock's monotonic
    // milliseconds.
    const MeterView& Update(const CurrentFightChoice& current, const Roster& roster, MeterMode mode,
                            int64_t tickMs);
    const MeterView& View() const { return view_; }

private:
    struct Entry {
        CharacterId id;
        int64_t total = 0;
        size_t place = 0;
    };
    void Order(std::vector<Entry>& entries, int64_t tickMs);

    MeterView view_;
    std::vector<CharacterId> order_; // as shown
    FightIndex fightIndex_;
    MeterMode mode_ = MeterMode::Dps;
    int64_t sortedAtMs_ = 0;
};

// How much the meter's contents are scaled at a window width: the ratio to
// the width they were laid out for, held between half and three times.
double MeterScale(int width, int designWidth);
inline constexpr double MeterMinimumScale = 0.5;
inline constexpr double MeterMaximumScale = 3.0;

} // namespace tarvik
