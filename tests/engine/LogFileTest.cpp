#include "diag/LogFile.h"

#include "TestSupport.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "util/Clock.h"
#include "util/FileUtil.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tarvik {
namespace {

namespace fs = std::filesystem;

// Lines of a log file, without their CR LF ends; empty when it is missing.
std::vector<std::string> ReadLines(const std::string& path)
{
    std::string text;
    if (ReadWholeFile(path, text))
        return {};
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find("\r\n", pos);
        EXPECT_NE(end, std::string::npos) << "line without CR LF in " << path;
        if (end == std::string::npos)
            break;
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
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

TEST_F(LogFileTest, StartsUnbufferedBesideTheProgramAndClampsSettings)
{
    EXPECT_EQ(log->FileName(), Path());
    EXPECT_EQ(log->BufferSize(), 0);
    EXPECT_EQ(log->WriteDelay(), 0);
    EXPECT_TRUE(log->LogIsEmpty());
    log->WriteLog("first", true);
    EXPECT_EQ(ReadLines(Path()), std::vector<std::string>{"first"});
    EXPECT_FALSE(log->LogIsEmpty());

    log->SetBufferSize(5000);
    EXPECT_EQ(log->BufferSize(), 1000);
    log->SetWriteDelay(999);
    EXPECT_EQ(log->WriteDelay(), 300);
    log->SetWriteDelay(-4);
    EXPECT_EQ(log->WriteDelay(), 0);
}

TEST_F(LogFileTest, BufferSizeZeroFlushesResetsDelayAndWritesEachLineAtOnce)
{
    log->SetBufferSize(10);
    log->SetWriteDelay(60);
    WriteLines(3);
    EXPECT_EQ(log->BufferUsed(), 3);
    EXPECT_TRUE(log->BufferDirty());
    EXPECT_TRUE(ReadLines(Path()).empty());

    log->SetBufferSize(-3);
    EXPECT_EQ(log->BufferSize(), 0);
    EXPECT_EQ(log->WriteDelay(), 0);
    EXPECT_EQ(log->BufferUsed(), 0);
    EXPECT_FALSE(log->BufferDirty());
    EXPECT_EQ(ReadLines(Path()).size(), 3u);

    log->WriteLog("unbuffered", true);
    EXPECT_EQ(ReadLines(Path()).back(), "unbuffered");
    EXPECT_EQ(log->BufferUsed(), 0);
}

TEST_F(LogFileTest, FullBufferIsWrittenAndNextLineStartsAFreshOne)
{
    log->SetBufferSize(1000);
    WriteLines(999);
    EXPECT_EQ(log->BufferUsed(), 999);
    EXPECT_TRUE(ReadLines(Path()).empty());

    log->WriteLog("line 1000", true);
    auto lines = ReadLines(Path());
    ASSERT_EQ(lines.size(), 1000u);
    EXPECT_EQ(lines.front(), "line 1");
    EXPECT_EQ(lines.back(), "line 1000");

    log->WriteLog("line 1001", true);
    EXPECT_EQ(log->BufferUsed(), 1);
    EXPECT_EQ(ReadLines(Path()).size(), 1000u);
    log->FlushLog();
    lines = ReadLines(Path());
    ASSERT_EQ(lines.size(), 1001u);
    EXPECT_EQ(lines.back(), "line 1001");
}

TEST_F(LogFileTest, WriteDelayHoldsLinesUntilItHasPassed)
{
    log->SetBufferSize(100);
    log->SetWriteDelay(60);
    log->WriteLog("a", true);
    clock.Advance(59'000);
    log->WriteLog("b", true);
    log->FlushIfNecessary();
    EXPECT_EQ(log->BufferUsed(), 2);
    EXPECT_TRUE(ReadLines(Path()).empty());

    clock.Advance(2'000);
    log->WriteLog("c", true);
    EXPECT_EQ(log->BufferUsed(), 0);
    EXPECT_EQ(ReadLines(Path()), (std::vector<std::string>{"a", "b", "c"}));

    // The next period counts from that flush.
    clock.Advance(30'000);
    log->WriteLog("d", true);
    EXPECT_EQ(log->BufferUsed(), 1);
    clock.Advance(31'000);
    log->FlushIfNecessary();
    EXPECT_EQ(log->BufferUsed(), 0);
    EXPECT_EQ(ReadLines(Path()).size(), 4u);
}

TEST_F(LogFileTest, WriteDelayAcrossMidnightStillWaits)
{
    // The next flush is due a full delay after the last one, even when the
    // time of day wraps in between.
    clock.Set(DateTime::FromCivil(2026, 6, 1, 23, 59, 30));
    log->SetBufferSize(100);
    log->SetWriteDelay(60);
    clock.Advance(15'000);
    log->WriteLog("before midnight", true);
    clock.Advance(25'000);
    log->WriteLog("after midnight", true);
    EXPECT_EQ(log->BufferUsed(), 2);
    clock.Advance(30'000);
    log->FlushIfNecessary();
    EXPECT_EQ(log->BufferUsed(), 0);
}

TEST_F(LogFileTest, WithoutDelayOnlyAFullBufferFlushes)
{
    log->SetBufferSize(3);
    WriteLines(2);
    clock.Advance(3'600'000);
    log->FlushIfNecessary();
    EXPECT_EQ(log->BufferUsed(), 2);
    log->WriteLog("line 3", true);
    EXPECT_EQ(ReadLines(Path()).size(), 3u);
}

TEST_F(LogFileTest, DestructionFlushes)
{
    log->SetBufferSize(50);
    WriteLines(5);
    EXPECT_TRUE(ReadLines(Path()).empty());
    log.reset();
    EXPECT_EQ(ReadLines(Path()).size(), 5u);
}

TEST_F(LogFileTest, LineCarriesTheTimeItWasWritten)
{
    log->SetBufferSize(10);
    log->WriteLog("Analysis:  Started.", false);
    clock.Set(DateTime::FromCivil(2026, 12, 31, 0, 0, 1));
    log->WriteLog("Analysis:  Done.", false);
    clock.Advance(3'600'000);
    log->FlushLog();
    EXPECT_EQ(ReadLines(Path()),
              (std::vector<std::string>{"[06/01/2026  01:05:09 PM]  Analysis:  Started.",
                                        "[12/31/2026  12:00:01 AM]  Analysis:  Done."}));
}

TEST_F(LogFileTest, FileNameExpandsVariablesAndDefaultsToProgramFolder)
{
    const std::map<std::string, std::string> environment{{"LOGS", dir.Path()}, {"EMPTY", ""}};
    log->SetEnvironmentLookup([&](const std::string& name) {
        const auto it = environment.find(name);
        return it == environment.end() ? std::string() : it->second;
    });
    struct Case {
        const char* name;
        std::string expected;
    };
    const Case cases[] = {{"%LOGS%/debug.log", dir.File("debug.log")},
                          {"  Tarvik_debug.log  ", dir.File("Tarvik_debug.log")},
                          {"%UNKNOWN%plain.log", dir.File("plain.log")},
                          {"%EMPTY%%LOGS%/x%EMPTY%.log", dir.File("x.log")},
                          {"%LOGS%/100%.log", dir.File("100%.log")}};
    for (const auto& c : cases) {
        log->SetFileName(c.name);
        EXPECT_EQ(log->FileName(), c.expected) << c.name;
    }
}

TEST_F(LogFileTest, RenameFlushesIntoTheOldFileFirst)
{
    log->SetBufferSize(10);
    WriteLines(2, "old ");
    // The same name in other letters is the same file: nothing happens.
    log->SetFileName(dir.File("TARVIK.LOG"));
    EXPECT_EQ(log->FileName(), Path());
    EXPECT_EQ(log->BufferUsed(), 2);
    EXPECT_FALSE(fs::exists(Path()));

    log->SetFileName("Tarvik_debug.log");
    EXPECT_EQ(log->FileName(), dir.File("Tarvik_debug.log"));
    EXPECT_EQ(ReadLines(Path()), (std::vector<std::string>{"old 1", "old 2"}));
    WriteLines(1, "new ");
    log->FlushLog();
    EXPECT_EQ(ReadLines(dir.File("Tarvik_debug.log")), std::vector<std::string>{"new 1"});
    EXPECT_EQ(ReadLines(Path()).size(), 2u);
}

TEST_F(LogFileTest, ClearLogEmptiesBufferAndDeletesFile)
{
    log->SetBufferSize(10);
    WriteLines(3);
    log->FlushLog();
    WriteLines(2);
    EXPECT_TRUE(log->ClearLog());
    EXPECT_EQ(log->BufferUsed(), 0);
    EXPECT_FALSE(fs::exists(Path()));
    EXPECT_TRUE(log->LogIsEmpty());
    // The next line recreates the file.
    log->WriteLog("again", true);
    log->FlushLog();
    EXPECT_EQ(ReadLines(Path()), std::vector<std::string>{"again"});
    EXPECT_TRUE(log->ClearLog()); // and clearing twice is harmless
    EXPECT_TRUE(log->ClearLog());
}

TEST_F(LogFileTest, FailedFlushKeepsLinesAndRecordsTheError)
{
    struct Case {
        const char* what;
        std::string target;
    };
    const Case cases[] = {{"a folder", dir.Path()},
                          {"a missing folder", dir.File("missing/debug.log")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        lastError.Clear();
        log->SetBufferSize(10);
        log->SetFileName(c.target);
        WriteLines(3);
        EXPECT_FALSE(log->FlushLog());
        EXPECT_EQ(log->BufferUsed(), 3);
        EXPECT_NE(lastError.Number(), 0);
        EXPECT_EQ(lastError.Description(), "Error flushing log file buffer.");
        EXPECT_FALSE(lastError.ExtendedInfo().empty());

        // Once the log points somewhere writable the kept lines arrive.
        log->SetFileName(Path());
        EXPECT_TRUE(log->FlushLog());
        EXPECT_EQ(ReadLines(Path()).size(), 3u);
        log->ClearLog();
    }
}

TEST(DebugLogCounter, RightAlignedInNineCharacters)
{
    EXPECT_EQ(DebugLog::CounterPrefix(7), "(        7) - ");
    EXPECT_EQ(DebugLog::CounterPrefix(123456789), "(123456789) - ");
    // A longer number keeps its last nine digits.
    EXPECT_EQ(DebugLog::CounterPrefix(1234567890), "(234567890) - ");
    EXPECT_EQ(DebugLog::CounterPrefix(2147483647), "(147483647) - ");
}

class DebugLogTest : public LogFileTest {
protected:
    DebugLogTest() { debug = std::make_unique<DebugLog>(*log); }
    std::unique_ptr<DebugLog> debug;
};

TEST_F(DebugLogTest, LevelDecidesWhatIsWritten)
{
    // Level 0 lines are written even with debugging disabled.
    EXPECT_EQ(debug->Level(), 0);
    debug->LogDebug("always", 0, true);
    debug->LogDebug("low", 1, true);
    debug->SetLevel(2);
    debug->LogDebug("medium", 2, true);
    debug->LogDebug("high", 3, true);
    const int32_t counter = 42;
    debug->LogDebug("counted", 1, true, &counter);
    debug->LogDebug("stamped", 1, false);
    EXPECT_EQ(ReadLines(Path()),
              (std::vector<std::string>{"always", "medium", "(       42) - counted",
                                        "[06/01/2026  01:05:09 PM]  stamped"}));
}

TEST_F(DebugLogTest, MessageIsBuiltOnlyWhenWritten)
{
    debug->SetLevel(2);
    int built = 0;
    auto build = [&] {
        ++built;
        return std::string("built");
    };
    debug->Log(3, build);
    debug->LogCounted(4, 9, build);
    EXPECT_EQ(built, 0);
    EXPECT_TRUE(ReadLines(Path()).empty());
    debug->Log(2, build);
    debug->LogCounted(1, 9, build);
    EXPECT_EQ(built, 2);
    const auto lines = ReadLines(Path());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "[06/01/2026  01:05:09 PM]  (        9) - built");
}

} // namespace
} // namespace tarvik
