#include "AnalysisTestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using test::GameLine;
using test::SessionHarness;
using test::WriteBytes;
using Lines = std::vector<std::string>;

TEST(Session, ClearAllDataForgetsEverythingAnalysed)
{
    SessionHarness h;
    h.S().SetMonitoringEnabled(true);
    ASSERT_TRUE(
        h.AnalyzeBodies({"Bob attacks Orc : *target concealed: 20%* : (1 + 7 = 8)",
                         "Bob casts Sleep", "Experience Points Gained:  50", "Orc killed Bob"}));
    h.S().Marks().SelectUserCharacter(1);
    ASSERT_TRUE(h.AnalyzeBodies(
        {"Bob attacks Orc : *target concealed: 20%* : (1 + 7 = 8)", "Orc killed Bob"}));
    h.Data().detailCharacterId = 2;
    h.S().Monitor().logNumber = 3;
    h.S().Monitor().position = 1234;
    ASSERT_EQ(h.S().RealTime().FugueTimerCount(), 1u);

    const int clearsBefore = h.host.dataClears;
    h.S().ClearAllData();
    const AnalysisData& d = h.Data();
    EXPECT_EQ(d.characters.Count(), 0);
    EXPECT_EQ(d.knownSpells.Count(), 0);
    EXPECT_EQ(d.linesRead, 0);
    EXPECT_EQ(d.recordsParsed, 0);
    EXPECT_EQ(d.experienceTotal, 0);
    EXPECT_EQ(d.userCharacterId, 0);
    EXPECT_EQ(d.partyMemberCount, 0);
    EXPECT_EQ(d.detailCharacterId, 0);
    EXPECT_EQ(d.earliestRecordDate, h.clock.Now().AddYears(1));
    EXPECT_EQ(d.latestRecordDate, DateTime());
    EXPECT_EQ(h.S().Monitor().logNumber, 0);
    EXPECT_EQ(h.S().Monitor().position, 0);
    EXPECT_EQ(h.S().RealTime().LastConcealment(), 0);
    int32_t own = -1, enemy = -1;
    h.S().RealTime().GetAverageAB(own, enemy);
    EXPECT_EQ(own, 0);
    // Fugue timers run on: only switching monitoring clears them.
    EXPECT_EQ(h.S().RealTime().FugueTimerCount(), 1u);
    EXPECT_EQ(h.host.dataClears, clearsBefore + 1);
}

TEST(Session, ErrorListHoldsOnlyTheLatestReadsProblems)
{
    SessionHarness h;
    ASSERT_TRUE(
        h.S().AnalyzeLog(h.Write("one.txt", {"first bad line", GameLine("Bob killed Orc")})));
    EXPECT_EQ(h.Errors(), Lines{"Invalid/missing date, discarded: first bad line"});
    ASSERT_TRUE(h.S().AnalyzeLog(h.Write("two.txt", {GameLine("Bob killed Orc"), "second bad"})));
    EXPECT_EQ(h.Errors(), Lines{"Invalid/missing date, discarded: second bad"});
    EXPECT_EQ(h.host.errorListClears, 2);
}

TEST(Session, LinesWithoutUsableDateAreReportedAndSkipped)
{
    SessionHarness h;
    h.debug.SetLevel(1);
    const Lines bad = {
        "",
        "[CHAT WINDOW TEXT]",
        "nwsync: reconfigured successfully",
        "[CHAT WINDOW TEXT] [Sun Feb 29 10:00:00] Bob killed Orc", // 2026 has no 29 February
        "[CHAT WINDOW TEXT] [Wed Jun 31 10:00:00] Bob killed Orc",
        "[CHAT WINDOW TEXT] [Wed Jux 04 10:00:00] Bob killed Orc",
    };
    Lines lines = bad;
    lines.push_back(GameLine("Bob killed Orc"));
    ASSERT_TRUE(h.S().AnalyzeLog(h.Write("log.txt", lines)));
    Lines expected;
    for (const auto& line : bad)
        expected.push_back("Invalid/missing date, discarded: " + line);
    EXPECT_EQ(h.Errors(), expected);
    EXPECT_EQ(h.Data().linesRead, 7);
    EXPECT_EQ(h.Data().recordsParsed, 1);
    EXPECT_EQ(h.Named("Bob")->Kills(), 1);
    EXPECT_NE(h.DebugText().find("(        3) - Analysis:  Invalid record detected (bad date): "
                                 "[nwsync: reconfigured successfully]."),
              std::string::npos);
}

