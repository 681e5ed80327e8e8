#include "FollowStream.h"

#include "FightReport.h"
#include "analysis/Session.h"

#include <algorithm>
#include <functional>

namespace tarvik {

FollowStream::FollowStream(const Session& session, std::ostream& out, ReportSections sections)
    : session_(session)
    , out_(out)
    , sections_(sections)
{
}

void FollowStream::Print(const Json& line)
{
    out_ << line.dump() << '\n';
    out_.flush();
}

void FollowStream::AfterTick(DateTime now)
{
    const FightTracker& tracker = session_.Fights();
    const std::vector<Fight>& fights = tracker.Fights();
    const Roster roster = session_.FightRoster();
    const auto dropped = static_cast<size_t>(tracker.DroppedFights());
    const size_t total = dropped + fights.size();
    auto at = [&](size_t index) -> const Fight& { return fights[index - dropped]; };
    // Cleared data (a restart of the analysis) start the stream's places over.
    if (total < fightsEnded_ || total < deathFight_) {
        fightsEnded_ = 0;
        deathFight_ = 0;
        deathIndex_ = 0;
        printed_.clear();
    }
    // Fights dropped before they were printed are gone; go on from the oldest kept.
    if (deathFight_ < dropped) {
        deathFight_ = dropped;
        deathIndex_ = 0;
    }
    fightsEnded_ = std::max(fightsEnded_, dropped);
    std::erase_if(printed_, [&](const PrintedFight& printed) { return printed.index < dropped; });

    for (; deathFight_ < total; ++deathFight_, deathIndex_ = 0) {
        const auto& deaths = at(deathFight_).Deaths();
        for (; deathIndex_ < deaths.size(); ++deathIndex_) {
            // Only your side's deaths have recaps to show.
            if (!roster.OnYourSide(deaths[deathIndex_].victim))
                continue;
            Json line = {{"type", "death"}, {"fight", at(deathFight_).Number()}};
            line.update(RecapJson(deaths[deathIndex_], roster));
            Print(line);
        }
        if (deathFight_ + 1 == total)
            break; // the newest fight may have more deaths to come
    }

    // A fight printed as ended that took in late lines (its log was behind,
    // or lines of the same moment came after the next fight began) is printed
    // again once it has ended anew.
    for (PrintedFight& printed : printed_) {
        const Fight& fight = at(printed.index);
        if (fight.Revision() != printed.revision && !tracker.IsRunning(fight, now))
            PrintFight(fight, roster, printed);
    }
    for (; fightsEnded_ < total; ++fightsEnded_) {
        const Fight& fight = at(fightsEnded_);
        if (tracker.IsRunning(fight, now))
            break;
        PrintFight(fight, roster, printed_.emplace_back(PrintedFight{fightsEnded_, 0, 0}));
    }

    const Fight* running = tracker.RunningFight(now);
    const int64_t second = SecondOf(now);
    if (running && second != lastUpdateSecond_) {
        lastUpdateSecond_ = second;
        Json line = {{"type", "update"}, {"time", now.Format()}};
        line.update(FightUpdateJson(*running, roster));
        Print(line);
    }
}

void FollowStream::PrintFight(const Fight& fight, const Roster& roster, PrintedFight& printed)
{
    printed.revision = fight.Revision();
    Json line = {{"type", "fight"}};
    line.update(
        FightJson(fight, roster, sections_.targets ? &session_.Fights().EffectNames() : nullptr));
    const std::string text = line.dump();
    const size_t hash = std::hash<std::string>{}(text);
    if (hash == printed.text)
        return; // what changed does not show in the line
    printed.text = hash;
    out_ << text << '\n';
    out_.flush();
}

void FollowStream::Finish(const std::vector<std::string>& files,
                          const std::vector<std::string>& errorLines)
{
    WriteJsonDocument(out_, session_, files, errorLines, sections_, -1, {{"type", "summary"}});
    out_ << '\n';
    out_.flush();
}

} // namespace tarvik
