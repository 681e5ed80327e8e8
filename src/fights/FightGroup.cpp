#include "FightGroup.h"

#include "FightCounts.h"
#include "model/RoundNumber.h"
#include "util/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace tarvik {

namespace {

void AddTypes(std::vector<TypeAmountText>& into, const std::vector<TypeAmountText>& from)
{
    for (const TypeAmountText& part : from) {
        const auto same = std::find_if(into.begin(), into.end(), [&](const TypeAmountText& t) {
            return t.damageType == part.damageType;
        });
        if (same == into.end())
            into.push_back(part);
        else
            same->amount += part.amount;
    }
}

void AddFrom(std::vector<std::pair<CharacterId, int64_t>>& into,
             const std::vector<std::pair<CharacterId, int64_t>>& from)
{
    for (const auto& part : from) {
        const CharacterId attacker = part.first;
        const auto same = std::find_if(into.begin(), into.end(),
                                       [&](const auto& known) { return known.first == attacker; });
        if (same == into.end())
            into.push_back(part);
        else
            same->second += part.second;
    }
}

double Percent(int64_t part, int64_t whole)
{
    return whole > 0 ? RoundNumber(static_cast<double>(part) * 100.0 / whole, 1) : 0;
}

// Control characters would end or garble the chat line.
std::string ChatText(const std::string& text)
{
    std::string clean;
    clean.reserve(text.size());
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f)
            clean += c;
    }
    return clean;
}

} // namespace

FightGroupSummary SummarizeFights(std::span<const Fight* const> fights, const Roster& roster)
{
    FightGroupSummary group;
    for (const Fight* fight : fights)
        group.seconds += fight->DurationSeconds();
    if (fights.size() == 1) {
        group.summary = SummarizeFight(*fights.front(), roster);
        group.name = group.summary.name;
        return group;
    }
    for (const Fight* fight : fights) {
        const FightSummary one = SummarizeFight(*fight, roster);
        group.summary.yourDamage += one.yourDamage;
        group.summary.partyDamage += one.partyDamage;
        group.summary.damageTakenBySide += one.damageTakenBySide;
        group.summary.sideDeaths += one.sideDeaths;
        group.summary.deaths += one.deaths;
    }
    group.summary.yourDps = PerSecond(group.summary.yourDamage, group.seconds);
    group.summary.partyDps = PerSecond(group.summary.partyDamage, group.seconds);
    group.name = std::to_string(fights.size()) + " fights";
    group.summary.name = group.name;
    return group;
}

std::vector<FightCharacterRow> FightCharacterRows(std::span<const Fight* const> fights,
                                                  const Roster& roster)
{
    if (fights.size() == 1)
        return FightCharacterRows(*fights.front(), roster);
    int64_t seconds = 0;
    std::vector<const Fight*> ordered(fights.begin(), fights.end());
    std::sort(ordered.begin(), ordered.end(),
              [](const Fight* a, const Fight* b) { return a->Index() < b->Index(); });
    std::vector<FightCharacterRow> rows;
    std::unordered_map<CharacterId, size_t> rowOf;
    for (const Fight* fight : ordered) {
        seconds += fight->DurationSeconds();
        for (FightCharacterRow& one : FightCharacterRows(*fight, roster)) {
            const auto [found, added] = rowOf.try_emplace(one.id, rows.size());
            if (added) {
                rows.push_back(std::move(one));
                continue;
            }
            FightCharacterRow& row = rows[found->second];
            AddFightCounts(row, one);
            row.activeSeconds += one.activeSeconds;
            row.takenSeconds += one.takenSeconds;
            AddTypes(row.dealtByType, one.dealtByType);
            AddTypes(row.takenByType, one.takenByType);
            AddFrom(row.damageFrom, one.damageFrom);
        }
    }
    for (FightCharacterRow& row : rows) {
        row.dps = PerSecond(row.damageDealt, seconds);
        row.activeDps = row.activeSeconds > 0 ? PerSecond(row.damageDealt, row.activeSeconds) : 0;
        row.hitPercent = row.attacks > 0 ? RoundNumber(row.hits * 100.0 / row.attacks, 1) : 0;
    }
    return rows;
}