TEST(Session, DateTextMustBeLongerThanTheMinimumLength)
{
    // "Jun 04 2026 23:27:01" has 20 characters.
    for (int minLength : {19, 20}) {
        auto config = test::ExampleConfig();
        config.format.timeStampMinLength = minLength;
        SessionHarness h(std::move(config));
        ASSERT_TRUE(h.AnalyzeBodies({"Bob killed Orc"}));
        EXPECT_EQ(h.Data().recordsParsed, minLength == 19 ? 1 : 0) << minLength;
        EXPECT_EQ(h.Errors().size(), minLength == 19 ? 0u : 1u) << minLength;
    }
}

TEST(Session, EarliestAndLatestRecordDates)
{
    SessionHarness h;
    ASSERT_TRUE(h.S().AnalyzeLog(h.Write("log.txt", {
                                                        GameLine("a", "Wed Jun 04 23:27:01"),
                                                        GameLine("b", "Mon Jun  2 08:00:00"),
                                                        GameLine("c", "Sat Jul 12 13:05:09"),
                                                        GameLine("d", "Thu Jun 05 00:00:00"),
                                                    })));
    ASSERT_FALSE(h.host.recordDates.empty());
    EXPECT_EQ(h.host.recordDates.back().first, "06/02/2026 08:00:00 AM");
    EXPECT_EQ(h.host.recordDates.back().second, "07/12/2026 01:05:09 PM");
}

TEST(Session, OnlyBadDatesLeaveTheStartValues)
{
    SessionHarness h;
    ASSERT_TRUE(h.S().AnalyzeLog(h.Write("log.txt", {"no date here", ""})));
    ASSERT_EQ(h.host.recordDates.size(), 1u);
    EXPECT_EQ(h.host.recordDates[0].first, "06/01/2027 12:00:00 PM");
    EXPECT_EQ(h.host.recordDates[0].second, "12/30/1899 12:00:00 AM");
}

TEST(Session, DecemberLogReadInJanuaryGetsTheNewYear)
{
    SessionHarness h(test::ExampleConfig(), DateTime::FromCivil(2027, 1, 1, 0, 0, 10));
    ASSERT_TRUE(h.S().AnalyzeLog(h.Write("log.txt", {GameLine("a", "Fri Dec 31 23:59:59")})));
    EXPECT_EQ(h.Data().latestRecordDate.Format(), "12/31/2027 11:59:59 PM");
}

TEST(Session, PositionAfterReadingAndNothingNew)
{
    SessionHarness h;
    h.debug.SetLevel(2);
    std::string content = GameLine("Bob killed Orc") + "\r\n";
    content += GameLine(std::string(100 - 2 - content.size() - 41, 'x')) + "\r\n";
    ASSERT_EQ(content.size(), 100u);
    const std::string path = h.dir.File("log.txt");
    WriteBytes(path, content);

    int64_t position = 0;
    EXPECT_TRUE(h.S().AnalyzeLog(path, &position));
    EXPECT_EQ(position, 101);
    const std::string started = "Analysis:  Log [" + path + "] analysis started.";
    EXPECT_NE(h.DebugText().find(started), std::string::npos);

    h.logFile.ClearLog();
    EXPECT_FALSE(h.S().AnalyzeLog(path, &position));
    EXPECT_EQ(position, 101);
    EXPECT_EQ(h.DebugText().find(started), std::string::npos);
    EXPECT_EQ(h.Data().linesRead, 2);
}

// Lines with and without dates, records of several kinds, CR LF line ends.
std::string MixedLog()
{
    return test::JoinLines({GameLine("Bob damages Orc: 5 (5 Fire)"), "", "continued text",
                            GameLine("Bob attacks Orc : *hit* : (1 + 2 = 3)"),
                            GameLine("Orc damages Bob: 3 (3 Physical)"),
                            GameLine("Bob damages Orc: 12 (5 Physical 7 Fire)"),
                            GameLine("Bob killed Orc"), GameLine("Anna casts Sleep"),
                            GameLine("Anna killed Rat")});
}

