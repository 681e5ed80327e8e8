#include "CsvTable.h"

#include "analysis/Session.h"
#include "fights/FightViews.h"
#include "util/Encoding.h"

namespace tarvik {

std::string CsvField(std::string_view text)
{
    std::string field;
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
        field += '\'';
    field += text;
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string CsvRows(const std::vector<std::vector<std::string>>& rows)
{
    std::string csv;
    for (const auto& row : rows) {
        for (size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                csv += ',';
            csv += row[i];
        }
        csv += "\r\n";
    }
    return csv;
}

std::string FightsCsv(const Session& session)
{
    const Roster roster = session.FightRoster();
    std::vector<std::vector<std::string>> rows = {
        {"Number", "Start", "End", "Duration (s)", "Name", "Your damage", "Your DPS",
         "Party damage", "Party DPS", "Damage taken by your side", "Deaths on your side"}};
    for (const Fight& fight : session.Fights().Fights()) {
        const FightSummary summary = SummarizeFight(fight, roster);
        rows.push_back({std::to_string(fight.Number()), CsvField(fight.Start().Format()),
                        CsvField(fight.End().Format()), std::to_string(fight.DurationSeconds()),
                        CsvField(DisplayText(summary.name)), std::to_string(summary.yourDamage),
                        DpsText(summary.yourDps), std::to_string(summary.partyDamage),
                        DpsText(summary.partyDps), std::to_string(summary.damageTakenBySide),
                        std::to_string(summary.sideDeaths)});
    }
    return CsvRows(rows);
}

} // namespace tarvik
