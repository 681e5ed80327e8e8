#include "HudView.h"

#include "analysis/Session.h"
#include "model/AttackRecord.h"
#include "monitor/FugueDisplay.h"
#include "util/NumberFormat.h"

#include <algorithm>

namespace tarvik {

int32_t OpacityAlpha(int32_t percent)
{
    // Integer arithmetic, so that 50 % gives 128 and not 127 by a rounding error.
    const int64_t scaled = int64_t{255} * percent;
    int64_t alpha = scaled / 100;
    const int64_t rest = scaled % 100;
    if (rest > 50 || (rest == 50 && alpha % 2 != 0))
        ++alpha;
    else if (rest < -50 || (rest == -50 && alpha % 2 != 0))
        --alpha;
    // An alpha of 0 would leave no way to find the window again.
    return static_cast<int32_t>(std::clamp<int64_t>(alpha, 1, 255));
}

int32_t HoverInterval(int32_t level)
{
    switch (level) {
    case 2:
        return 500;
    case 4:
        return 100;
    default:
        return 250;
    }
}

std::optional<HoverSetting> HoverSettingFor(int32_t level)
{
    static const char* const captions[] = {"Disabled", "Relaxed", "Standard", "Aggressive"};
    if (level < 1 || level > 4)
        return std::nullopt;
    return HoverSetting{level > 1, HoverInterval(level), captions[level - 1]};
}

HudFugueLabels MakeHudFugueLabels(int32_t count, int32_t secondsToNext, int32_t warningSeconds)
{
    HudFugueLabels labels;
    if (count < 1)
        return labels;
    labels.count = std::to_string(count);
    labels.next = FormatMinutesSeconds(secondsToNext);
    labels.bold = secondsToNext <= warningSeconds;
    return labels;
}

std::vector<int32_t> RollingAverages(const std::deque<AttackRecord>& records, int damageTypeCount)
{
    const int count = std::max(damageTypeCount, 0);
    // Each interval counts once, however many attacks it holds.
    AttackRecord combined;
    combined.CreateAttackRecord(CharacterId::None(), CharacterId::None(), count);
    std::vector<int32_t> averages;
    for (const AttackRecord& record : records) {
        if (record.GetAttackAverages(averages))
            (void)combined.AddAttack(averages); // an overflow leaves the sums as they were
    }
    averages.clear();
    combined.GetAttackAverages(averages);
    averages.resize(static_cast<size_t>(count), 0);
    return averages;
}

std::vector<std::string> HudGridColumnHeaders(const std::vector<std::string>& shortDamageTypes,
                                              int damageTypeCount)
{
    std::vector<std::string> headers{""};
    for (int i = 0; i < damageTypeCount; ++i) {
        const auto index = static_cast<size_t>(i);
        headers.push_back(index < shortDamageTypes.size() ? shortDamageTypes[index] : "");
    }
    return headers;
}

std::string ConcealmentText(int32_t percent)
{
    return std::to_string(percent) + "%";
}

HudStatistics BuildHudStatistics(const Session& session)
{
    const RealTimeState& realTime = session.RealTime();
    const int count = session.Config().DamageTypeCount();
    HudStatistics shown;
    for (int32_t value : RollingAverages(realTime.OwnAttackRecords(), count))
        shown.own.push_back(std::to_string(value));
    for (int32_t value : RollingAverages(realTime.EnemyAttackRecords(), count))
        shown.enemy.push_back(std::to_string(value));
    int32_t own = 0;
    int32_t enemy = 0;
    realTime.GetAverageAB(own, enemy);
    shown.abOut = std::to_string(own);
    shown.abIn = std::to_string(enemy);
    shown.concealment = ConcealmentText(realTime.LastConcealment());
    shown.experience = FormatThousands(session.Data().experienceTotal);
    return shown;
}

} // namespace tarvik
