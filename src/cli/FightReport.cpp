#include "FightReport.h"

#include "TableText.h"
#include "analysis/Session.h"
#include "model/RoundNumber.h"
#include "report/ReportText.h"
#include "util/Encoding.h"
#include "util/NumberFormat.h"

#include <algorithm>

namespace tarvik {

std::string FightsText(const Session& session)
{
    const Roster roster = session.FightRoster();
    const auto& fights = session.Fights().Fights();
    std::string text = "== Fights ==\n";
    if (fights.empty())
        return text + "  No fights.\n";
    std::vector<std::vector<std::string>> table = {
        {"#", "Start", "Duration", "Name", "Your DPS", "Party DPS", "Taken", "Deaths"}};
    for (const Fight& fight : fights) {
        const FightSummary summary = SummarizeFight(fight, roster);
        table.push_back({std::to_string(fight.Number()), fight.Start().Format(),
                         DurationText(fight.DurationSeconds()), TerminalText(summary.name),
                         DpsText(summary.yourDps), DpsText(summary.partyDps),
                         FormatThousands(summary.damageTakenBySide),
                         FormatThousands(summary.sideDeaths)});
    }
    text += TableText(table);
    if (const int32_t dropped = session.Fights().DroppedFights())
        text += "  (The " + FormatThousands(dropped) + " oldest fights are no longer kept.)\n";
    for (const Fight& fight : fights) {
        const FightSummary summary = SummarizeFight(fight, roster);
        text += "\n== Fight " + std::to_string(fight.Number()) + ": " + TerminalText(summary.name) +
                ", " + fight.Start().Format() + ", " + DurationText(fight.DurationSeconds()) +
                " ==\n";
        std::vector<std::vector<std::string>> rows = {{"Name", "Side", "Damage", "DPS",
                                                       "Active DPS", "Hit %", "Crits", "Taken",
                                                       "Healing", "Kills", "Deaths"}};
        for (const FightCharacterRow& row : FightCharacterRows(fight, roster)) {
            rows.push_back({TerminalText(row.name), SideName(row.side),
                            FormatThousands(row.damageDealt), DpsText(row.dps),
                            DpsText(row.activeDps), RoundedText(row.hitPercent, 1),
                            FormatThousands(row.criticalHits), FormatThousands(row.damageTaken),
                            FormatThousands(row.healingReceived), FormatThousands(row.kills),
                            FormatThousands(row.deaths)});
        }
        text += TableText(rows);
        for (const DeathRecap* recap : ShownDeaths(fight, roster)) {
            const RecapView view = BuildRecap(*recap, roster);
            text += "  Death of " + TerminalText(view.victim) + " at " + view.time +
                    ", killed by " + TerminalText(view.killer) + ":\n";
            if (view.lines.empty())
                text += "    (nothing in the " + std::to_string(session.Fights().RecapSeconds()) +
                        " s before)\n";
            for (const RecapLine& line : view.lines) {
                // Right-aligned, so that the times line up: "-28 s", "  0 s".
                std::string before = std::string(line.secondsBefore > 0 ? "-" : "") +
                                     std::to_string(line.secondsBefore) + " s";
                if (before.size() < 5)
                    before.insert(0, 5 - before.size(), ' ');
                text += "    " + before + "  " + line.time + "  " + TerminalText(line.text) + "\n";
            }
            if (!view.byAttacker.empty())
                text += "    " + TerminalText(RecapAttackersText(view)) + "\n";
        }
    }
    return text;
}

namespace {

// A table without the columns (after the first three) that no row fills.
std::vector<std::vector<std::string>>
WithoutEmptyColumns(std::vector<std::vector<std::string>> table)
{
    if (table.empty())
        return table;
    for (size_t c = table.front().size(); c-- > 3;) {
        const bool empty = std::all_of(table.begin() + 1, table.end(),
                                       [c](const auto& row) { return row[c].empty(); });
        if (!empty)
            continue;
        for (auto& row : table)
            row.erase(row.begin() + static_cast<std::ptrdiff_t>(c));
    }
    return table;
}

std::string ImmunitiesText(const TargetRow& row)
{
    std::string text;
    for (const ImmunityCell& cell : row.immunities) {
        if (!text.empty())
            text += ", ";
        text += cell.name + " " + cell.text;
        std::string attackers;
        for (const AttackerImmunity& attacker : cell.byAttacker)
            attackers += (attackers.empty() ? "" : ", ") + attacker.name + " " + attacker.text;
        if (!attackers.empty())
            text += " [by attacker: " + attackers + "]";
    }
    return text;
}

} // namespace

std::string TargetsText(const Session& session)
{
    const std::vector<TargetRow> rows = TargetRows(session.Fights(), session.FightRoster());
    std::string text = "== Targets ==\n";
    if (rows.empty())
        return text + "  No targets.\n";
    std::vector<std::vector<std::string>> table = {{"Name", "AC", "AB", "Touch AC", "Evaded",
                                                    "Saves", "Immunities", "Immune to",
                                                    "Resistance and reduction", "Damage taken"}};
    for (const TargetRow& row : rows) {
        table.push_back(
            {TerminalText(row.name), row.ac, row.ab, row.touchAcRolls > 0 ? row.touchAc : "",
             row.evaded > 0 ? FormatThousands(row.evaded) : "", TerminalText(row.savesText),
             TerminalText(ImmunitiesText(row)), TerminalText(row.specialText), row.reductionsText,
             row.damage.total > 0 ? FormatThousands(row.damage.total) : ""});
    }
    text += TableText(WithoutEmptyColumns(std::move(table)));
    for (const TargetRow& row : rows) {
        if (row.damage.rows.empty())
            continue;
        text += "\n== Damage taken by " + TerminalText(row.name) + ": " +
                FormatThousands(row.damage.total) + " over " + DurationText(row.damage.seconds) +
                " ==\n";
        std::vector<std::vector<std::string>> attackers = {
            {"Attacker", "Side", "Damage", "%", "DPS"}};
        for (const AttackerDamageRow& attacker : row.damage.rows) {
            attackers.push_back({TerminalText(attacker.name), SideName(attacker.side),
                                 FormatThousands(attacker.damage), RoundedText(attacker.percent, 1),
                                 DpsText(attacker.dps)});
        }
        text += TableText(attackers);
    }
    return text;
}

} // namespace tarvik
