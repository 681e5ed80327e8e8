#include "monitor/LogFollower.h"

#include "AnalysisTestSupport.h"
#include "TestSupport.h"
#include "analysis/LogReader.h"
#include "monitor/LogList.h"
#include "monitor/LogLister.h"
#include "util/FileUtil.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tarvik {
namespace {

// A temporary folder of game logs whose modification times the test sets,
// so that "written last" never depends on the file system's clock.
class LogFolder {
public:
    const std::string& Path() const { return dir_.Path(); }
    std::string File(const std::string& name) const { return dir_.File(name); }

    // Replaces the log's contents; it was last written minutesAgo.
    void Write(const std::string& name, const std::string& text, int minutesAgo = 0) const
    {
        Put(name, text, std::ios::trunc, minutesAgo);
    }
    void Append(const std::string& name, const std::string& text, int minutesAgo = 0) const
    {
        Put(name, text, std::ios::app, minutesAgo);
    }

private:
    void Put(const std::string& name, const std::string& text, std::ios::openmode mode,
             int minutesAgo) const
    {
        {
            std::ofstream out(File(name), std::ios::binary | mode);
            out << text;
        }
        std::filesystem::last_write_time(File(name), base_ - std::chrono::minutes(minutesAgo));
    }

    test::TempDir dir_;
    std::filesystem::file_time_type base_ = std::filesystem::file_time_type::clock::now();
};

using Lines = std::vector<std::string>;

// Drives a follower whose reads only note the lines they take, each as
// "file: line"; the reading itself is the analysis's own line reader.
class LogFollowerTest : public ::testing::Test {
protected:
    LogFollowerTest()
    {
        debug.SetLevel(DebugLog::MaxLevel);
        LogFollowerHooks hooks;
        hooks.analyzeLog = [this](const std::string& path, LogCursor& cursor) {
            return Read(path, cursor.position);
        };
        hooks.monitoringEnabled = [this] { return monitoring; };
        hooks.takeDetailChange = [this] {
            ++detailQuestions;
            return true;
        };
        follower = std::make_unique<LogFollower>(state, std::move(hooks), debug, clock);
    }

