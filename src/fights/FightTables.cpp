#include "FightTables.h"

#include "model/RoundNumber.h"
#include "util/NumberFormat.h"

namespace tarvik {

namespace {

TableCell Count(int64_t value)
{
    return {FormatThousands(value), static_cast<double>(value)};
}

TableCell Dps(double value)
{
    return {DpsText(value), value};
}

TableCell Text(std::string text)
{
    return {std::move(text), std::nullopt};
}

} // namespace

std::vector<TableColumn> FightColumns()
{
    return {
        {"#", true, "The fights in the order they began"},
        {"Start", true, "When the first blow of the fight fell"},
        {"Duration", true, "From the first to the last blow"},
        {"Fight", false,
         "Named after the opponent your side hurt most; (+N) counts the other opponents"},
        {"Your DPS", true, "Your damage per second over the whole fight"},
        {"Party DPS", true,
         "Damage per second of your whole side together: you, party, allies and pets"},
        {"Taken", true, "Damage your side took"},
        {"Deaths", true, "Deaths on your side"},
    };
}

TableRow FightTableRow(const Fight& fight, const Roster& roster, bool running)
{
    const FightSummary summary = SummarizeFight(fight, roster);
    TableRow row;
    row.key = fight.Index().value();
    row.emphasized = running;
    row.cells = {
        Count(fight.Number()),
        {fight.Start().Format(), static_cast<double>(fight.StartSecond())},
        {DurationText(fight.DurationSeconds()), static_cast<double>(fight.DurationSeconds())},
        Text(running ? summary.name + "  - running" : summary.name),
        Dps(summary.yourDps),
        Dps(summary.partyDps),
        Count(summary.damageTakenBySide),
        Count(summary.sideDeaths),
    };
    return row;
}

std::vector<TableColumn> FightCharacterColumns()
{
    return {
        {"Name", false, ""},
        {"Side", false,
         "you, party (marked party members), ally, pet, enemy (fights your side) or unknown"},
        {"Damage", true, "Damage dealt in the fight"},
        {"DPS", true, "Damage per second over the whole fight"},
        {"Active DPS", true, "Damage per second from its first to its last blow"},
        {"Hit %", true, "Hits (critical hits included) per attack roll"},
        {"Crits", true, "Critical hits"},
        {"Taken", true, "Damage taken in the fight"},
        {"Healing", true, "Healing received"},
        {"Kills", true, ""},
        {"Deaths", true, ""},
    };
}

TableRow FightCharacterTableRow(const FightCharacterRow& character)
{
    TableRow row;
    row.key = character.id.value();
    row.emphasized = character.side == Side::You;
    const TableCell hit = character.attacks > 0 ? TableCell{RoundedText(character.hitPercent, 1),
                                                            character.hitPercent}
                                                : Text("");
    row.cells = {
        Text(character.name),
        Text(SideName(character.side)),
        Count(character.damageDealt),
        Dps(character.dps),
        Dps(character.activeDps),
        hit,
        Count(character.criticalHits),
        Count(character.damageTaken),
        Count(character.healingReceived),
        Count(character.kills),
        Count(character.deaths),
    };
    return row;
}

std::vector<TableColumn> TargetColumns(const Roster& roster)
{
    std::vector<TableColumn> columns = {
        {"Name", false, ""},
        {"AC", true,
         "Armour class from hits and misses (no touch attacks, no hits evaded by Epic Dodge, no "
         "natural 1 or 20): the range every roll agrees with, or the one the fewest rolls "
         "disagree with and how many do"},
        {"AB", true,
         "Attack bonus of its ordinary attacks: the highest, and each iterative attack 5 "
         "lower; the off hand where it differs"},
    };
    for (const std::string& save : roster.saveTypes)
        columns.push_back({save, true, "The best " + save + " save bonus seen"});
    columns.push_back(
        {roster.SaveTypeName(SaveTypeIndex::None()), true, "The best bonus of other saves seen"});
    // Texts, left-aligned, that still sort by a number.
    columns.push_back({"Immunities", false,
                       "Share of each damage type that immunity absorbed, as most of its hits "
                       "tell; sorts by the number of types"});
    columns.push_back({"Immune to", false,
                       "What the log says it is immune to (critical hits, sneak attacks, "
                       "effects); sorts by the number of them"});
    columns.push_back(
        {"Reductions", false, "Damage absorbed by resistance or reduction; sorts by the largest"});
    columns.push_back({"Damage taken", true, "Damage it took from everyone"});
    return columns;
}

TableRow TargetTableRow(const TargetRow& target, const Roster& roster)
{
    TableRow row;
    row.key = target.id.value();
    const std::optional<int32_t> acSort =
        target.acEstimateLow ? target.acEstimateLow : target.acEstimateHigh;
    // Built step by step: mingw's GCC warns of an optional read uninitialised
    // through the nested choice.
    std::optional<double> abSort;
    if (target.abLadder)
        abSort = target.abLadder->top;
    else if (target.offHandLadder)
        abSort = target.offHandLadder->top;
    row.cells = {
        Text(target.name),
        {target.ac, acSort ? std::optional<double>(*acSort) : std::nullopt},
        {target.ab, abSort},
    };
    const size_t saveTypes = roster.saveTypes.size();
    // The configured types, then "Other".
    for (size_t column = 0; column <= saveTypes; ++column) {
        const SaveTypeIndex type =
            column < saveTypes ? SaveTypeIndex::FromSlot(column) : SaveTypeIndex::None();
        TableCell cell = Text("");
        for (const SaveCell& save : target.saves) {
            if (save.saveType == type)
                cell = Count(save.best);
        }
        row.cells.push_back(std::move(cell));
    }
    row.cells.push_back(
        {target.immunitiesText, target.immunities.empty()
                                    ? std::nullopt
                                    : std::optional<double>(target.immunities.size())});
    row.cells.push_back(
        {target.specialText, target.specialImmunities.empty()
                                 ? std::nullopt
                                 : std::optional<double>(target.specialImmunities.size())});
    row.cells.push_back(
        {target.reductionsText, target.reductions.count > 0
                                    ? std::optional<double>(target.reductions.largest)
                                    : std::nullopt});
    row.cells.push_back(Count(target.damage.total));
    return row;
}

std::vector<TableColumn> AttackerDamageColumns()
{
    return {
        {"Attacker", false, ""},
        {"Side", false, "you, party (marked party members) or none"},
        {"Damage", true, "Damage it dealt to the target"},
        {"%", true, "Its share of all damage the target took"},
        {"DPS", true,
         "Its damage per second over the time the target took damage (in each fight from the "
         "first to the last blow it took)"},
    };
}

TableRow AttackerDamageTableRow(const AttackerDamageRow& attacker)
{
    TableRow row;
    row.key = attacker.id.value();
    row.emphasized = attacker.side == Side::You;
    row.cells = {
        Text(attacker.name),    Text(SideName(attacker.side)),
        Count(attacker.damage), {RoundedText(attacker.percent, 1), attacker.percent},
        Dps(attacker.dps),
    };
    return row;
}

} // namespace tarvik
