#include "diag/LogFile.h"

#include "TestSupport.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "util/Clock.h"
#include "util/FileUtil.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using Lines = std::vector<std::string>;

// Lines of a log file, each of which must end in CR LF; none when it is missing.
Lines ReadLines(const std::string& path)
{
    std::string text;
    Lines lines;
    if (ReadWholeFile(path, text))
        return lines;
    for (size_t pos = 0, end = 0; (end = text.find("\r\n", pos)) != std::string::npos;
         pos = end + 2)
        lines.push_back(text.substr(pos, end - pos));
    EXPECT_TRUE(text.empty() || text.ends_with("\r\n")) << path;
    return lines;
}

class LogFileTest : public ::testing::Test {
protected:
    LogFileTest() { log = std::make_unique<LogFile>(clock, lastError, dir.Path(), "Tarvik"); }

    std::string Path() const { return dir.File("Tarvik.log"); }
    void WriteLines(int count, const std::string& prefix = "line ")
    {
        for (int i = 1; i <= count; ++i)
            log->WriteLog(prefix + std::to_string(i), true);
    }

    test::TempDir dir;
    ManualClock clock{DateTime::FromCivil(2026, 6, 1, 13, 5, 9)};
    ErrObject lastError;
    std::unique_ptr<LogFile> log;
};

TEST_F(LogFileTest, StartsUnbufferedAndBufferSizeZeroFlushesAndResetsTheDelay)
{
    EXPECT_EQ(log->FileName(), Path());
    EXPECT_TRUE(log->LogIsEmpty());
    log->SetBufferSize(5000);
    EXPECT_EQ(log->BufferSize(), 1000);
    log->SetWriteDelay(999);
    EXPECT_EQ(log->WriteDelay(), 300);
    WriteLines(3);
    EXPECT_TRUE(ReadLines(Path()).empty());
    EXPECT_FALSE(log->LogIsEmpty());

    log->SetBufferSize(-3);
    EXPECT_EQ(log->BufferSize(), 0);
    EXPECT_EQ(log->WriteDelay(), 0);
    EXPECT_EQ(ReadLines(Path()).size(), 3u);
    log->WriteLog("unbuffered", true);
    EXPECT_EQ(ReadLines(Path()).back(), "unbuffered");
    log->SetWriteDelay(-4);
    EXPECT_EQ(log->WriteDelay(), 0);
}

TEST_F(LogFileTest, WithoutDelayOnlyTheLineThatFillsTheBufferFlushesAndKeepsItsTime)
{
    log->SetBufferSize(3);
    log->WriteLog("Analysis:  Started.", false);
    WriteLines(1);
    clock.Set(DateTime::FromCivil(2026, 12, 31, 0, 0, 1));
    log->FlushIfNecessary();
    EXPECT_EQ(log->BufferUsed(), 2);
    EXPECT_TRUE(ReadLines(Path()).empty());

    WriteLines(3, "more ");
    EXPECT_EQ(ReadLines(Path()),
              (Lines{"[06/01/2026  01:05:09 PM]  Analysis:  Started.", "line 1", "more 1"}));
    EXPECT_EQ(log->BufferUsed(), 2);
    log->WriteLog("Analysis:  Done.", false);
    log.reset(); // destruction flushes
    EXPECT_EQ(ReadLines(Path()).back(), "[12/31/2026  12:00:01 AM]  Analysis:  Done.");
}

TEST_F(LogFileTest, WriteDelayHoldsLinesUntilItHasPassedEvenAcrossMidnight)
{
    clock.Set(DateTime::FromCivil(2026, 6, 1, 23, 59, 30));
    log->SetBufferSize(100);
    log->SetWriteDelay(60);
    clock.Advance(15'000);
    log->WriteLog("a", true);
    clock.Advance(44'000);
    log->WriteLog("b", true);
    log->FlushIfNecessary();
    EXPECT_EQ(log->BufferUsed(), 2);

    clock.Advance(2'000);
    log->WriteLog("c", true);
    EXPECT_EQ(ReadLines(Path()), (Lines{"a", "b", "c"}));

    // The next period counts from that flush.
    clock.Advance(30'000);
    log->WriteLog("d", true);
    EXPECT_EQ(log->BufferUsed(), 1);
    clock.Advance(31'000);
    log->FlushIfNecessary();
    EXPECT_EQ(log->BufferUsed(), 0);
}

TEST_F(LogFileTest, FailedFlushKeepsTheNewestLinesAndRecordsTheError)
{
    log->SetBufferSize(3);
    log->SetFileName(dir.File("missing/debug.log"));
    WriteLines(5);
    EXPECT_FALSE(log->FlushLog());
    EXPECT_EQ(log->BufferUsed(), 3);
    EXPECT_NE(lastError.Number(), 0);
    EXPECT_EQ(lastError.Description(), "Error flushing log file buffer.");
    EXPECT_FALSE(lastError.ExtendedInfo().empty());

    // Once the log points somewhere writable the kept lines arrive.
    log->SetFileName(Path());
    EXPECT_TRUE(log->FlushLog());
    EXPECT_EQ(ReadLines(Path()), (Lines{"line 3", "line 4", "line 5"}));
}

TEST(DebugLogCounter, RightAlignedInNineCharactersKeepingTheLastDigits)
{
    EXPECT_EQ(DebugLog::CounterPrefix(7), "(        7) - ");
    EXPECT_EQ(DebugLog::CounterPrefix(123456789), "(123456789) - ");
    EXPECT_EQ(DebugLog::CounterPrefix(2147483647), "(147483647) - ");
}

TEST_F(LogFileTest, DebugLevelDecidesWhatIsWritten)
{
    DebugLog debug(*log);
    // Level 0 lines are written even with debugging disabled.
    debug.LogDebug("always", 0, true);
    debug.LogDebug("low", 1, true);
    debug.SetLevel(2);
    debug.LogDebug("medium", 2, true);
    debug.LogDebug("high", 3, true);
    const int32_t counter = 42;
    debug.LogDebug("counted", 1, true, &counter);
    debug.Log(3, [] { return std::string("built too high"); });
    debug.LogCounted(1, 9, [] { return std::string("built"); });
    EXPECT_EQ(ReadLines(Path()), (Lines{"always", "medium", "(       42) - counted",
                                        "[06/01/2026  01:05:09 PM]  (        9) - built"}));
}

} // namespace
} // namespace tarvik