TEST(Session, MonitoringInPiecesMatchesOneShotRead)
{
    const std::string content = MixedLog();
    SessionHarness whole;
    const std::string wholePath = whole.dir.File("whole.txt");
    WriteBytes(wholePath, content);
    ASSERT_TRUE(whole.S().AnalyzeLog(wholePath));

    // Pieces of one byte end everywhere, also between a CR and its LF.
    for (size_t piece : {1u, 37u}) {
        SessionHarness h;
        h.S().SetMonitoringEnabled(true);
        const std::string path = h.dir.File("growing.txt");
        WriteBytes(path, "");
        int64_t position = 0;
        for (size_t written = 0; written < content.size();) {
            const size_t next = std::min(content.size(), written + piece);
            WriteBytes(path, content.substr(written, next - written), true);
            written = next;
            h.S().AnalyzeLog(path, &position);
            EXPECT_LE(position, static_cast<int64_t>(written) + 1);
        }
        EXPECT_EQ(position, static_cast<int64_t>(content.size()) + 1) << piece;
        EXPECT_EQ(h.Data().linesRead, whole.Data().linesRead) << piece;
        EXPECT_EQ(h.Data().recordsParsed, whole.Data().recordsParsed) << piece;
        EXPECT_EQ(h.Data().characters.Count(), whole.Data().characters.Count()) << piece;
        EXPECT_EQ(h.Named("Bob")->DamageDealt(), whole.Named("Bob")->DamageDealt()) << piece;
        EXPECT_EQ(h.host.errorsAdded, whole.host.errorsAdded) << piece;
        EXPECT_EQ(h.host.yields, 0);

        // A line still being written waits for its line end.
        WriteBytes(path, GameLine("Zed killed Rat"), true);
        EXPECT_FALSE(h.S().AnalyzeLog(path, &position));
        EXPECT_EQ(position, static_cast<int64_t>(content.size()) + 1);
        EXPECT_EQ(h.Named("Zed"), nullptr);
        WriteBytes(path, "\r\n", true);
        EXPECT_TRUE(h.S().AnalyzeLog(path, &position));
        EXPECT_NE(h.Named("Zed"), nullptr);
    }
}

TEST(Session, MissingFileTakesTheSeriousErrorPath)
{
    SessionHarness h;
    EXPECT_FALSE(h.S().AnalyzeLog(h.dir.File("absent.txt")));
    ASSERT_EQ(h.Errors().size(), 1u);
    EXPECT_EQ(
        h.Errors()[0],
        ">> ERROR:  current file [absent.txt], current record [], error 53 - File not found.");
    EXPECT_EQ(h.host.seriousErrors.size(), 1u);
    EXPECT_EQ(h.host.tabs, std::vector<MainTab>{MainTab::Errors});
}

TEST(Session, ErrorListIsLimitedAndSumsUpTheRest)
{
    SessionHarness h;
    Lines lines(ErrorList::Limit + 5, "bad");
    ASSERT_TRUE(h.S().AnalyzeLog(h.Write("log.txt", lines)));
    ASSERT_EQ(h.Errors().size(), ErrorList::Limit + 1);
    EXPECT_EQ(h.Errors().back(), "Too many problems to list: 5 more line(s) were not added.");
    EXPECT_EQ(h.host.errorsAdded.size(), ErrorList::Limit + 1);

    // A read that then fails still lists its serious error last.
    lines.push_back(GameLine("Bob : healed lots hit points."));
    EXPECT_FALSE(h.S().AnalyzeLog(h.Write("log.txt", lines)));
    ASSERT_GE(h.Errors().size(), 2u);
    EXPECT_EQ(h.Errors()[h.Errors().size() - 2],
              "Too many problems to list: 5 more line(s) were not added.");
    EXPECT_EQ(h.Errors().back(), ">> ERROR:  current file [log.txt], current record [Bob : healed "
                                 "lots hit points.], error 13 - Type mismatch.");
}

// A clock whose milliseconds move on every time it is read.
class SteppingClock final : public Clock {
public:
    DateTime Now() const override { return DateTime::FromCivil(2026, 6, 1, 12, 0, 0); }
    int64_t TickMs() const override { return tick_ += 5; }

private:
    mutable int64_t tick_ = 0;
};

