#include "MeterBoard.h"

#include "fights/Fight.h"
#include "fights/FightViews.h"
#include "util/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace tarvik {

namespace {

int64_t ValueOf(const FightCharacter& character, MeterMode mode)
{
    switch (mode) {
    case MeterMode::DamageTaken:
        return character.damageTaken;
    case MeterMode::Healing:
        return character.healingReceived;
    case MeterMode::Dps:
        break;
    }
    return character.damageDealt;
}

std::string EmptyText(MeterMode mode, const Roster& roster)
{
    if (roster.userId.IsNone())
        return "Mark your character (right-click it in the main window) to see your side.";
    switch (mode) {
    case MeterMode::DamageTaken:
        return "Your side has taken no damage in this fight.";
    case MeterMode::Healing:
        return "Your side has received no healing in this fight.";
    case MeterMode::Dps:
        break;
    }
    return "Your side has dealt no damage in this fight.";
}

} // namespace

const char* MeterModeCaption(MeterMode mode)
{
    switch (mode) {
    case MeterMode::DamageTaken:
        return "Damage taken";
    case MeterMode::Healing:
        return "Healing received";
    case MeterMode::Dps:
        break;
    }
    return "DPS";
}

const char* MeterRateCaption(MeterMode mode)
{
    switch (mode) {
    case MeterMode::DamageTaken:
        return "DTPS";
    case MeterMode::Healing:
        return "HPS";
    case MeterMode::Dps:
        break;
    }
    return "DPS";
}

const char* MeterModeKey(MeterMode mode)
{
    switch (mode) {
    case MeterMode::DamageTaken:
        return "taken";
    case MeterMode::Healing:
        return "healing";
    case MeterMode::Dps:
        break;
    }
    return "dps";
}

MeterMode MeterModeFromKey(const std::string& key)
{
    for (MeterMode mode : {MeterMode::DamageTaken, MeterMode::Healing}) {
        if (key == MeterModeKey(mode))
            return mode;
    }
    return MeterMode::Dps;
}

const MeterView& MeterBoard::Update(const CurrentFightChoice& current, const Roster& roster,
                                    MeterMode mode, int64_t tickMs)
{
    view_.caption = MeterModeCaption(mode);
    view_.rateCaption = MeterRateCaption(mode);
    view_.shareCaption = "Share";
    view_.totalCaption = "Total";
    view_.rows.clear();
    if (!current.fight) {
        view_.title = "No fight yet";
        view_.elapsed.clear();
        view_.ended = false;
        view_.timeText.clear();
        view_.emptyText = "The meter fills when a fight begins.";
        order_.clear();
        fightIndex_ = FightIndex::None();
        return view_;
    }
    const Fight& fight = *current.fight;
    if (fight.Index() != fightIndex_ || mode != mode_) {
        // A new fight or mode starts from its own order, not the last one's.
        order_.clear();
        fightIndex_ = fight.Index();
        mode_ = mode;
    }
    view_.title = SummarizeFight(fight, roster).name;
    view_.elapsed = DurationText(fight.DurationSeconds());
    view_.ended = !current.running;
    view_.timeText = view_.ended ? view_.elapsed + ", ended" : view_.elapsed;
    view_.emptyText = EmptyText(mode, roster);

    std::vector<Entry> entries;
    int64_t sum = 0;
    int64_t top = 0;
    for (const FightCharacter& character : fight.Characters()) {
        const int64_t total = ValueOf(character, mode);
        if (total <= 0 || !roster.OnYourSide(character.id))
            continue;
        entries.push_back({character.id, total, 0});
        sum += total;
        top = std::max(top, total);
    }
    Order(entries, tickMs);

    const int64_t seconds = fight.DurationSeconds();
    for (const Entry& entry : entries) {
        MeterRow row;
        row.id = entry.id;
        row.name = roster.NameOf(entry.id);
        row.you = roster.SideOf(entry.id) == Side::You;
        row.total = entry.total;
        row.perSecond = PerSecond(entry.total, seconds);
        row.sharePercent = 100.0 * static_cast<double>(entry.total) / static_cast<double>(sum);
        row.barFraction = static_cast<double>(entry.total) / static_cast<double>(top);
        row.rateText = WholeDpsText(row.perSecond);
        row.shareText = std::to_string(std::lround(row.sharePercent)) + "%";
        row.totalText = FormatThousands(entry.total);
        view_.rows.push_back(std::move(row));
    }
    return view_;
}

void MeterBoard::Order(std::vector<Entry>& entries, int64_t tickMs)
{
    const bool resort =
        order_.empty() || tickMs - sortedAtMs_ >= ResortIntervalMs || tickMs < sortedAtMs_;
    // Places as shown; characters not shown yet come after them.
    for (Entry& entry : entries) {
        const auto found = std::find(order_.begin(), order_.end(), entry.id);
        entry.place = static_cast<size_t>(found - order_.begin());
    }
    const auto byValue = [](const Entry& a, const Entry& b) {
        if (a.total != b.total)
            return a.total > b.total;
        return a.place < b.place;
    };
    if (resort) {
        std::sort(entries.begin(), entries.end(), byValue);
        sortedAtMs_ = tickMs;
    } else {
        std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
            if (a.place != b.place)
                return a.place < b.place;
            return byValue(a, b);
        });
    }
    order_.clear();
    for (const Entry& entry : entries)
        order_.push_back(entry.id);
}

double MeterScale(int width, int designWidth)
{
    if (designWidth <= 0)
        return 1.0;
    return std::clamp(static_cast<double>(width) / designWidth, MeterMinimumScale,
                      MeterMaximumScale);
}

} // namespace tarvik
