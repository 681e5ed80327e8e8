#include "Report.h"

#include "FightReport.h"
#include "analysis/Session.h"
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
        width = std::max(width, row.empty() ? 0 : DisplayText(row[0]).size());
    std::string text;
    for (const auto& row : grid.cells) {
        std::string label = row.empty() ? std::string() : DisplayText(row[0]);
        label.resize(std::max(width, label.size()), ' ');
        text += "  " + label;
        for (size_t i = 1; i < row.size(); ++i)
            text += "  " + DisplayText(row[i]);
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        text += "\n";
    }
    return text;
}

std::string TextReport(const Session& session, const DriverResult& result,
                       const ReportSections& sections)
{
    std::string text = SummaryText(session.Data(), result.filesAnalyzed, result.elapsedMs) + "\n";
    if (const std::string user = UserCharacterText(session.Data()); !user.empty())
        text += DisplayText(user) + "\n";
    text += "\n" + Section("Session Statistics");
    text += GridText(BuildSessionStatistics(session));
    const AnalysisData& data = session.Data();
    const Roster roster = session.FightRoster();
    for (const auto& character : data.characters) {
        if (!character->HasRecords())
            continue; // named by a line that was then discarded
        std::string title = DisplayText(character->Name());
        if (const Side side = roster.SideOf(character->ID()); IsYourSide(side))
            title += std::string(" (") + SideName(side) + ")";
        text += "\n" + Section(title);
        text += GridText(BuildGeneralInfo(session, *character));
    }
    if (sections.fights)
        text += "\n" + FightsText(session);
    if (sections.targets)
        text += "\n" + TargetsText(session);
    return text;
}

} // namespace tarvik
