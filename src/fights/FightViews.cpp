#include "FightViews.h"

#include "CurrentFightRule.h"
#include "model/RoundNumber.h"
#include "util/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace tarvik {

namespace {

const std::string Unknown = "?";

bool TookPart(const FightCharacter& c)
{
    return c.attacks > 0 || c.attacksReceived > 0 || c.damageDealt > 0 || c.damageTaken > 0 ||
           c.kills > 0 || c.deaths > 0;
}

// Not on your side and exchanged attacks or damage with it: an opponent, not
// a bystander or an ally outside the party.
bool FoughtYourSide(const Fight& fight, const FightCharacter& c, const Roster& roster)
{
    if (roster.OnYourSide(c.id))
        return false;
    for (const auto& from : c.damageFrom) {
        if (roster.OnYourSide(from.first))
            return true;
    }
    const auto& characters = fight.Characters();
    const auto slot = static_cast<size_t>(&c - characters.data());
    for (size_t other = 0; other < characters.size(); ++other) {
        const FightCharacter& member = characters[other];
        if (!roster.OnYourSide(member.id))
            continue;
        if (c.Attacked(other) || member.Attacked(slot))
            return true;
        for (const auto& from : member.damageFrom) {
            if (from.first == c.id)
                return true;
        }
    }
    return false;
}

std::vector<TypeAmountText> NonZeroTypes(const std::vector<int64_t>& byType, const Roster& roster)
{
    std::vector<TypeAmountText> result;
    for (size_t t = 0; t < byType.size(); ++t) {
        if (byType[t] != 0)
            result.push_back({roster.DamageTypeName(DamageTypeIndex::FromSlot(t)), byType[t]});
    }
    return result;
}

} // namespace

std::string DurationText(int64_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    if (seconds < 60)
        return std::to_string(seconds) + " s";
    auto two = [](int64_t value) { return (value < 10 ? "0" : "") + std::to_string(value); };
    const int64_t hours = seconds / 3600;
    if (hours > 0)
        return std::to_string(hours) + ":" + two(seconds / 60 % 60) + ":" + two(seconds % 60);
    return std::to_string(seconds / 60) + ":" + two(seconds % 60);
}

double PerSecond(int64_t amount, int64_t seconds)
{
    return static_cast<double>(amount) / static_cast<double>(std::max<int64_t>(seconds, 1));
}

std::string DpsText(double dps)
{
    return RoundedText(dps, 1);
}

std::string WholeDpsText(double dps)
{
    return FormatThousands(static_cast<int64_t>(RoundNumber(dps, 0)));
}

std::string FightName(const std::string& mainOpponent, int32_t otherOpponents)
{
    if (otherOpponents <= 0)
        return mainOpponent;
    return mainOpponent + " (+" + std::to_string(otherOpponents) + ")";
}

double ActiveDps(const FightCharacter& character)
{
    if (!character.dealtDamage)
        return 0;
    return PerSecond(character.damageDealt,
                     character.lastDamageSecond - character.firstDamageSecond);
}

