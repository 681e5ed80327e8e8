#include "FightViews.h"

#include "CurrentFightRule.h"
#include "model/RoundNumber.h"
#include "util/NumberFormat.h"

#include <algorithm>

namespace tarvik {

namespace {

const std::string Unknown = "?";

// Targets are the enemies; while nobody is on your side, everybody.
bool ShownAsTarget(const Roster& roster, int32_t id, bool sideKnown)
{
    const Side side = roster.SideOf(id);
    return sideKnown ? side == Side::Enemy : !IsYourSide(side);
}

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
            result.push_back({roster.DamageTypeName(static_cast<int32_t>(t)), byType[t]});
    }
    return result;
}

std::string JoinTexts(const std::vector<std::string>& parts)
{
    std::string text;
    for (const auto& part : parts) {
        if (!text.empty())
            text += ", ";
        text += part;
    }
    return text;
}

std::optional<int32_t> ShownLow(const AcEvidence& ac)
{
    const auto low = ac.Low();
    const auto high = ac.High();
    return low && high && *low > *high ? high : low;
}

std::optional<int32_t> ShownHigh(const AcEvidence& ac)
{
    const auto low = ac.Low();
    const auto high = ac.High();
    return low && high && *low > *high ? low : high;
}

// The last fight's evidence, shown when the whole contradicts itself.
struct LastFightEvidence {
    const AcEvidence* ac = nullptr;
    std::vector<const ImmunityEvidence*> immunities;
};

TargetRow MakeTargetRow(int32_t id, const TargetStats& stats, const Roster& roster,
                        const LastFightEvidence* last)
{
    TargetRow row;
    row.id = id;
    row.name = roster.NameOf(id);
    row.side = roster.SideOf(id);

    const AcEvidence* lastFight = last ? last->ac : nullptr;
    row.ac = AcText(stats.ac, lastFight);
    const AcEvidence& shown =
        stats.ac.Contradicts() && lastFight && lastFight->rolls > 0 ? *lastFight : stats.ac;
    row.acLow = ShownLow(shown);
    row.acHigh = ShownHigh(shown);
    row.acRolls = stats.ac.rolls;

    row.abValue = stats.ab.Mode();
    row.abRolls = stats.ab.Rolls();
    row.ab = row.abValue ? std::to_string(*row.abValue) : Unknown;

    std::vector<std::string> parts;
    const int32_t saveBound = stats.saves.TypeBound();
    // Configured types first, in their order; unmatched ones last.
    for (int32_t type = 1; type < saveBound; ++type) {
        if (const auto best = stats.saves.Best(type)) {
            row.saves.push_back({type, roster.SaveTypeName(type), *best});
            parts.push_back(roster.SaveTypeName(type) + " " + std::to_string(*best));
        }
    }
    if (const auto other = stats.saves.Best(0)) {
        row.saves.push_back({0, roster.SaveTypeName(0), *other});
        parts.push_back(roster.SaveTypeName(0) + " " + std::to_string(*other));
    }
    row.savesText = JoinTexts(parts);

    parts.clear();
    for (size_t t = 0; t < stats.immunities.size(); ++t) {
        const ImmunityEvidence& evidence = stats.immunities[t];
        if (evidence.absorbs == 0)
            continue;
        const auto type = static_cast<int32_t>(t);
        ImmunityCell cell;
        cell.damageType = type;
        cell.name = roster.DamageTypeName(type);
        const ImmunityEvidence* lastImmunity =
            last && t < last->immunities.size() ? last->immunities[t] : nullptr;
        cell.text = ImmunityText(evidence, lastImmunity);
        cell.pairs = evidence.pairs;
        cell.absorbs = evidence.absorbs;
        cell.absorbed = evidence.absorbed;
        parts.push_back(cell.name + " " + cell.text);
        row.immunities.push_back(std::move(cell));
    }
    row.immunitiesText = JoinTexts(parts);

    row.reductions = stats.reductions;
    if (stats.reductions.count > 0) {
        row.reductionsText = FormatThousands(stats.reductions.count) + " absorbs, largest " +
                             FormatThousands(stats.reductions.largest) + ", average " +
                             RoundedText(stats.reductions.Average(), 1);
    }
    return row;
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
    if (haveYou || haveParty)
        finish(ChartLineKind::Taken, "Damage taken", std::move(taken));
    return chart;
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

std::vector<TargetRow> TargetRows(const FightTracker& tracker, const Roster& roster)
{
    // The whole analysis is every fight merged, in order (those no longer
    // kept first), and what came outside fights.
    struct Merged {
        TargetStats stats;
        LastFightEvidence last;
    };
    std::vector<Merged> merged;
    auto entry = [&](int32_t id) -> Merged& {
        if (static_cast<size_t>(id) >= merged.size())
            merged.resize(static_cast<size_t>(id) + 1);
        return merged[static_cast<size_t>(id)];
    };
    for (int32_t id = 1; id <= tracker.TrackBound(); ++id) {
        const FightTracker::EarlierFights* earlier = tracker.Earlier(id);
        if (!earlier)
            continue;
        Merged& m = entry(id);
        m.stats.Merge(earlier->stats);
        if (earlier->lastAc.rolls > 0)
            m.last.ac = &earlier->lastAc;
        m.last.immunities.resize(earlier->lastImmunities.size(), nullptr);
        for (size_t t = 0; t < earlier->lastImmunities.size(); ++t) {
            if (earlier->lastImmunities[t].pairs > 0)
                m.last.immunities[t] = &earlier->lastImmunities[t];
        }
    }
    for (const Fight& fight : tracker.Fights()) {
        for (const FightCharacter& c : fight.Characters()) {
            if (c.id < 1 || c.target.Empty())
                continue;
            Merged& m = entry(c.id);
            m.stats.Merge(c.target);
            if (c.target.ac.rolls > 0)
                m.last.ac = &c.target.ac;
            if (m.last.immunities.size() < c.target.immunities.size())
                m.last.immunities.resize(c.target.immunities.size(), nullptr);
            for (size_t t = 0; t < c.target.immunities.size(); ++t) {
                if (c.target.immunities[t].pairs > 0)
                    m.last.immunities[t] = &c.target.immunities[t];
            }
        }
    }
    for (int32_t id = 1; id <= tracker.TrackBound(); ++id) {
        if (const TargetStats* outside = tracker.OutsideFights(id))
            entry(id).stats.Merge(*outside);
    }
    std::vector<TargetRow> rows;
    const bool sideKnown = roster.AnyOnYourSide();
    for (size_t id = 1; id < merged.size(); ++id) {
        const auto characterId = static_cast<int32_t>(id);
        if (merged[id].stats.Empty() || !ShownAsTarget(roster, characterId, sideKnown))
            continue;
        rows.push_back(MakeTargetRow(characterId, merged[id].stats, roster, &merged[id].last));
    }
    return rows;
}

std::vector<TargetRow> FightTargetRows(const Fight& fight, const Roster& roster)
{
    std::vector<const FightCharacter*> order;
    const bool sideKnown = roster.AnyOnYourSide();
    for (const FightCharacter& c : fight.Characters()) {
        if (!c.target.Empty() && ShownAsTarget(roster, c.id, sideKnown))
            order.push_back(&c);
    }
    std::stable_sort(
        order.begin(), order.end(),
        [](const FightCharacter* a, const FightCharacter* b) { return a->id < b->id; });
    std::vector<TargetRow> rows;
    for (const FightCharacter* c : order)
        rows.push_back(MakeTargetRow(c->id, c->target, roster, nullptr));
    return rows;
}

} // namespace tarvik
