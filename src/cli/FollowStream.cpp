#include "FollowStream.h"

#include "FightReport.h"
#include "analysis/Session.h"

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
    // Cleared data (a restart of the analysis) start the stream's places over.
    if (fights.size() < fightsEnded_ || fights.size() < deathFight_) {
        fightsEnded_ = 0;
        deathFight_ = 0;
        deathIndex_ = 0;
    }

    for (; deathFight_ < fights.size(); ++deathFight_, deathIndex_ = 0) {
        const auto& deaths = fights[deathFight_].Deaths();
        for (; deathIndex_ < deaths.size(); ++deathIndex_) {
            Json line = {{"type", "death"}, {"fight", fights[deathFight_].Index() + 1}};
            line.update(RecapJson(deaths[deathIndex_], roster));
            Print(line);
        }
        if (deathFight_ + 1 == fights.size())
            break; // the newest fight may have more deaths to come
    }

    // A fight printed as ended that went on after all (its log was late) is
    // printed again when it ends anew.
    if (fightsEnded_ > 0 && fightsEnded_ == fights.size() &&
        fights.back().EndSecond() != lastEndedSecond_ && !tracker.IsRunning(fights.back(), now))
        --fightsEnded_;
    for (; fightsEnded_ < fights.size(); ++fightsEnded_) {
        const Fight& fight = fights[fightsEnded_];
        if (tracker.IsRunning(fight, now))
            break;
        Json line = {{"type", "fight"}};
        line.update(FightJson(fight, roster, sections_.targets));
        Print(line);
        lastEndedSecond_ = fight.EndSecond();
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

void FollowStream::Finish(const std::vector<std::string>& files,
                          const std::vector<std::string>& errorLines)
{
    Json line = {{"type", "summary"}};
    line.update(JsonDocument(session_, files, errorLines, sections_));
    Print(line);
}

} // namespace tarvik