FightSummary SummarizeFight(const Fight& fight, const Roster& roster)
{
    FightSummary summary;
    bool sideKnown = false;
    for (const FightCharacter& c : fight.Characters()) {
        const Side side = roster.SideOf(c.id);
        summary.deaths += c.deaths;
        if (!IsYourSide(side))
            continue;
        sideKnown = true;
        summary.partyDamage += c.damageDealt;
        summary.damageTakenBySide += c.damageTaken;
        summary.sideDeaths += c.deaths;
        if (side == Side::You)
            summary.yourDamage += c.damageDealt;
    }
    const int64_t seconds = fight.DurationSeconds();
    summary.yourDps = PerSecond(summary.yourDamage, seconds);
    summary.partyDps = PerSecond(summary.partyDamage, seconds);

    // Opponents: who exchanged blows with your side; failing that, anyone
    // not on it who took part (only misses were exchanged).
    bool blowsExchanged = false;
    if (sideKnown) {
        for (const FightCharacter& c : fight.Characters())
            blowsExchanged = blowsExchanged || FoughtYourSide(fight, c, roster);
    }
    // Ranked by damage from your side (or anyone), then by attacks received.
    const FightCharacter* main = nullptr;
    int64_t mainDamage = -1;
    int32_t opponents = 0;
    for (const FightCharacter& c : fight.Characters()) {
        if (sideKnown) {
            if (roster.OnYourSide(c.id) || !TookPart(c) ||
                (blowsExchanged && !FoughtYourSide(fight, c, roster)))
                continue;
        } else if (c.damageTaken == 0 && c.attacksReceived == 0 && c.deaths == 0) {
            continue;
        }
        ++opponents;
        int64_t damage = 0;
        if (sideKnown) {
            for (const auto& [attacker, amount] : c.damageFrom) {
                if (roster.OnYourSide(attacker))
                    damage += amount;
            }
        } else {
            damage = c.damageTaken;
        }
        if (!main || damage > mainDamage ||
            (damage == mainDamage && c.attacksReceived > main->attacksReceived)) {
            main = &c;
            mainDamage = damage;
        }
    }
    if (!main) {
        summary.name = Unknown;
        return summary;
    }
    summary.mainOpponent = main->id;
    summary.otherOpponents = opponents - 1;
    summary.name = FightName(roster.NameOf(main->id), summary.otherOpponents);
    return summary;
}

