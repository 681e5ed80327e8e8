#include "monitor/LogFollower.h"

#include "LogFolder.h"
#include "analysis/LogReader.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "util/Clock.h"
#include "util/FileUtil.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {
namespace {

using Lines = std::vector<std::string>;

// Drives a follower whose reads only note the lines they take, each as
// "file: line"; the reading itself is the analysis's own line reader.
class LogFollowerTest : public ::testing::Test {
protected:
    LogFollowerTest()
    {
        debug.SetLevel(4);
        LogFollowerHooks hooks;
        hooks.analyzeLog = [this](const std::string& path, int64_t& position) {
            return Read(path, position);
        };
        hooks.monitoringEnabled = [this] { return monitoring; };
        hooks.takeDetailChange = [this] {
            ++detailQuestions;
            return detailChanged;
        };
        follower = std::make_unique<LogFollower>(state, std::move(hooks), debug, clock);
    }

    TickResult Tick(bool paused = false) { return follower->Tick({folder, mask, paused, true}); }

    bool Read(const std::string& path, int64_t& position)
    {
        const std::string name = GetFileName(path);
        if (name == failingLog) {
            monitoring = false; // what a serious error does
            return false;
        }
        LogReader reader;
        reader.SetHoldPartialLastLine(true);
        if (reader.Open(path, position))
            return false;
        bool any = false;
        std::string_view line;
        while (reader.NextLine(line)) {
            linesRead.push_back(name + ": " + std::string(line));
            any = true;
        }
        position = reader.NextPosition();
        return any;
    }

    // The lines read since the last call.
    Lines TakeRead() { return std::exchange(linesRead, {}); }

    bool Logged(const std::string& text) const
    {
        std::string contents;
        ReadWholeFile(logFile.FileName(), contents);
        return contents.find(text) != std::string::npos;
    }

