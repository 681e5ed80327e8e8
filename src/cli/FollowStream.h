#pragma once

#include "FightReport.h"
#include "Report.h"
#include "util/DateTime.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace tarvik {

class Session;

// What tarvik-cli --follow prints while the game writes its logs: one JSON
// object a line, each with a "type". The follower reads; this only looks at
// what the session holds after each of its ticks.
class FollowStream {
public:
    FollowStream(const Session& session, std::ostream& out, ReportSections sections);

    // After a tick: a "death" line for every new death on your side, a "fight" line
    // for every fight that ended and for every fight printed before that has
    // changed since (late lines), and an "update" line for the running fight
    // at most once a second.
    void AfterTick(DateTime now);
    // The last line, "summary": the document --json prints, for every line
    // read.
    void Finish(const std::vector<std::string>& files, const std::vector<std::string>& errorLines);

private:
    // A fight printed as ended, while it is kept.
    struct PrintedFight {
        size_t index = 0;
        uint64_t revision = 0;
        size_t text = 0; // hash of the line printed
    };
    void Print(const Json& line);
    // Prints the fight's line unless the same line was printed last.
    void PrintFight(const Fight& fight, const Roster& roster, PrintedFight& printed);

    const Session& session_;
    std::ostream& out_;
    ReportSections sections_;
    // By fight index, counting fights no longer kept.
    size_t fightsEnded_ = 0;            // fights before this one have been printed as ended
    std::vector<PrintedFight> printed_; // by index
    size_t deathFight_ = 0;             // where the next unprinted death recap is
    size_t deathIndex_ = 0;
    int64_t lastUpdateSecond_ = -1;
};

} // namespace tarvik
