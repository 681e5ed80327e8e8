#include "Report.h"

#include "FightReport.h"
#include "analysis/Session.h"
#include "fights/TargetViews.h"
#include "ui/DetailViews.h"
#include "ui/SessionStatistics.h"
#include "ui/StatusTexts.h"
#include "util/Encoding.h"

#include <algorithm>

namespace tarvik {

namespace {

std::string Section(const std::string& title)
{
    return "== " + title + " ==\n";
}

} // namespace

std::string GridText(const DetailGrid& grid)
{
    size_t width = 0;
    for (const auto& row : grid.cells)
        width = std::max(width, row.empty() ? 0 : TerminalText(row[0]).size());
    std::string text;
    for (const auto& row : grid.cells) {
        std::string label = row.empty() ? std::string() : TerminalText(row[0]);
        label.resize(std::max(width, label.size()), ' ');
        text += "  " + label;
        for (size_t i = 1; i < row.size(); ++i)
            text += "  " + TerminalText(row[i]);
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        text += "\n";
    }
    return text;
}

void TextReport(std::ostream& out, const Session& session, const DriverResult& result,
                const ReportSections& sections)
{
    out << SummaryText(session.Data(), result.filesAnalyzed, result.elapsedMs) << "\n";
    if (const std::string user = UserCharacterText(session.Data()); !user.empty())
        out << TerminalText(user) << "\n";
    out << "\n" << Section("Session Statistics");
    out << GridText(BuildSessionStatistics(session));
    const AnalysisData& data = session.Data();
    // Spell resistance checks are written for the log's owner only.
    const SpellResultsById spellResults = SpellResultsByCharacter(session.Fights());
    const Roster roster = session.FightRoster();
    // One character at a time: the report is never held whole.
    for (const auto& character : data.characters) {
        if (!character->HasRecords())
            continue; // named by a line that was then discarded
        std::string title = TerminalText(character->Name());
        if (const Side side = roster.SideOf(character->ID()); IsYourSide(side))
            title += std::string(" (") + SideName(side) + ")";
        out << "\n"
            << Section(title) << GridText(BuildGeneralInfo(session, *character, &spellResults));
    }
    if (sections.fights)
        out << "\n" << FightsText(session);
    if (sections.targets)
        out << "\n" << TargetsText(session);
}

} // namespace tarvik