    test::LogFolder logs;
    test::TempDir debugDir;
    ManualClock clock;
    ErrObject lastError;
    LogFile logFile{clock, lastError, debugDir.Path(), "Tarvik_debug"};
    DebugLog debug{logFile};
    MonitorPosition state;
    std::string folder = logs.Path();
    std::string mask = "nwclientLog*.txt";
    bool monitoring = true;
    bool detailChanged = false;
    int detailQuestions = 0;
    std::string failingLog;
    Lines linesRead;
    std::unique_ptr<LogFollower> follower;
};

TEST_F(LogFollowerTest, UpwardNumberedLogsAreReadInOrderAndTheNewestIsFollowed)
{
    logs.Write("nwclientLog1.txt", "1a\r\n", 30);
    logs.Write("nwclientLog2.txt", "2a\r\n", 20);
    logs.Write("nwclientLog3.txt", "3a\r\n3b\r\n", 10);
    logs.Write("nwengineLog.txt", "engine\r\n");

    const TickResult first = Tick();
    EXPECT_EQ(TakeRead(), (Lines{"nwclientLog1.txt: 1a", "nwclientLog2.txt: 2a",
                                 "nwclientLog3.txt: 3a", "nwclientLog3.txt: 3b"}));
    EXPECT_EQ(first.outcome, TickOutcome::NewData);
    EXPECT_EQ(first.messages.front(), "Reading new log file nwclientLog1.txt...");
    EXPECT_EQ(first.Message(), "Log files read; returning to monitoring...");
    EXPECT_TRUE(first.refreshTree);
    EXPECT_TRUE(first.refreshFileList);
    EXPECT_EQ(first.logFileText, "nwclientLog3.txt");
    EXPECT_EQ(state.logNumber, 3);
    EXPECT_EQ(state.position, 9);

    const TickResult idle = Tick();
    EXPECT_TRUE(TakeRead().empty());
    EXPECT_EQ(idle.outcome, TickOutcome::NothingNew);
    EXPECT_EQ(idle.messages, Lines{"Monitoring log files..."});
    EXPECT_FALSE(idle.refreshTree);
    EXPECT_FALSE(idle.refreshFileList);

    logs.Append("nwclientLog3.txt", "3c\r\n", 5);
    logs.Write("nwclientLog4.txt", "4a\r\n");
    const TickResult joined = Tick();
    EXPECT_EQ(TakeRead(), (Lines{"nwclientLog3.txt: 3c", "nwclientLog4.txt: 4a"}));
    EXPECT_EQ(joined.messages, (Lines{"Reading new entries in current log...",
                                      "Reading new log file nwclientLog4.txt...",
                                      "Log files read; returning to monitoring..."}));
    EXPECT_EQ(joined.logFileText, "nwclientLog4.txt");
    EXPECT_EQ(state.logNumber, 4);

    logs.Append("nwclientLog4.txt", "4b\r\n");
    Tick();
    EXPECT_EQ(TakeRead(), Lines{"nwclientLog4.txt: 4b"});
}

TEST_F(LogFollowerTest, EnhancedEditionLogOneIsFollowedAfterTheOldLogsAreRead)
{
    const int day = 24 * 60;
    logs.Write("nwclientLog1.txt", "now1\r\n", 1);
    logs.Write("nwclientLog2.txt", "old2\r\n", day);
    logs.Write("nwclientLog3.txt", "old3\r\n", 2 * day);
    logs.Write("nwclientLog4.txt", "old4\r\n", 3 * day);

    Tick();
    EXPECT_EQ(TakeRead(), (Lines{"nwclientLog1.txt: now1", "nwclientLog2.txt: old2",
                                 "nwclientLog3.txt: old3", "nwclientLog4.txt: old4"}));
    EXPECT_EQ(state.logName, "nwclientLog1.txt");
    EXPECT_EQ(state.logNumber, 1);

    for (const std::string line : {"now2", "now3", "now4"}) {
        logs.Append("nwclientLog1.txt", line + "\r\n");
        EXPECT_EQ(Tick().outcome, TickOutcome::NewData);
        EXPECT_EQ(TakeRead(), Lines{"nwclientLog1.txt: " + line});
    }
}

TEST_F(LogFollowerTest, FollowedLogStartedAfreshIsReadAgainFromItsStart)
{
    debug.SetLevel(1);
    logs.Write("nwclientLog1.txt", "session one, line one\r\nsession one, line two\r\n", 1);
    logs.Write("nwclientLog2.txt", "older session\r\n", 60);
    Tick();
    TakeRead();

    // The game empties its current log when it starts, then writes to it.
    logs.Write("nwclientLog1.txt", "");
    EXPECT_EQ(Tick().outcome, TickOutcome::NothingNew);
    EXPECT_TRUE(Logged("Monitoring:  The current log [" + logs.File("nwclientLog1.txt") +
                       "] is shorter than before; reading it again from its start."));
    logs.Append("nwclientLog1.txt", "session two, line one\r\nsession two, line two\r\n");
    EXPECT_EQ(Tick().outcome, TickOutcome::NewData);
    EXPECT_EQ(TakeRead(), (Lines{"nwclientLog1.txt: session two, line one",
                                 "nwclientLog1.txt: session two, line two"}));

    // Emptied and written again before the next tick.
    logs.Write("nwclientLog1.txt", "session three\r\n");
    Tick();
    EXPECT_EQ(TakeRead(), Lines{"nwclientLog1.txt: session three"});
    EXPECT_EQ(state.logName, "nwclientLog1.txt");
}

TEST_F(LogFollowerTest, LogWrittenAgainIsFollowedFromWhereItsReadingStopped)
{
    logs.Write("nwclientLog1.txt", "1a\r\n", 20);
    logs.Write("nwclientLog2.txt", "2a\r\n", 10);
    Tick();
    TakeRead();
    ASSERT_EQ(state.logName, "nwclientLog2.txt");

    logs.Append("nwclientLog1.txt", "1b\r\n");
    const TickResult switched = Tick();
    EXPECT_EQ(switched.logFileText, "nwclientLog1.txt");
    EXPECT_EQ(state.logNumber, 1);
    Tick();
    EXPECT_EQ(TakeRead(), Lines{"nwclientLog1.txt: 1b"});
}

TEST_F(LogFollowerTest, LogNumberedTenIsFollowedByItsOwnName)
{
    for (int n = 1; n <= 10; ++n)
        logs.Write("nwclientLog" + std::to_string(n) + ".txt", std::to_string(n) + "\r\n", 20 - n);
    Tick();
    const Lines first = TakeRead();
    ASSERT_EQ(first.size(), 10u);
    EXPECT_EQ(first[1], "nwclientLog10.txt: 10"); // name order
    EXPECT_EQ(state.logName, "nwclientLog10.txt");
    EXPECT_EQ(state.logNumber, 2);

    logs.Append("nwclientLog10.txt", "10b\r\n");
    EXPECT_EQ(Tick().logFileText, "nwclientLog10.txt");
    EXPECT_EQ(TakeRead(), Lines{"nwclientLog10.txt: 10b"});
}

TEST_F(LogFollowerTest, EmptyNewLogIsRetriedUntilItHasLinesAndHoldsNoLaterLogBack)
{
    logs.Write("nwclientLog1.txt", "", 30);
    const TickResult onlyEmpty = Tick();
    EXPECT_EQ(onlyEmpty.outcome, TickOutcome::NothingNew);
    EXPECT_FALSE(onlyEmpty.refreshTree);
    EXPECT_EQ(state.logNumber, 0);
    EXPECT_TRUE(Logged("Monitoring:  The log analysis of log file [nwclientLog1.txt] failed or "
                       "was aborted."));

    logs.Write("nwclientLog2.txt", "2a\r\n", 20);
    Tick();
    EXPECT_EQ(TakeRead(), Lines{"nwclientLog2.txt: 2a"});
    EXPECT_EQ(state.logName, "nwclientLog2.txt");

    logs.Write("nwclientLog1.txt", "1a\r\n");
    Tick();
    EXPECT_EQ(TakeRead(), Lines{"nwclientLog1.txt: 1a"});
    EXPECT_EQ(state.logName, "nwclientLog1.txt");
}

TEST_F(LogFollowerTest, VanishedFollowedLogSwitchesMonitoringOff)
{
    clock.Set(DateTime::FromCivil(2026, 6, 1, 14, 5, 9));
    logs.Write("nwclientLog1.txt", "1a\r\n");
    Tick();
    TakeRead();
    logs.Remove("nwclientLog1.txt");

    const TickResult result = Tick();
    EXPECT_EQ(result.outcome, TickOutcome::LogVanished);
    EXPECT_TRUE(result.switchMonitoringOff);
    EXPECT_TRUE(result.refreshFileList);
    EXPECT_FALSE(result.refreshTree);
    EXPECT_EQ(result.errorLine, "[06/01/2026 02:05:09 PM] - The current log has been removed!  "
                                "Clearing all information...");
    EXPECT_EQ(result.messageBox, "The current log has been unexpectedly removed!\n"
                                 "Real-time monitoring has been shut down.");
    EXPECT_TRUE(Logged(">>> ERROR: The current log [" + logs.File("nwclientLog1.txt") +
                       " has vanished!  Real-time monitoring will be disabled."));
    EXPECT_EQ(state.logNumber, 0);
    EXPECT_EQ(state.position, 0);
    EXPECT_TRUE(TakeRead().empty());
}

TEST_F(LogFollowerTest, MaskWithoutStarFailsEveryTickWhileMonitoringGoesOn)
{
    mask = "nwclientLog.txt";
    logs.Write(mask, "a\r\n");
    for (int tick = 0; tick < 2; ++tick) {
        const TickResult result = Tick();
        EXPECT_EQ(result.outcome, TickOutcome::Failed);
        EXPECT_EQ(result.monitorPanel, "ACTIVE");
        EXPECT_FALSE(result.switchMonitoringOff);
        EXPECT_EQ(result.messages, Lines{"Error (5) - Invalid procedure call or argument while "
                                         "reading log file " +
                                         logs.File(mask) + "."});
    }
    EXPECT_TRUE(TakeRead().empty());
}

TEST_F(LogFollowerTest, PausedOrSwitchedOffTickReadsNothing)
{
    logs.Write("nwclientLog1.txt", "1a\r\n");
    const TickResult paused = Tick(true);
    EXPECT_EQ(paused.outcome, TickOutcome::Paused);
    EXPECT_EQ(paused.monitorPanel, "PAUSED");
    EXPECT_TRUE(paused.messages.empty());
    EXPECT_FALSE(paused.logFileText);

    monitoring = false;
    const TickResult off = Tick();
    EXPECT_EQ(off.outcome, TickOutcome::Stopped);
    EXPECT_TRUE(off.monitorPanel.empty());
    EXPECT_TRUE(TakeRead().empty());

    monitoring = true;
    EXPECT_EQ(Tick().monitorPanel, "ACTIVE");
    EXPECT_EQ(TakeRead(), Lines{"nwclientLog1.txt: 1a"});
}

TEST_F(LogFollowerTest, FolderWithoutLogsKeepsWaiting)
{
    logs.Write("nwengineLog.txt", "engine\r\n");
    for (const std::string& where : {logs.Path(), logs.File("missing")}) {
        folder = where;
        const TickResult result = Tick();
        EXPECT_EQ(result.outcome, TickOutcome::NothingNew);
        EXPECT_EQ(result.Message(), "Monitoring log files...");
        EXPECT_EQ(result.logFileText, "");
        EXPECT_EQ(state.logNumber, 0);
    }
    EXPECT_TRUE(TakeRead().empty());
}

TEST_F(LogFollowerTest, ProcessTimerAndDetailViewAreAskedForOnlyWhenNeeded)
{
    EXPECT_TRUE(follower->Tick({folder, mask, false, false}).enableProcessTimer);
    EXPECT_FALSE(Tick().enableProcessTimer);

    logs.Write("nwclientLog1.txt", "1a\r\n");
    EXPECT_FALSE(Tick().refreshDetails);
    EXPECT_EQ(detailQuestions, 1);
    detailChanged = true;
    logs.Append("nwclientLog1.txt", "1b\r\n");
    EXPECT_TRUE(Tick().refreshDetails);
    Tick();
    EXPECT_EQ(detailQuestions, 2);
}

TEST_F(LogFollowerTest, SeriousReadErrorEndsTheTickWithNothingMoreToShow)
{
    logs.Write("nwclientLog1.txt", "1a\r\n", 20);
    logs.Write("nwclientLog2.txt", "2a\r\n", 10);
    failingLog = "nwclientLog1.txt";
    const TickResult result = Tick();
    EXPECT_EQ(result.outcome, TickOutcome::Aborted);
    EXPECT_TRUE(result.monitorPanel.empty());
    EXPECT_TRUE(result.messages.empty());
    EXPECT_FALSE(result.refreshTree);
    EXPECT_TRUE(TakeRead().empty());
}

TEST_F(LogFollowerTest, TickLinesAreWrittenAtTheirLevels)
{
    debug.SetLevel(3);
    logs.Write("nwclientLog1.txt", "1a\r\n");
    Tick();
    logs.Append("nwclientLog1.txt", "1b\r\n");
    Tick();
    EXPECT_TRUE(Logged("Monitoring:  Reading new log file [nwclientLog1.txt]."));
    EXPECT_TRUE(Logged("Monitoring:  New entries were found in the current log."));
    EXPECT_TRUE(Logged("Monitoring:  New logs were analyzed successfully."));
    EXPECT_FALSE(Logged("Monitoring:  Getting the log file list."));

    debug.SetLevel(4);
    Tick();
    EXPECT_TRUE(Logged("Monitoring:  Getting the log file list."));
    EXPECT_TRUE(Logged("Monitoring:  1 log file(s) found, currently using log file #1."));
    EXPECT_TRUE(Logged("Monitoring:  Looking for new entries in current log [" +
                       logs.File("nwclientLog1.txt") + "]."));
}

} // namespace
} // namespace tarvik
