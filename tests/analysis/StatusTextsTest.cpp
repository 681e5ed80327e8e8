#include "ui/StatusTexts.h"

#include "analysis/AnalysisData.h"
#include "analysis/Session.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace tarvik {
namespace {

TEST(StatusTexts, SummaryCountsFilesLinesAndRecordsAndTheirRate)
{
    struct Case {
        int32_t files;
        int64_t ms;
        int32_t lines, records;
        const char* expected;
    };
    const Case cases[] = {
        {2, 2500, 5000, 1234,
         "2 log file(s) analyzed in 2.5 second(s).\n5,000 lines parsed into 1,234 records "
         "(24.7%).\n(2000 lines per second.)"},
        {1234, 61000, 0, 0,
         "1,234 log file(s) analyzed in 61 second(s).\n0 lines parsed into 0 records."},
        // Under half a second counts as one, so the rate is the line count.
        {1, 400, 300, 3,
         "1 log file(s) analyzed in 1 second(s).\n300 lines parsed into 3 records "
         "(1%).\n(300 lines per second.)"},
    };
    for (const auto& c : cases) {
        AnalysisData data;
        data.linesRead = c.lines;
        data.recordsParsed = c.records;
        EXPECT_EQ(SummaryText(data, c.files, c.ms),
                  std::string("Analyzing logs...complete.\n\n") + c.expected)
            << c.ms;
    }
}

TEST(StatusTexts, ProgressGivesTheShareOfRecordsOnceLinesWereRead)
{
    AnalysisData data;
    EXPECT_EQ(ProgressText(data), "Analyzing logs...\n\n0 lines read.\n0 records parsed.");
    data.linesRead = 1500;
    data.recordsParsed = 300;
    EXPECT_EQ(ProgressText(data), "Analyzing logs...\n\n1,500 lines read.\n300 records parsed "
                                  "(20%).");
}

TEST(StatusTexts, StopReasonNamesTheFileAndWhyOnlyForAStoppedRun)
{
    struct Case {
        bool aborted, serious;
        const char* expected;
    };
    const Case cases[] = {
        {false, false, ""},
        {true, false, "Log file [b.txt] holds no lines; the analysis stopped."},
        {true, true, "Log analysis stopped by an error in [b.txt].  (Check the Errors tab.)"},
    };
    for (const auto& c : cases) {
        DriverResult result;
        result.aborted = c.aborted;
        result.seriousError = c.serious;
        result.stoppedAt = c.aborted ? "b.txt" : "";
        EXPECT_EQ(StopReasonText(result), c.expected) << c.aborted << c.serious;
    }
}

// The classes met are named in the error list's order of classes; problems
// are always named, as they are what a player looks for.
TEST(StatusTexts, LinesWithoutRecordCountTheirClassesApart)
{
    struct Case {
        // blank, session header, engine, chat duplicate, continuation, problem
        std::array<int64_t, LineClassCount> counts;
        const char* expected;
    };
    const Case cases[] = {
        {{379, 120, 6, 152, 301, 1},
         "959 lines without a record: 379 blank, 120 session header, 6 engine, 152 chat "
         "duplicate, 301 continuation, 1 problem."},
        {{0, 0, 0, 0, 0, 2}, "2 lines without a record: 2 problems."},
        {{1, 0, 0, 0, 0, 0}, "1 line without a record: 1 blank, 0 problems."},
        {{0, 0, 1200, 0, 0, 0}, "1,200 lines without a record: 1,200 engine, 0 problems."},
    };
    for (const auto& c : cases) {
        LineCounts counts;
        counts.byClass = c.counts;
        EXPECT_EQ(LinesWithoutRecordText(counts), c.expected);
    }
}

} // namespace
} // namespace tarvik