TEST(Session, YieldsByTimeSliceNotPerLine)
{
    SessionHarness h;
    Lines lines(3000, GameLine("Bob killed Orc"));
    const std::string path = h.Write("log.txt", lines);
    // The clock of the harness stands still: no slice ever ends.
    ASSERT_TRUE(h.S().AnalyzeLog(path));
    EXPECT_EQ(h.host.yields, 0);

    SteppingClock clock;
    for (bool monitoring : {false, true}) {
        test::RecordingHost host;
        Session session(h.config, h.debug, clock, host);
        session.SetMonitoringEnabled(monitoring);
        ASSERT_TRUE(session.AnalyzeLog(path));
        if (monitoring) {
            EXPECT_EQ(host.yields, 0);
        } else {
            EXPECT_GE(host.yields, 1);
            EXPECT_LE(host.yields, 3000 / 64 + 1);
        }
    }
}

class Driver : public ::testing::Test {
protected:
    std::string Log(const std::string& name, const Lines& bodies)
    {
        Lines lines;
        for (const auto& body : bodies)
            lines.push_back(GameLine(body));
        return h.Write(name, lines);
    }
    SessionHarness h;
};

TEST_F(Driver, NoFilesGivesTheShortestSummary)
{
    const DriverResult result = h.S().AnalyzeSelectedLogs({});
    EXPECT_FALSE(result.aborted);
    EXPECT_EQ(result.summary, "Analyzing logs...complete.\n\n0 log file(s) analyzed in 1 "
                              "second(s).\n0 lines parsed into 0 records.");
}

TEST_F(Driver, FilesAreReadInNameOrderIgnoringCase)
{
    const std::string c = Log("c.TXT", {"Carl killed Orc"});
    const std::string b = Log("b.txt", {"Bob killed Orc", "Bob killed Orc"});
    const std::string a = Log("A.txt", {"Anna killed Orc"});
    const DriverResult result = h.S().AnalyzeSelectedLogs({c, b, a});
    EXPECT_EQ(h.host.readsStarted, (Lines{a, b, c}));
    EXPECT_EQ(result.filesAnalyzed, 3);
    EXPECT_EQ(h.Data().characters.At(1)->Name(), "Anna");
    // A run of no measurable time counts as one second.
    EXPECT_EQ(result.summary, "Analyzing logs...complete.\n\n3 log file(s) analyzed in 1 "
                              "second(s).\n4 lines parsed into 4 records (100%).\n(4 lines per "
                              "second.)");
}

TEST_F(Driver, MissingFileIsSkippedAndEmptyFileAborts)
{
    const std::string a = Log("a.txt", {"Anna killed Orc"});
    const std::string empty = h.Write("b.txt", {});
    const std::string c = Log("c.txt", {"Carl killed Orc"});
    DriverResult result = h.S().AnalyzeSelectedLogs({h.dir.File("0-gone.txt"), a, c});
    EXPECT_TRUE(result.fileMissing);
    EXPECT_FALSE(result.aborted);
    EXPECT_EQ(result.filesAnalyzed, 2);

    h.S().ClearAllData();
    h.host.readsStarted.clear();
    result = h.S().AnalyzeSelectedLogs({a, empty, c});
    EXPECT_TRUE(result.aborted);
    EXPECT_TRUE(result.summary.empty());
    EXPECT_EQ(h.host.readsStarted, (Lines{a, empty}));
    EXPECT_NE(h.Named("Anna"), nullptr);
    EXPECT_EQ(h.Named("Carl"), nullptr);
}

TEST_F(Driver, AnalysingTwiceDoesNotAccumulate)
{
    const std::string a =
        Log("a.txt", {"Anna killed Orc", "Experience Points Gained:  40", "Anna casts Sleep"});
    for (int run = 0; run < 2; ++run) {
        h.S().ClearAllData();
        ASSERT_FALSE(h.S().AnalyzeSelectedLogs({a}).aborted);
        EXPECT_EQ(h.Data().linesRead, 3);
        EXPECT_EQ(h.Data().recordsParsed, 2);
        EXPECT_EQ(h.Data().experienceTotal, 40);
        EXPECT_EQ(h.Named("Anna")->Kills(), 1);
        EXPECT_EQ(h.Named("Anna")->Spells(), 1);
        EXPECT_EQ(h.Data().knownSpells.Count(), 1);
    }
}