    // One result kept across ticks, as the window keeps it: nothing of one
    // tick may show in the next.
    TickResult Tick(bool paused = false)
    {
        follower->Tick({logs.Path(), mask, paused, true}, kept);
        return kept;
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

    LogFolder logs;
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
    TickResult kept;
};

TEST_F(LogFollowerTest, UpwardNumberedLogsAreReadInOrderAndANewOneJoins)
{
    logs.Write("nwclientLog1.txt", "1a\r\n", 30);
    logs.Write("nwclientLog2.txt", "2a\r\n", 20);
    logs.Write("nwclientLog3.txt", "3a\r\n3b\r\n", 10);
    logs.Write("nwengineLog.txt", "engine\r\n");
    const TickResult paused = Tick(true);
    EXPECT_TRUE(paused.outcome == TickOutcome::Paused && paused.monitorPanel == "PAUSED");

    const TickResult first = Tick();
    EXPECT_EQ(TakeRead(), (Lines{"nwclientLog1.txt: 1a", "nwclientLog2.txt: 2a",
                                 "nwclientLog3.txt: 3a", "nwclientLog3.txt: 3b"}));
    EXPECT_TRUE(first.outcome == TickOutcome::NewData && first.refreshTree);
    EXPECT_EQ(first.logFileText, "nwclientLog3.txt");

    // The detail view is asked about only after new data.
    const TickResult idle = Tick();
    EXPECT_TRUE(TakeRead().empty());
    EXPECT_EQ(idle.outcome, TickOutcome::NothingNew);
    EXPECT_FALSE(idle.refreshTree);
    EXPECT_TRUE(idle.messages.empty());
    EXPECT_EQ(idle.Message(), "Monitoring log files...");
    EXPECT_EQ(idle.logFileText, "nwclientLog3.txt");
    EXPECT_EQ(detailQuestions, 1);

    logs.Append("nwclientLog3.txt", "3c\r\n", 5);
    logs.Write("nwclientLog4.txt", "4a\r\n");
    const TickResult joined = Tick();
    EXPECT_EQ(TakeRead(), (Lines{"nwclientLog3.txt: 3c", "nwclientLog4.txt: 4a"}));
    EXPECT_EQ(joined.logFileText, "nwclientLog4.txt");
    EXPECT_EQ(state.logNumber, 4);

    // A line whose CR and LF are written in different ticks is read once.
    logs.Append("nwclientLog4.txt", "4b\r");
    Tick();
    logs.Append("nwclientLog4.txt", "\n4c\r\n");
    Tick();
    EXPECT_EQ(TakeRead(), (Lines{"nwclientLog4.txt: 4b", "nwclientLog4.txt: 4c"}));

    // With the position forgotten, as clearing all data leaves it, every log is read again.
    state = {};
    Tick();
    EXPECT_EQ(TakeRead(),
              (Lines{"nwclientLog1.txt: 1a", "nwclientLog2.txt: 2a", "nwclientLog3.txt: 3a",
                     "nwclientLog3.txt: 3b", "nwclientLog3.txt: 3c", "nwclientLog4.txt: 4a",
                     "nwclientLog4.txt: 4b", "nwclientLog4.txt: 4c"}));
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

// The game empties its current log when it starts, then writes to it. A log
// started afresh is read again from its start: found empty, or written again
// before the tick, shorter or longer, in place or as a new file.
TEST_F(LogFollowerTest, LogStartedAfreshIsReadAgainFromItsStart)
{
    logs.Write("nwclientLog1.txt", "session one, line one\r\nsession one, line two\r\n", 1);
    logs.Write("nwclientLog2.txt", "older session\r\n", 60);
    Tick();
    TakeRead();

    logs.Write("nwclientLog1.txt", "");
    EXPECT_EQ(Tick().outcome, TickOutcome::NothingNew);
    logs.Append("nwclientLog1.txt", "two, first line\r\ntwo, second line\r\n");
    EXPECT_EQ(Tick().outcome, TickOutcome::NewData);
    EXPECT_EQ(TakeRead(),
              (Lines{"nwclientLog1.txt: two, first line", "nwclientLog1.txt: two, second line"}));

    logs.Write("nwclientLog1.txt", "three\r\n");
    Tick();
    EXPECT_EQ(TakeRead(), Lines{"nwclientLog1.txt: three"});
    logs.Write("nwclientLog1.txt", "four, first line\r\nfour, second line\r\n");
    Tick();
    EXPECT_EQ(TakeRead(),
              (Lines{"nwclientLog1.txt: four, first line", "nwclientLog1.txt: four, second line"}));
    std::filesystem::remove(logs.File("nwclientLog1.txt"));
    logs.Write("nwclientLog1.txt", "fifth, first line\r\nfifth, second line\r\n");
    EXPECT_EQ(Tick().outcome, TickOutcome::NewData);
    EXPECT_EQ(TakeRead(), (Lines{"nwclientLog1.txt: fifth, first line",
                                 "nwclientLog1.txt: fifth, second line"}));
}

// The client shifts its logs when it starts: nwclientLog1.txt becomes
// nwclientLog2.txt and a new nwclientLog1.txt begins.
TEST_F(LogFollowerTest, RenamedLogGoesOnFromItsPlace)
{
    logs.Write("nwclientLog1.txt", "session one\r\n", 5);
    Tick();
    TakeRead();
    logs.Append("nwclientLog1.txt", "last words\r\n", 4);
    std::filesystem::rename(logs.File("nwclientLog1.txt"), logs.File("nwclientLog2.txt"));
    logs.Write("nwclientLog1.txt", "session two\r\n");
    EXPECT_EQ(Tick().outcome, TickOutcome::NewData);
    EXPECT_EQ(TakeRead(), (Lines{"nwclientLog2.txt: last words", "nwclientLog1.txt: session two"}));
    EXPECT_EQ(state.logName, "nwclientLog1.txt");
    Tick();
    EXPECT_TRUE(TakeRead().empty());
}

TEST_F(LogFollowerTest, MissingFolderOrEmptyNewLogIsRetriedAndHoldsNoLaterLogBack)
{
    EXPECT_EQ(follower->Tick({logs.File("gone"), mask, false, true}).outcome,
              TickOutcome::NothingNew);
    logs.Write("nwclientLog1.txt", "", 30);
    EXPECT_EQ(Tick().outcome, TickOutcome::NothingNew);

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
    std::filesystem::remove(logs.File("nwclientLog1.txt"));

    const TickResult result = Tick();
    EXPECT_EQ(result.outcome, TickOutcome::LogVanished);
    EXPECT_TRUE(result.switchMonitoringOff && result.refreshFileList);
    EXPECT_EQ(result.errorLine, "[06/01/2026 02:05:09 PM] - The current log has been removed!  "
                                "Clearing all information...");
    EXPECT_EQ(result.messageBox, "The current log has been unexpectedly removed!\n"
                                 "Real-time monitoring has been shut down.");
    EXPECT_TRUE(state.logName.empty());
    EXPECT_EQ(state.position, 0);
}

TEST_F(LogFollowerTest, MaskWithoutAStarFailsAndASeriousReadErrorStopsMonitoring)
{
    logs.Write("nwclientLog1.txt", "1a\r\n", 20);
    logs.Write("nwclientLog2.txt", "2a\r\n", 10);
    mask = "nwclientLog1.txt";
    const TickResult noStar = Tick();
    EXPECT_EQ(noStar.outcome, TickOutcome::Failed);
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

TEST(LogMask, StarTakesAnyRunQuestionMarkOneCharacterAndCaseIsIgnored)
{
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"NWCLIENTLOG10.TXT", "nwclientLog*.txt", true},
        {"nwclientLog1.txt.bak", "nwclientLog*.txt", false},
        {"old-nwclientLog1.txt", "nwclientLog*.txt", false},
        {"a.txt.txt", "*.txt", true},
        {"log7.txt", "log?.txt", true},
        {"log17.txt", "log?.txt", false},
        {"", "?", false}};
    for (const auto& [name, mask, matches] : cases)
        EXPECT_EQ(MatchesLogMask(name, mask), matches) << name << " against " << mask;
}

std::vector<std::string> Names(const std::vector<LogListEntry>& logs)
{
    std::vector<std::string> names;
    for (const LogListEntry& log : logs)
        names.push_back(log.name);
    return names;
}

// The lister keeps its folder open between ticks; it must still see what
// changed in it, and a folder made anew, exactly as a fresh listing does.
TEST(LogLister, SeesWhatAFreshListingSees)
{
    test::TempDir dir;
    const std::string folder = dir.File("logs");
    std::filesystem::create_directory(folder);
    auto write = [&](const char* name) {
        ASSERT_FALSE(WriteFileAtomically(JoinPath(folder, name), "[CHAT WINDOW TEXT] x\n"));
    };
    const std::string mask = "nwclientLog*.txt";
    LogLister lister;
    EXPECT_TRUE(lister.List(folder, mask).empty());

    for (const char* name :
         {"nwclientLog2.txt", "NWCLIENTLOG1.txt", "other.txt", "nwclientLog10.txt"})
        write(name);
    std::filesystem::create_directory(JoinPath(folder, "nwclientLog3.txt"));
    EXPECT_EQ(Names(lister.List(folder, mask)), Names(ListLogs(folder, mask)));
    EXPECT_EQ(
        Names(lister.List(folder, mask)),
        (std::vector<std::string>{"NWCLIENTLOG1.txt", "nwclientLog10.txt", "nwclientLog2.txt"}));

    std::filesystem::remove(JoinPath(folder, "nwclientLog2.txt"));
    write("nwclientLog4.txt");
    EXPECT_EQ(
        Names(lister.List(folder, mask)),
        (std::vector<std::string>{"NWCLIENTLOG1.txt", "nwclientLog10.txt", "nwclientLog4.txt"}));

    // Removed: nothing; made anew: what the new folder holds.
    std::filesystem::remove_all(folder);
    EXPECT_TRUE(lister.List(folder, mask).empty());
    std::filesystem::create_directory(folder);
    write("nwclientLog7.txt");
    EXPECT_EQ(Names(lister.List(folder, mask)), (std::vector<std::string>{"nwclientLog7.txt"}));

    // Another folder, and none at all.
    EXPECT_TRUE(lister.List(dir.File("missing"), mask).empty());
    EXPECT_TRUE(lister.List("", mask).empty());
    EXPECT_EQ(lister.List(folder, mask).size(), 1u);
}

} // namespace
} // namespace tarvik