std::vector<FightCharacterRow> FightCharacterRows(const Fight& fight, const Roster& roster)
{
    std::vector<FightCharacterRow> rows;
    rows.reserve(fight.Characters().size());
    const int64_t seconds = fight.DurationSeconds();
    for (const FightCharacter& c : fight.Characters()) {
        FightCharacterRow row;
        row.id = c.id;
        row.name = roster.NameOf(c.id);
        row.side = roster.SideOf(c.id);
        row.damageDealt = c.damageDealt;
        row.damageTaken = c.damageTaken;
        row.dps = PerSecond(c.damageDealt, seconds);
        row.activeDps = ActiveDps(c);
        row.attacks = c.attacks;
        row.hits = c.hits;
        row.criticalHits = c.criticalHits;
        row.hitPercent = c.attacks > 0 ? RoundNumber(c.hits * 100.0 / c.attacks, 1) : 0;
        row.blows = c.blows;
        row.largestBlow = c.largestBlow;
        row.activeSeconds =
            c.dealtDamage ? std::max<int64_t>(1, c.lastDamageSecond - c.firstDamageSecond) : 0;
        row.takenSeconds = c.TakenSeconds();
        row.damageFrom = c.damageFrom;
        row.kills = c.kills;
        row.deaths = c.deaths;
        row.healingReceived = c.healingReceived;
        row.dealtByType = NonZeroTypes(c.dealtByType, roster);
        row.takenByType = NonZeroTypes(c.takenByType, roster);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<double> MovingAverage(const std::vector<double>& values, size_t window)
{
    window = std::max<size_t>(window, 1);
    std::vector<double> result(values.size());
    double sum = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        sum += values[i];
        if (i >= window)
            sum -= values[i - window];
        result[i] = sum / static_cast<double>(std::min(i + 1, window));
    }
    return result;
}

DpsChart BuildDpsChart(const Fight& fight, const Roster& roster, size_t topOpponents,
                       int32_t averageSeconds)
{
    DpsChart chart;
    chart.startSecond = fight.StartSecond();
    chart.bucketSeconds = fight.BucketSeconds();
    chart.points = fight.SeriesPoints();
    chart.seconds = fight.EndSecond() - fight.StartSecond();
    for (const DeathRecap& death : fight.Deaths()) {
        chart.deaths.push_back(
            {death.second - fight.StartSecond(),
             roster.NameOf(death.victim) + " killed by " + roster.NameOf(death.killer)});
    }
    const double width = chart.bucketSeconds;
    const size_t window = static_cast<size_t>(
        std::max<int64_t>(1, (averageSeconds + chart.bucketSeconds / 2) / chart.bucketSeconds));

    auto add = [&](std::vector<double>& line, const BucketSeries& series) {
        const std::vector<int32_t>& values = series.Values();
        for (size_t i = 0; i < values.size() && series.First() + i < line.size(); ++i)
            line[series.First() + i] += values[i] / width;
    };
    auto finish = [&](ChartLineKind kind, std::string label, std::vector<double> dps) {
        ChartLine line;
        line.kind = kind;
        line.label = std::move(label);
        line.average = MovingAverage(dps, window);
        line.dps = std::move(dps);
        chart.lines.push_back(std::move(line));
    };

    std::vector<double> you(chart.points, 0.0);
    std::vector<double> party(chart.points, 0.0);
    std::vector<double> taken(chart.points, 0.0);
    bool haveYou = false, haveParty = false, haveSide = false;
    std::vector<const FightCharacter*> opponents;
    for (const FightCharacter& c : fight.Characters()) {
        const Side side = roster.SideOf(c.id);
        if (!IsYourSide(side)) {
            if (c.damageDealt > 0)
                opponents.push_back(&c);
            continue;
        }
        haveSide = true;
        add(party, c.series.dealt);
        add(taken, c.series.taken);
        if (side == Side::You) {
            add(you, c.series.dealt);
            haveYou = true;
        } else {
            haveParty = true;
        }
    }
    // With a side known, only those who fought it are its opponents.
    if (haveSide)
        std::erase_if(opponents,
                      [&](const FightCharacter* c) { return !FoughtYourSide(fight, *c, roster); });
    std::stable_sort(opponents.begin(), opponents.end(),
                     [](const FightCharacter* a, const FightCharacter* b) {
                         return a->damageDealt > b->damageDealt;
                     });
    if (opponents.size() > topOpponents)
        opponents.resize(topOpponents);

    if (haveYou)
        finish(ChartLineKind::You, "You", std::move(you));
    if (haveParty)
        finish(ChartLineKind::Party, "Party", std::move(party));
    for (const FightCharacter* c : opponents) {
        std::vector<double> line(chart.points, 0.0);
        add(line, c->series.dealt);
        finish(ChartLineKind::Opponent, roster.NameOf(c->id), std::move(line));
    }
    // With one opponent, what your side took is mostly that opponent's line
    // again: one line is enough.
    const bool takenRepeats =
        std::any_of(chart.lines.begin(), chart.lines.end(), [&](const ChartLine& line) {
            return line.kind == ChartLineKind::Opponent && line.dps == taken;
        });
    if ((haveYou || haveParty) && !takenRepeats)
        finish(ChartLineKind::Taken, "Damage taken", std::move(taken));
    return chart;
}

double NiceTickStep(double span, int ticks)
{
    if (!(span > 0) || ticks < 1)
        return 1;
    const double raw = span / ticks;
    double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (;;) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            if (factor * power >= raw)
                return std::max(1.0, factor * power);
        }
        power *= 10;
    }
}

std::string ChartPointText(const std::string& label, double seconds, double dps)
{
    return label + ": " + DpsText(dps) + " DPS at " +
           DurationText(static_cast<int64_t>(RoundNumber(seconds, 0)));
}

std::string HudDpsText(const FightTracker& tracker, const Roster& roster, DateTime now)
{
    const Fight* fight = CurrentFightOf(tracker, now).fight;
    if (!fight)
        return {};
    const FightSummary summary = SummarizeFight(*fight, roster);
    return "DPS  you " + WholeDpsText(summary.yourDps) + "  /  party " +
           WholeDpsText(summary.partyDps);
}

} // namespace tarvik
