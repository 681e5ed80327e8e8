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
        debug.SetLevel(3);
        LogFollowerHooks hooks;
        hooks.analyzeLog = [this](const std::string& path, int64_t& position) {
            return Read(path, position);
        };
        hooks.monitoringEnabled = [this] { return monitoring; };
        hooks.takeDetailChange = [this] {
            ++detailQuestions;
            return true;
        };
        follower = std::make_unique<LogFollower>(state, std::move(hooks), debug, clock);
    }

    TickResult Tick(bool paused = false)
    {
        return follower->Tick({logs.Path(), mask, paused, true});
    }

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
    std::string mask = "nwclientLog*.txt";
    bool monitoring = true;
    int detailQuestions = 0;
    std::string failingLog;
    Lines linesRead;
    std::unique_ptr<LogFollower> follower;
};

TEST_F(LogFollowerTest, UpwardNumberedLogsAreReadInOrderAndANewOneJoins)
{
    logs.Write("nwclientLog1.txt", "1a\r\n", 30);
    logs.Write("nwclientLog2.txt", "2a\r\n", 20);
    logs.Write("nwclientLog3.txt", "3a\r\n3b\r\n", 10);
    logs.Write("nwengineLog.txt", "engine\r\n");

    const TickResult first = Tick();
    EXPECT_EQ(TakeRead(), (Lines{"nwclientLog1.txt: 1a", "nwclientLog2.txt: 2a",
                                 "nwclientLog3.txt: 3a", "nwclientLog3.txt: 3b"}));
    EXPECT_TRUE(first.outcome == TickOutcome::NewData && first.refreshTree);
    EXPECT_EQ(first.logFileText, "nwclientLog3.txt");

    // The detail view is asked about only after new data.
    const TickResult idle = Tick();
    EXPECT_TRUE(TakeRead().empty());
    EXPECT_EQ(idle.outcome, TickOutcome::NothingNew);
    EXPECT_EQ(idle.messages, Lines{"Monitoring log files..."});
    EXPECT_FALSE(idle.refreshTree);
    EXPECT_EQ(detailQuestions, 1);

    logs.Append("nwclientLog3.txt", "3c\r\n", 5);
    logs.Write("nwclientLog4.txt", "4a\r\n");
    const TickResult joined = Tick();
    EXPECT_EQ(TakeRead(), (Lines{"nwclientLog3.txt: 3c", "nwclientLog4.txt: 4a"}));
    EXPECT_EQ(joined.messages, (Lines{"Reading new entries in current log...",
                                      "Reading new log file nwclientLog4.txt...",
                                      "Log files read; returning to monitoring..."}));
    EXPECT_EQ(joined.logFileText, "nwclientLog4.txt");
    EXPECT_EQ(state.logNumber, 4);
    EXPECT_TRUE(Logged("Monitoring:  Reading new log file [nwclientLog4.txt]."));
    EXPECT_TRUE(Logged("Monitoring:  New entries were found in the current log."));
    EXPECT_TRUE(Logged("Monitoring:  New logs were analyzed successfully."));
    EXPECT_FALSE(Logged("Monitoring:  Getting the log file list."));

    debug.SetLevel(4);
    logs.Append("nwclientLog4.txt", "4b\r\n");
    Tick();
    EXPECT_EQ(TakeRead(), Lines{"nwclientLog4.txt: 4b"});
    EXPECT_TRUE(Logged("Monitoring:  Getting the log file list."));
    EXPECT_TRUE(Logged("Monitoring:  4 log file(s) found, currently using log file #4."));
    EXPECT_TRUE(Logged("Monitoring:  Looking for new entries in current log [" +
                       logs.File("nwclientLog4.txt") + "]."));
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

    for (const std::string line : {"now2", "now3"}) {
        logs.Append("nwclientLog1.txt", line + "\r\n");
        EXPECT_EQ(Tick().outcome, TickOutcome::NewData);
        EXPECT_EQ(TakeRead(), Lines{"nwclientLog1.txt: " + line});
    }
}

TEST_F(LogFollowerTest, FollowedLogStartedAfreshIsReadAgainFromItsStart)
{
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

    // Emptied and written again, shorter, before the next tick.
    logs.Write("nwclientLog1.txt", "session three\r\n");
    Tick();
    EXPECT_EQ(TakeRead(), Lines{"nwclientLog1.txt: session three"});
}

TEST_F(LogFollowerTest, EmptyNewLogIsRetriedUntilItHasLinesAndHoldsNoLaterLogBack)
{
    logs.Write("nwclientLog1.txt", "", 30);
    const TickResult onlyEmpty = Tick();
    EXPECT_EQ(onlyEmpty.outcome, TickOutcome::NothingNew);
    EXPECT_TRUE(Logged("Monitoring:  The log analysis of log file [nwclientLog1.txt] failed or "
                       "was aborted."));

    logs.Write("nwclientLog2.txt", "2a\r\n", 20);
    Tick();
    EXPECT_EQ(TakeRead(), Lines{"nwclientLog2.txt: 2a"});

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
    logs.Remove("nwclientLog1.txt");

    const TickResult result = Tick();
    EXPECT_EQ(result.outcome, TickOutcome::LogVanished);
    EXPECT_TRUE(result.switchMonitoringOff && result.refreshFileList);
    EXPECT_EQ(result.errorLine, "[06/01/2026 02:05:09 PM] - The current log has been removed!  "
                                "Clearing all information...");
    EXPECT_EQ(result.messageBox, "The current log has been unexpectedly removed!\n"
                                 "Real-time monitoring has been shut down.");
    EXPECT_TRUE(Logged(">>> ERROR: The current log [" + logs.File("nwclientLog1.txt") +
                       " has vanished!  Real-time monitoring will be disabled."));
    EXPECT_TRUE(state.logName.empty());
    EXPECT_EQ(state.position, 0);
}

TEST_F(LogFollowerTest, TicksThatReadNothing)
{
    logs.Write("nwclientLog1.txt", "1a\r\n", 20);
    logs.Write("nwclientLog2.txt", "2a\r\n", 10);
    const TickResult paused = Tick(true);
    EXPECT_EQ(paused.outcome, TickOutcome::Paused);
    EXPECT_EQ(paused.monitorPanel, "PAUSED");

    mask = "nwclientLog1.txt";
    const TickResult noStar = Tick();
    EXPECT_EQ(noStar.outcome, TickOutcome::Failed);
    EXPECT_EQ(noStar.monitorPanel, "ACTIVE");
    EXPECT_EQ(noStar.messages, Lines{"Error (5) - Invalid procedure call or argument while "
                                     "reading log file " +
                                     logs.File(mask) + "."});

    // A serious read error switches monitoring off within the tick.
    mask = "nwclientLog*.txt";
    failingLog = "nwclientLog1.txt";
    const TickResult aborted = Tick();
    EXPECT_EQ(aborted.outcome, TickOutcome::Aborted);
    EXPECT_TRUE(aborted.monitorPanel.empty() && aborted.messages.empty());
    EXPECT_EQ(Tick().outcome, TickOutcome::Stopped);
    EXPECT_TRUE(TakeRead().empty());
}

} // namespace
} // namespace tarvik