TEST_F(Driver, SummaryAndProgressTexts)
{
    struct Case {
        int32_t files;
        int64_t ms;
        int32_t lines;
        int32_t records;
        const char* expected;
    };
    const Case cases[] = {
        {1, 3, 1000, 250,
         "1 log file(s) analyzed in 1 second(s).\n1,000 lines parsed into 250 records (25%).\n"
         "(1000 lines per second.)"},
        {2, 2500, 5000, 1234,
         "2 log file(s) analyzed in 2.5 second(s).\n5,000 lines parsed into 1,234 records "
         "(24.7%).\n(2000 lines per second.)"},
        // Half a second rounds to 0 whole seconds (halves to even), so counts as one.
        {1, 500, 10, 1,
         "1 log file(s) analyzed in 1 second(s).\n10 lines parsed into 1 records (10%).\n(10 "
         "lines per second.)"},
        {1, 1500, 3, 1,
         "1 log file(s) analyzed in 1.5 second(s).\n3 lines parsed into 1 records (33.3%).\n(2 "
         "lines per second.)"},
        {1234, 61000, 0, 0,
         "1,234 log file(s) analyzed in 61 second(s).\n0 lines parsed into 0 records."},
    };
    for (const auto& c : cases) {
        h.Data().linesRead = c.lines;
        h.Data().recordsParsed = c.records;
        EXPECT_EQ(h.S().SummaryText(c.files, c.ms),
                  std::string("Analyzing logs...complete.\n\n") + c.expected);
    }
    h.Data().linesRead = 0;
    EXPECT_EQ(h.S().ProgressText(), "Analyzing logs...\n\n0 lines read.\n0 records parsed.");
    h.Data().linesRead = 1500;
    h.Data().recordsParsed = 300;
    EXPECT_EQ(h.S().ProgressText(), "Analyzing logs...\n\n1,500 lines read.\n300 records parsed "
                                    "(20%).");
}

class Marks : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(h.AnalyzeBodies({"Anna killed Orc", "Bob killed Orc"})); }
    const Character& C(int32_t id) { return *h.Data().characters.At(id); }
    PartyMarks& M() { return h.S().Marks(); }
    SessionHarness h;
};

TEST_F(Marks, UserCharacterAlwaysBelongsToTheParty)
{
    M().SelectUserCharacter(1);
    EXPECT_EQ(h.Data().userCharacterId, 1);
    EXPECT_TRUE(C(1).IsPartyMember());
    EXPECT_EQ(h.Data().partyMemberCount, 1);
    EXPECT_GE(h.host.partyCountChanges, 1);

    // Again: only the user mark goes.
    M().SelectUserCharacter(1);
    EXPECT_EQ(h.Data().userCharacterId, 0);
    EXPECT_TRUE(C(1).IsPartyMember());
    EXPECT_EQ(h.Data().partyMemberCount, 1);

    M().SelectUserCharacter(1);
    M().SelectUserCharacter(3);
    EXPECT_EQ(h.Data().userCharacterId, 3);
    EXPECT_TRUE(C(1).IsPartyMember());
    EXPECT_TRUE(C(3).IsPartyMember());
    EXPECT_EQ(h.Data().partyMemberCount, 2);

    // Leaving the party takes the user mark with it.
    M().TogglePartyMember(3);
    EXPECT_FALSE(C(3).IsPartyMember());
    EXPECT_EQ(h.Data().userCharacterId, 0);
    EXPECT_EQ(h.Data().partyMemberCount, 1);

    M().TogglePartyMember(2);
    EXPECT_TRUE(C(2).IsPartyMember());
    EXPECT_EQ(h.Data().userCharacterId, 0);
    EXPECT_EQ(h.Data().partyMemberCount, 2);
}

TEST_F(Marks, UnknownIdsChangeNothing)
{
    M().SelectUserCharacter(2);
    for (int32_t id : {0, -1, 4, 99}) {
        M().SelectUserCharacter(id);
        M().TogglePartyMember(id);
    }
    EXPECT_EQ(h.Data().userCharacterId, 2);
    EXPECT_EQ(h.Data().partyMemberCount, 1);
    EXPECT_EQ(h.Data().characters.Count(), 3);
}

} // namespace
} // namespace tarvik
