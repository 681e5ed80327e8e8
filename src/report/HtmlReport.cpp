#include "HtmlReport.h"

#include "DpsChartSvg.h"
#include "Html.h"
#include "ReportText.h"
#include "analysis/Session.h"
#include "fights/FightGroup.h"
#include "fights/FightViews.h"
#include "fights/TargetViews.h"
#include "model/RoundNumber.h"
#include "ui/SessionStatistics.h"
#include "util/Encoding.h"
#include "util/NumberFormat.h"

#include <algorithm>

namespace tarvik {

namespace {

const char* const Style = R"(body { font-family: sans-serif; margin: 1.5em; color: #222; }
h1 { margin-bottom: 0.2em; }
h2 { border-bottom: 2px solid #888; padding-bottom: 0.1em; margin-top: 1.6em; }
h3 { margin-top: 1.4em; }
table { border-collapse: collapse; margin: 0.5em 0; }
th, td { border: 1px solid #ccc; padding: 0.2em 0.6em; text-align: left; }
td { white-space: nowrap; vertical-align: top; }
details.target-damage { margin: 0.3em 0; }
th { background: #eee; }
td.num { text-align: right; font-variant-numeric: tabular-nums; }
tr.you td { background: #e8f0fb; }
tr.party td, tr.ally td, tr.pet td { background: #eaf6ea; }
.recap { margin: 0.6em 0 1em 0; }
.note { color: #666; }
svg.chart { border: 1px solid #ccc; display: block; margin: 0.5em 0; }
nav a { margin-right: 1em; }
)";

std::string Text(const std::string& bytes)
{
    return HtmlEscape(DisplayText(bytes));
}

std::string Cell(const std::string& escaped, bool number = false)
{
    return std::string(number ? "<td class=\"num\">" : "<td>") + escaped + "</td>";
}

std::string Number(int64_t value)
{
    return Cell(FormatThousands(value), true);
}

std::string HeaderRow(std::initializer_list<const char*> names)
{
    std::string row = "<tr>";
    for (const char* name : names)
        row += std::string("<th>") + name + "</th>";
    return row + "</tr>\n";
}

std::string RowStart(Side side)
{
    return IsYourSide(side) ? std::string("<tr class=\"") + SideName(side) + "\">"
                            : std::string("<tr>");
}

// The window's words: an enemy is "enemy", not a blank.
std::string SideText(Side side)
{
    return SideName(side);
}

std::string SessionSection(const Session& session)
{
    std::string html = "<h2 id=\"session\">Session statistics</h2>\n<table class=\"session\">\n";
    for (const auto& row : BuildSessionStatistics(session).cells) {
        html += "<tr>";
        for (size_t i = 0; i < row.size(); ++i)
            html += i == 0 ? "<th>" + Text(row[i]) + "</th>" : Cell(Text(row[i]));
        html += "</tr>\n";
    }
    return html + "</table>\n";
}

std::string FightsSection(const Session& session, const Roster& roster)
{
    std::string html = "<h2 id=\"fights\">Fights</h2>\n";
    const auto& fights = session.Fights().Fights();
    if (fights.empty())
        return html + "<p class=\"note\">No fights.</p>\n";
    html += "<table class=\"fights\">\n";
    html += HeaderRow({"#", "Start", "Duration", "Name", "Your DPS", "Party DPS",
                       "Damage taken by your side", "Deaths on your side"});
    for (const Fight& fight : fights) {
        const FightSummary summary = SummarizeFight(fight, roster);
        const std::string number = std::to_string(fight.Number());
        html += "<tr>" + Cell(number, true) + Cell(fight.Start().Format()) +
                Cell(DurationText(fight.DurationSeconds()), true) +
                Cell("<a href=\"#fight-" + number + "\">" + Text(summary.name) + "</a>") +
                Cell(DpsText(summary.yourDps), true) + Cell(DpsText(summary.partyDps), true) +
                Number(summary.damageTakenBySide) + Number(summary.sideDeaths) + "</tr>\n";
    }
    return html + "</table>\n";
}

std::string CharactersSection(const Session& session, const Roster& roster)
{
    const AnalysisData& data = session.Data();
    std::string html = "<h2 id=\"characters\">Characters</h2>\n";
    if (data.characters.Count() == 0)
        return html + "<p class=\"note\">No characters.</p>\n";
    html += "<table class=\"characters\">\n";
    html += HeaderRow({"Name", "Side", "Attacks", "Hit %", "Damage dealt", "Damage received",
                       "Kills", "Deaths", "Healed", "Saves", "Saves made", "Spells"});
    for (const auto& character : data.characters) {
        const Character& c = *character;
        if (!c.HasRecords())
            continue; // named by a line that was then discarded
        const Side side = roster.SideOf(c.ID());
        const double hitPercent =
            c.Attacks() > 0 ? 100.0 * c.AttackHits() / static_cast<double>(c.Attacks()) : 0;
        html += RowStart(side) + Cell(Text(c.Name())) + Cell(SideText(side)) + Number(c.Attacks()) +
                Cell(RoundedText(hitPercent, 1), true) + Number(c.DamageDealt()) +
                Number(c.DamageReceived()) + Number(c.Kills()) + Number(c.Deaths()) +
                Number(c.HPsHealed()) + Number(c.SaveAttempts()) + Number(c.SaveSuccesses()) +
                Number(c.Spells()) + "</tr>\n";
    }
    html += "</table>\n";
    for (const auto& [id, lines] : SpellResultsByCharacter(session.Fights())) {
        html += "<p class=\"spell-resists\">Spell resistance of " + Text(roster.NameOf(id)) + ": " +
                Text(SpellResultsText(lines)) + "</p>\n";
    }
    return html;
}

std::string ImmunitiesHtml(const TargetRow& row)
{
    std::string html;
    for (const ImmunityCell& cell : row.immunities) {
        if (!html.empty())
            html += "<br/>";
        html += Text(cell.name + " " + cell.text);
        std::string attackers;
        for (const AttackerImmunity& attacker : cell.byAttacker)
            attackers += (attackers.empty() ? "" : ", ") + attacker.name + " " + attacker.text;
        if (!attackers.empty())
            html += "<br/>&#160;&#160;" + Text("by attacker: " + attackers);
    }
    return html;
}

std::string TargetsTable(const std::vector<TargetRow>& rows)
{
    std::string html = "<table class=\"targets\">\n";
    html += HeaderRow({"Name", "AC", "Touch AC", "Evaded", "AB", "Saves", "Immunities", "Immune to",
                       "Resistance and reduction", "Damage taken"});
    for (const TargetRow& row : rows) {
        html += "<tr>" + Cell(Text(row.name)) + Cell(HtmlEscape(row.ac), true) +
                Cell(row.touchAcRolls > 0 ? HtmlEscape(row.touchAc) : std::string(), true) +
                Cell(row.evaded > 0 ? FormatThousands(row.evaded) : std::string(), true) +
                Cell(HtmlEscape(row.ab), true) + Cell(Text(row.savesText)) +
                Cell(ImmunitiesHtml(row)) + Cell(Text(row.specialText)) +
                Cell(HtmlEscape(row.reductionsText)) + Number(row.damage.total) + "</tr>\n";
    }
    return html + "</table>\n";
}

// Who dealt the damage a target took, one folded table per target.
std::string DamageByAttackerHtml(const std::vector<TargetRow>& rows)
{
    std::string html;
    for (const TargetRow& row : rows) {
        if (row.damage.rows.empty())
            continue;
        html += "<details class=\"target-damage\"><summary>" + Text(row.name) + ": " +
                FormatThousands(row.damage.total) + " damage taken over " +
                DurationText(row.damage.seconds) +
                "</summary>\n<table class=\"damage-by-attacker\">\n";
        html += HeaderRow({"Attacker", "Side", "Damage", "%", "DPS"});
        for (const AttackerDamageRow& attacker : row.damage.rows) {
            html += RowStart(attacker.side) + Cell(Text(attacker.name)) +
                    Cell(SideText(attacker.side)) + Number(attacker.damage) +
                    Cell(RoundedText(attacker.percent, 1), true) +
                    Cell(DpsText(attacker.dps), true) + "</tr>\n";
        }
        html += "</table>\n</details>\n";
    }
    return html;
}

std::string TargetsSection(const Session& session, const Roster& roster)
{
    std::string html = "<h2 id=\"targets\">Targets</h2>\n";
    const std::vector<TargetRow> rows = TargetRows(session.Fights(), roster);
    if (rows.empty())
        return html + "<p class=\"note\">No targets.</p>\n";
    html += TargetsTable(rows);
    const std::string damage = DamageByAttackerHtml(rows);
    if (!damage.empty())
        html += "<h3>Damage taken by attacker</h3>\n" + damage;
    return html;
}

std::string RecapHtml(const DeathRecap& recap, const Roster& roster)
{
    const RecapView view = BuildRecap(recap, roster);
    std::string html = "<div class=\"recap\">\n<h4>Death of " + Text(view.victim) + " at " +
                       HtmlEscape(view.time) + ", killed by " + Text(view.killer) + "</h4>\n";
    if (view.lines.empty())
        return html + "<p class=\"note\">Nothing in the seconds before.</p>\n</div>\n";
    html += "<table class=\"recap-events\">\n" + HeaderRow({"Before", "Time", "Event"});
    for (const RecapLine& line : view.lines) {
        html +=
            "<tr>" +
            Cell((line.secondsBefore > 0 ? "-" : "") + std::to_string(line.secondsBefore) + " s",
                 true) +
            Cell(HtmlEscape(line.time)) + Cell(Text(line.text)) + "</tr>\n";
    }
    html += "</table>\n";
    if (!view.byAttacker.empty()) {
        html += "<table class=\"recap-attackers\">\n" +
                HeaderRow({"Attacker", "Damage", "Blows", "Largest"});
        for (const RecapAttacker& attacker : view.byAttacker) {
            html += "<tr>" + Cell(Text(attacker.name)) + Number(attacker.damage) +
                    Number(attacker.blows) + Number(attacker.largest) + "</tr>\n";
        }
        html += "</table>\n";
    }
    return html + "</div>\n";
}

std::string FightDetail(const Fight& fight, const Roster& roster)
{
    const FightSummary summary = SummarizeFight(fight, roster);
    const std::string number = std::to_string(fight.Number());
    std::string html = "<section class=\"fight\" id=\"fight-" + number + "\">\n<h3>Fight " +
                       number + ": " + Text(summary.name) + "</h3>\n";
    html += "<p>" + HtmlEscape(fight.Start().Format()) + " to " + HtmlEscape(fight.End().Format()) +
            ", " + DurationText(fight.DurationSeconds()) + ". Your DPS " +
            DpsText(summary.yourDps) + ", party DPS " + DpsText(summary.partyDps) + ".</p>\n";
    html += DpsChartSvg(BuildDpsChart(fight, roster)) + "\n";
    html += "<table class=\"fight-characters\">\n";
    html += HeaderRow({"Name", "Side", "Damage", "Share of side", "DPS", "Active DPS", "Hit %",
                       "Crits", "Crit %", "Largest hit", "Average hit", "Damage taken",
                       "Damage taken by attacker", "Healing", "Kills", "Deaths"});
    std::vector<FightCharacterRow> rows = FightCharacterRows(fight, roster);
    std::vector<std::pair<const FightCharacterRow*, CharacterBreakdown>> shown;
    for (const FightCharacterRow& row : rows)
        shown.emplace_back(&row, *BreakdownOf(rows, row.id, roster));
    // Most damage first, as the window sorts them.
    std::stable_sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) {
        return a.first->damageDealt > b.first->damageDealt;
    });
    for (const auto& [row, breakdown] : shown) {
        std::string takenBy;
        for (const AttackerDamageRow& attacker : breakdown.takenBy.rows) {
            takenBy += (takenBy.empty() ? "" : ", ") + Text(attacker.name) + " " +
                       FormatThousands(attacker.damage) + " (" + RoundedText(attacker.percent, 1) +
                       "%)";
        }
        html += RowStart(row->side) + Cell(Text(row->name)) + Cell(SideText(row->side)) +
                Number(row->damageDealt) + Cell(RoundedText(breakdown.sideShare, 1) + "%", true) +
                Cell(DpsText(row->dps), true) + Cell(DpsText(row->activeDps), true) +
                Cell(RoundedText(row->hitPercent, 1), true) + Number(row->criticalHits) +
                Cell(RoundedText(breakdown.critPercent, 1), true) + Number(row->largestBlow) +
                Cell(RoundedText(breakdown.averageBlow, 1), true) + Number(row->damageTaken) +
                Cell(takenBy) + Number(row->healingReceived) + Number(row->kills) +
                Number(row->deaths) + "</tr>\n";
    }
    html += "</table>\n";
    for (const DeathRecap* recap : ShownDeaths(fight, roster))
        html += RecapHtml(*recap, roster);
    return html + "</section>\n";
}

} // namespace

std::string HtmlReport(const Session& session, const std::vector<std::string>& files,
                       const std::vector<std::string>& errorLines)
{
    const AnalysisData& data = session.Data();
    const Roster roster = session.FightRoster();
    std::string html = "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" "
                       "lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n";
    html += "<title>Tarvik report</title>\n<style>\n" + std::string(Style) + "</style>\n";
    html += "</head>\n<body>\n<h1>Tarvik report</h1>\n";

    std::string logs;
    for (const auto& file : files)
        logs += (logs.empty() ? "" : ", ") + Text(file);
    html += "<p class=\"summary\">Logs: " + (logs.empty() ? std::string("none") : logs) + ". ";
    if (data.HasRecordDates())
        html += "From " + HtmlEscape(data.earliestRecordDate.Format()) + " to " +
                HtmlEscape(data.latestRecordDate.Format()) + ". ";
    html += FormatThousands(data.linesRead) + " lines read, " +
            FormatThousands(static_cast<int64_t>(errorLines.size())) + " could not be used.</p>\n";
    html += "<nav><a href=\"#session\">Session statistics</a><a href=\"#fights\">Fights</a>"
            "<a href=\"#characters\">Characters</a><a href=\"#targets\">Targets</a>"
            "<a href=\"#fight-details\">Fight details</a></nav>\n";

    html += SessionSection(session);
    html += FightsSection(session, roster);
    html += CharactersSection(session, roster);
    html += TargetsSection(session, roster);
    html += "<h2 id=\"fight-details\">Fight details</h2>\n";
    const auto& fights = session.Fights().Fights();
    if (fights.empty())
        html += "<p class=\"note\">No fights.</p>\n";
    for (const Fight& fight : fights)
        html += FightDetail(fight, roster);
    html += "</body>\n</html>\n";
    return html;
}

} // namespace tarvik