std::string ChatSummaryLine(const FightGroupSummary& group,
                            const std::vector<FightCharacterRow>& rows, const Roster& roster)
{
    std::vector<const FightCharacterRow*> dealers;
    for (const FightCharacterRow& row : rows) {
        if (row.damageDealt > 0 && roster.OnYourSide(row.id))
            dealers.push_back(&row);
    }
    if (dealers.empty()) {
        for (const FightCharacterRow& row : rows) {
            if (row.damageDealt > 0)
                dealers.push_back(&row);
        }
    }
    int64_t total = 0;
    for (const FightCharacterRow* row : dealers)
        total += row->damageDealt;
    std::stable_sort(
        dealers.begin(), dealers.end(),
        [](const FightCharacterRow* a, const FightCharacterRow* b) { return a->dps > b->dps; });

    std::string line = ChatText(group.name) + " " + DurationText(group.seconds);
    if (line.size() > ChatLineLimit)
        line = ChatText(DurationText(group.seconds));
    for (const FightCharacterRow* row : dealers) {
        const int64_t share = std::llround(static_cast<double>(row->damageDealt) * 100.0 / total);
        const std::string part = " | " + ChatText(row->name) + " " + DpsText(row->dps) + " (" +
                                 std::to_string(share) + "%)";
        // The rest deal less: none of them is worth cutting a name for.
        if (line.size() + part.size() > ChatLineLimit)
            break;
        line += part;
    }
    return line;
}

std::optional<CharacterBreakdown> BreakdownOf(const std::vector<FightCharacterRow>& rows,
                                              CharacterId id, const Roster& roster)
{
    const auto found = std::find_if(rows.begin(), rows.end(),
                                    [&](const FightCharacterRow& row) { return row.id == id; });
    if (found == rows.end())
        return std::nullopt;
    const FightCharacterRow& row = *found;
    CharacterBreakdown b;
    b.id = row.id;
    b.name = row.name;
    b.side = row.side;
    b.attacks = row.attacks;
    b.hits = row.hits;
    b.hitPercent = Percent(row.hits, row.attacks);
    b.criticalHits = row.criticalHits;
    b.critPercent = Percent(row.criticalHits, row.hits);
    b.blows = row.blows;
    b.largestBlow = row.largestBlow;
    b.averageBlow =
        row.blows > 0 ? RoundNumber(static_cast<double>(row.damageDealt) / row.blows, 1) : 0;
    b.damageDealt = row.damageDealt;
    b.dps = row.dps;
    const bool yourSide = roster.OnYourSide(id);
    int64_t sideDamage = 0;
    for (const FightCharacterRow& other : rows) {
        if (roster.OnYourSide(other.id) == yourSide)
            sideDamage += other.damageDealt;
    }
    b.sideShare = Percent(row.damageDealt, sideDamage);
    b.dealtByType = row.dealtByType;
    b.damageTaken = row.damageTaken;
    b.takenBy = DamageByAttackerFrom(row.damageFrom, row.takenSeconds, roster);
    return b;
}

std::vector<BreakdownLine> BreakdownLines(const CharacterBreakdown& b)
{
    auto percent = [](double value) { return RoundedText(value, 1) + "%"; };
    std::vector<BreakdownLine> lines = {
        {"Attacks", FormatThousands(b.attacks), "Attack rolls made", false},
        {"Hits",
         FormatThousands(b.hits) + (b.attacks > 0 ? " (" + percent(b.hitPercent) + ")" : ""),
         "Attack rolls that hit, critical hits included; the share of all attack rolls", false},
        {"Critical hits",
         FormatThousands(b.criticalHits) + (b.hits > 0 ? " (" + percent(b.critPercent) + ")" : ""),
         "Critical hits; the share of all hits", false},
        {"Largest hit", FormatThousands(b.largestBlow),
         "The most damage one blow did, spells included", false},
        {"Average hit", b.blows > 0 ? RoundedText(b.averageBlow, 1) : "",
         "Average damage per blow that did damage, spells included", false},
        {"Damage", FormatThousands(b.damageDealt) + " (" + percent(b.sideShare) + " of its side)",
         "Damage dealt, and its share of what its side dealt", false},
        {"DPS", DpsText(b.dps), "Damage per second over the fight", false},
    };
    lines.push_back({"Damage by type", "", "Damage dealt by damage type", true});
    for (const TypeAmountText& type : b.dealtByType)
        lines.push_back({type.damageType, FormatThousands(type.amount), "", false});
    lines.push_back({"Damage taken by attacker", FormatThousands(b.damageTaken),
                     "Who did the damage it took", true});
    for (const AttackerDamageRow& attacker : b.takenBy.rows) {
        lines.push_back({attacker.name,
                         FormatThousands(attacker.damage) + " (" + percent(attacker.percent) +
                             "), " + DpsText(attacker.dps) + " DPS",
                         "", false});
    }
    return lines;
}

} // namespace tarvik
