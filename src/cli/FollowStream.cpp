#include "FollowStream.h"

#include "FightReport.h"
#include "analysis/Session.h"

#include <algorithm>

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
    }
    // Fights dropped before they were printed are gone; go on from the oldest kept.
    if (deathFight_ < dropped) {
        deathFight_ = dropped;
        deathIndex_ = 0;
    }
    fightsEnded_ = std::max(fightsEnded_, dropped);

    for (; deathFight_ < total; ++deathFight_, deathIndex_ = 0) {
        const auto& deaths = at(deathFight_).Deaths();
        for (; deathIndex_ < deaths.size(); ++deathIndex_) {
            Json line = {{"type", "death"}, {"fight", at(deathFight_).Index() + 1}};
            line.update(RecapJson(deaths[deathIndex_], roster));
            Print(line);
        }
        if (deathFight_ + 1 == total)
            break; // the newest fight may have more deaths to come
    }

    // A fight printed as ended that went on after all (its log was late) is
    // printed again when it ends anew.
    if (fightsEnded_ > dropped && fightsEnded_ == total &&
        fights.back().EndSecond() != lastEndedSecond_ && !tracker.IsRunning(fights.back(), now))
        --fightsEnded_;
    for (; fightsEnded_ < total; ++fightsEnded_) {
        const Fight& fight = at(fightsEnded_);
        if (tracker.IsRunning(fight, now))
            break;
        Json line = {{"type", "fight"}};
        line.update(FightJson(fight, roster, sections_.targets ? &tracker.EffectNames() : nullptr));
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
