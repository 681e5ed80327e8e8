#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

class AttackRecord;
class Session;

// Window alpha (1..255) of an opacity in percent: 255 × percent / 100,
// halves to even, so 100 gives 255, 80 gives 204 and 50 gives 128.
int32_t OpacityAlpha(int32_t percent);

// The on-top timer's interval for a hover level: 500 ms for relaxed (2),
// 100 ms for aggressive (4), otherwise the standard 250 ms.
int32_t HoverInterval(int32_t level);

// What a hover level (1..4) does to the on-top timer.
struct HoverSetting {
    bool running = false;   // level 1 stops the timer and keeps its interval
    int32_t intervalMs = 0; // only meaningful when running
    std::string caption;
};
// Empty for a level outside 1..4: timer and caption stay as they are.
std::optional<HoverSetting> HoverSettingFor(int32_t level);

// The two fugue labels of the HUD.
struct HudFugueLabels {
    std::string count = "n/a";
    std::string next = "n/a";
    bool bold = false; // the next expiry is within the warning time
};
HudFugueLabels MakeHudFugueLabels(int32_t count, int32_t secondsToNext, int32_t warningSeconds);

// The average of the per-interval averages of the records, one per damage
// type (count entries; zeros without records).
std::vector<int32_t> RollingAverages(const std::deque<AttackRecord>& records, int damageTypeCount);

// Header row of the HUD's grid: an empty corner, then the short damage type
// names, one column per damage type.
std::vector<std::string> HudGridColumnHeaders(const std::vector<std::string>& shortDamageTypes,
                                              int damageTypeCount);
inline constexpr const char* HudOwnRowHeader = "C Attacks";
inline constexpr const char* HudEnemyRowHeader = "E Attacks";

// Everything the HUD's display refresh shows.
struct HudStatistics {
    std::vector<std::string> own;   // per damage type: attacks by the user's character
    std::vector<std::string> enemy; // and against it
    std::string abOut;
    std::string abIn;
    std::string concealment;
    std::string experience;
};
HudStatistics BuildHudStatistics(const Session& session);

// "35%".
std::string ConcealmentText(int32_t percent);

} // namespace tarvik
