#include "AnalysisTestSupport.h"
#include "analysis/DateParser.h"
#include "ui/StatusTexts.h"
#include "util/Encoding.h"
#include "util/NumberFormat.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using test::GameLine;
using test::SessionHarness;
using test::WriteBytes;
using Lines = std::vector<std::string>;

// Counters and characters are compared after clearing in the monitor tests.
TEST(Session, ClearAllDataForgetsEverythingAnalysed)
{
    SessionHarness h;
    h.S().SetMonitoringEnabled(true);
    ASSERT_TRUE(h.AnalyzeBodies({"Bob casts Sleep", "Experience Points Gained:  50"}));
    h.S().Marks().SelectUserCharacter(CharacterId(1));
    ASSERT_TRUE(h.AnalyzeBodies({"Bob attacks Orc : *target concealed: 20%* : (1 + 7 = 8)",
                                 "Orc killed Bob", "Bob waves at Orc"},
                                "Mon Jun  1 11:58:00"));
    ASSERT_FALSE(h.Errors().empty());
    MonitorPosition& monitor = h.S().Monitor();
    monitor.logNumber = 3;
    monitor.position = 1234;
    monitor.logs.resize(2);
    monitor.followed = 2;
    ASSERT_EQ(h.S().RealTime().FugueTimerCount(), 1u);

    h.S().ClearAllData();
    const AnalysisData& d = h.Data();
    EXPECT_EQ(d.knownSpells.Count(), 0);
    EXPECT_EQ(d.partyMemberCount, 0);
    EXPECT_EQ(d.earliestRecordDate, h.clock.Now().AddYears(1));
    EXPECT_EQ(d.latestRecordDate, DateTime());
    // A follower then reads every log again from its start.
    EXPECT_TRUE(monitor.logNumber == 0 && monitor.position == 0 && monitor.logs.empty() &&
                monitor.followed == 0);
    EXPECT_EQ(h.S().RealTime().LastConcealment(), 0);
    EXPECT_TRUE(h.Samples(true).empty());
    EXPECT_TRUE(h.Errors().empty());
    // Fugue timers run on: only switching monitoring clears them.
    EXPECT_EQ(h.S().RealTime().FugueTimerCount(), 1u);
    EXPECT_EQ(h.host.dataClears, 1);

    // IDs are given anew: a name met before the clear is not taken for the
    // character that now holds its old ID.
    ASSERT_TRUE(h.AnalyzeBodies({"Orc killed Bob"}, "Mon Jun  1 12:30:00"));
    ASSERT_EQ(d.characters.Count(), 2);
    EXPECT_EQ(d.characters.At(CharacterId(1))->Name(), "Orc");
    EXPECT_EQ(d.characters.At(CharacterId(1))->Kills(), 1);
    EXPECT_EQ(d.characters.At(CharacterId(2))->Name(), "Bob");
    EXPECT_EQ(d.characters.At(CharacterId(2))->Deaths(), 1);
}

// The extremes, not the first and the last line.
TEST(Session, EarliestAndLatestRecordDates)
{
    SessionHarness h;
    const Lines lines = {GameLine("a", "Wed Jun 04 23:27:01"), GameLine("b", "Mon Jun  2 08:00:00"),
                         GameLine("c", "Sat Jul 12 13:05:09"),
                         GameLine("d", "Thu Jun 05 00:00:00")};
    ASSERT_TRUE(h.S().AnalyzeLog(h.Write("log.txt", lines)));
    EXPECT_EQ(h.host.recordDates, (std::vector<std::pair<std::string, std::string>>{
                                      {"06/02/2025 08:00:00 AM", "07/12/2025 01:05:09 PM"}}));
}

// The year of a line: the session header above it, else the latest year in
// which its day has its weekday, not after the file was last written; never
// after tomorrow.
TEST(SessionDates, YearFromHeaderOrWeekdayNeverAfterTheFileWasWritten)
{
    const Lines newYearsEve = {"",
                               "--------------------------------------------------",
                               "Messages for: Wed Dec 31 19:21:48 2025",
                               "--------------------------------------------------",
                               GameLine("Bob killed Orc", "Wed Dec 31 23:59:58"),
                               GameLine("Bob killed Orc", "Thu Jan  1 00:00:05")};
    struct Case {
        const char* what;
        DateTime today;
        DateTime written;
        Lines lines;
        const char* earliest;
        const char* latest;
    };
    const DateTime june2026 = DateTime::FromCivil(2026, 6, 1, 12, 0, 0);
    const DateTime september2030 = DateTime::FromCivil(2030, 9, 1, 12, 0, 0);
    const Case cases[] = {
        {"a session across New Year's Eve", june2026, DateTime::FromCivil(2026, 1, 1, 0, 1, 0),
         newYearsEve, "12/31/2025 11:59:58 PM", "01/01/2026 12:00:05 AM"},
        {"29 February in a year without one",
         june2026,
         june2026,
         {GameLine("Bob killed Orc", "Thu Feb 29 10:00:00")},
         "02/29/2024 10:00:00 AM",
         "02/29/2024 10:00:00 AM"},
        {"a 31 December log read on 2 January",
         DateTime::FromCivil(2026, 1, 2, 9, 0, 0),
         DateTime::FromCivil(2025, 12, 31, 23, 0, 0),
         {GameLine("Bob killed Orc", "Wed Dec 31 19:21:48")},
         "12/31/2025 07:21:48 PM",
         "12/31/2025 07:21:48 PM"},
        {"last year's log without a header",
         june2026,
         DateTime::FromCivil(2025, 3, 1, 0, 0, 0),
         {GameLine("Bob killed Orc", "Tue Jan 14 19:48:11")},
         "01/14/2025 07:48:11 PM",
         "01/14/2025 07:48:11 PM"},
        {"no weekday: the year before the file was written",
         june2026,
         june2026,
         {GameLine("Bob killed Orc", "Xyz Jun 04 10:00:00")},
         "06/04/2025 10:00:00 AM",
         "06/04/2025 10:00:00 AM"},
        // A file written "in the future" counts as written tomorrow.
        {"a file from the future: the weekday's latest year up to tomorrow",
         june2026,
         september2030,
         {GameLine("Bob killed Orc", "Tue Dec  7 21:00:00")},
         "12/07/2021 09:00:00 PM",
         "12/07/2021 09:00:00 PM"},
        {"a file from the future: tomorrow itself",
         june2026,
         september2030,
         {GameLine("Bob killed Orc", "Tue Jun  2 09:00:00")},
         "06/02/2026 09:00:00 AM",
         "06/02/2026 09:00:00 AM"},
        {"a file from the future, no weekday",
         june2026,
         september2030,
         {GameLine("Bob killed Orc", "Xyz Jun 04 10:00:00")},
         "06/04/2025 10:00:00 AM",
         "06/04/2025 10:00:00 AM"},
        {"the day written after the time of day",
         june2026,
         june2026,
         {GameLine("Bob killed Orc", "Thu 10:00:00 Jun 04")},
         "06/04/2020 10:00:00 AM",
         "06/04/2020 10:00:00 AM"},
        {"a session header from the future",
         june2026,
         june2026,
         {"Messages for: Sun Sep  1 10:00:00 2030",
          GameLine("Bob killed Orc", "Sun Sep  1 10:00:05")},
         "09/01/2024 10:00:05 AM",
         "09/01/2024 10:00:05 AM"},
    };
    for (const Case& c : cases) {
        SessionHarness h(test::ExampleConfig(), c.today);
        h.config.format.sessionHeader = "Messages for:";
        const std::string path = h.Write("log.txt", c.lines);
        test::SetModifiedLocal(path, c.written);
        ASSERT_TRUE(h.S().AnalyzeLog(path)) << c.what;
        EXPECT_EQ(h.Data().earliestRecordDate.Format(), c.earliest) << c.what;
        EXPECT_EQ(h.Data().latestRecordDate.Format(), c.latest) << c.what;
        const auto kills =
            std::count_if(c.lines.begin(), c.lines.end(), [](const std::string& line) {
                return line.find("killed") != std::string::npos;
            });
        EXPECT_EQ(h.Named("Orc")->Deaths(), kills) << c.what;
    }
}

// While monitoring, a read that goes on in the middle of a log still knows
// the session header above it.
TEST(SessionDates, CursorCarriesTheSessionHeaderToTheNextRead)
{
    SessionHarness h;
    h.config.format.sessionHeader = "Messages for:";
    const std::string path =
        h.Write("log.txt", {"Messages for: Wed Dec 31 19:21:48 2025",
                            GameLine("Bob killed Orc", "Wed Dec 31 23:59:58")});
    LogCursor cursor;
    ASSERT_TRUE(h.S().AnalyzeLog(path, cursor));
    EXPECT_EQ(cursor.sessionStart, DateTime::FromCivil(2025, 12, 31));
    WriteBytes(path, GameLine("Bob killed Orc", "Thu Jan  1 00:00:05") + "\r\n", true);
    ASSERT_TRUE(h.S().AnalyzeLog(path, cursor));
    EXPECT_EQ(h.Data().latestRecordDate.Format(), "01/01/2026 12:00:05 AM");
}

// A line too long to keep, written while Tarvik follows the log, counts as
// one line however the writes cut it, as in a read of the whole file.
TEST(Session, OverlongLineSplitAcrossReadsCountsOnce)
{
    const std::string before = GameLine("Bob killed Orc") + "\r\n";
    const std::string overlong = std::string(LogReader::MaxLineLength + 30'000, 'x') + "\r\n";
    const std::string after = GameLine("Ann killed Orc") + "\r\n";
    const std::string bytes = before + overlong + after;
    const size_t longStart = before.size();
    const size_t longEnd = longStart + overlong.size() - 2; // where its CR is
    struct Case {
        const char* what;
        std::vector<size_t> cuts; // where each read stops
    };
    const Case cases[] = {
        {"whole", {}},
        {"within what is kept", {longStart + 1000}},
        {"right after what is kept", {longStart + LogReader::MaxLineLength + 1}},
        {"in the rest", {longStart + LogReader::MaxLineLength + 20'000}},
        {"in the rest twice",
         {longStart + LogReader::MaxLineLength + 10, longStart + LogReader::MaxLineLength + 90}},
        {"between its CR and LF", {longEnd + 1}},
        {"at its line end", {longEnd + 2}},
    };
    SessionHarness once;
    const std::string whole = once.Write("log.txt", {});
    WriteBytes(whole, bytes);
    ASSERT_TRUE(once.S().AnalyzeLog(whole));
    ASSERT_EQ(once.Data().linesRead, 3);
    ASSERT_EQ(once.Errors().size(), 1u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SessionHarness h;
        h.S().SetMonitoringEnabled(true);
        const std::string path = h.Write("log.txt", {});
        LogCursor cursor;
        size_t written = 0;
        for (const size_t cut : c.cuts) {
            WriteBytes(path, bytes.substr(written, cut - written), true);
            written = cut;
            h.S().AnalyzeLog(path, cursor);
        }
        WriteBytes(path, bytes.substr(written), true);
        ASSERT_TRUE(h.S().AnalyzeLog(path, cursor));
        EXPECT_EQ(cursor.position, static_cast<int64_t>(bytes.size()) + 1);
        EXPECT_FALSE(cursor.insideCutLine);
        EXPECT_EQ(h.Data().linesRead, once.Data().linesRead);
        EXPECT_EQ(h.Errors(), once.Errors());
        ASSERT_NE(h.Named("Ann"), nullptr);
        EXPECT_EQ(h.Named("Ann")->Kills(), 1);
    }
}

// Positions count from 1; a read that finds nothing new reports no data.
TEST(Session, PositionAfterReadingAndNothingNew)
{
    SessionHarness h;
    const std::string path = h.Write("log.txt", {GameLine("Bob killed Orc"), GameLine("x")});
    const auto end = static_cast<int64_t>(std::filesystem::file_size(path)) + 1;
    int64_t position = 0;
    EXPECT_TRUE(h.S().AnalyzeLog(path, &position));
    EXPECT_EQ(position, end);
    EXPECT_FALSE(h.S().AnalyzeLog(path, &position));
    EXPECT_EQ(position, end);
    EXPECT_EQ(h.Data().linesRead, 2);
}

TEST(Session, MissingFileTakesTheSeriousErrorPath)
{
    SessionHarness h;
    EXPECT_FALSE(h.S().AnalyzeLog(h.dir.File("absent.txt")));
    EXPECT_EQ(h.Errors(), Lines{">> ERROR:  current file [absent.txt], current record [], error "
                                "53 - File not found."});
    EXPECT_EQ(h.host.seriousErrors.size(), 1u);
}

TEST(Session, ErrorListIsLimitedAndSumsUpTheRest)
{
    SessionHarness h;
    Lines lines(ErrorList::Limit + 5, "bad");
    // A read that then fails still lists its serious error last.
    lines.push_back(GameLine("Bob : healed lots hit points."));
    EXPECT_FALSE(h.S().AnalyzeLog(h.Write("log.txt", lines)));
    ASSERT_EQ(h.Errors().size(), ErrorList::Limit + 2);
    EXPECT_EQ(h.Errors()[ErrorList::Limit],
              "Too many problems to list: 5 more line(s) were not added.");
    EXPECT_EQ(h.Errors().back(), ">> ERROR:  current file [log.txt], current record [Bob : healed "
                                 "lots hit points.], error 13 - Type mismatch.");
}

// A long line is quoted in part; the ellipsis is written in the encoding the
// line is shown in (Windows-1252: tests/golden/bad_input.py), and UTF-8 is
// never cut inside a character.
TEST(Session, LongBadLinesAreQuotedAndStillDisplayRight)
{
    const std::string a999(ErrorList::QuotedBytes - 1, 'a');
    struct Case {
        const char* name;
        std::string line;
        std::string shown; // as UTF-8, the way the window and tarvik-cli show it
    };
    const Case cases[] = {
        {"short", "caf\xE9", "caf\xC3\xA9"},
        {"ascii", a999 + "bc", a999 + "b\xE2\x80\xA6"},
        {"utf-8 cut before", a999 + "\xC3\xA9z", a999 + "\xE2\x80\xA6"},
        {"utf-8 kept whole", "\xC3\xA9" + a999, "\xC3\xA9" + a999.substr(1) + "\xE2\x80\xA6"},
    };
    for (const auto& c : cases) {
        ErrorList list;
        list.SetSource("log.txt");
        list.Add("Invalid/missing date, discarded: ", c.line);
        ASSERT_EQ(list.Size(), 1u);
        EXPECT_EQ(DisplayText(list.Lines()[0]),
                  "log.txt: Invalid/missing date, discarded: " + c.shown)
            << c.name;
    }
}

// Lines of the longest quoted kind fill the list to its byte limit, not beyond.
TEST(Session, ErrorListHoldsAtMostItsByteLimit)
{
    ErrorList list;
    const std::string line(5000, 'x');
    for (int i = 0; i < 10'000; ++i)
        list.Add("Invalid/missing date, discarded: ", line);
    list.Close();
    size_t bytes = 0;
    for (const auto& listed : list.Lines())
        bytes += listed.size();
    EXPECT_LE(bytes, ErrorList::ByteLimit + 100);
    EXPECT_GT(bytes, ErrorList::ByteLimit - 2 * ErrorList::QuotedBytes);
    const size_t listed = list.Size() - 1;
    EXPECT_EQ(list.Lines().back(), "Too many problems to list: " +
                                       FormatThousands(static_cast<int64_t>(10'000 - listed)) +
                                       " more line(s) were not added.");
}

// A clock whose milliseconds move on every time it is read.
class SteppingClock final : public Clock {
public:
    DateTime Now() const override { return DateTime::FromCivil(2026, 6, 1, 12, 0, 0); }
    int64_t TickMs() const override { return tick_ += 5; }

private:
    mutable int64_t tick_ = 0;
};

TEST(Session, YieldsByTimeSliceNotPerLineAndNeverWhileMonitoring)
{
    SessionHarness h;
    const std::string path = h.Write("log.txt", Lines(3000, GameLine("Bob killed Orc")));
    SteppingClock clock;
    for (bool monitoring : {false, true}) {
        test::RecordingHost host;
        Session session(h.config, h.debug, clock, host);
        session.SetMonitoringEnabled(monitoring);
        ASSERT_TRUE(session.AnalyzeLog(path));
        EXPECT_GE(host.yields, monitoring ? 0 : 1);
        EXPECT_LE(host.yields, monitoring ? 0 : 3000 / 64 + 1);
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

TEST_F(Driver, FilesAreReadInNameOrderIgnoringCase)
{
    const std::string c = Log("c.TXT", {"Carl killed Orc"});
    const std::string b = Log("b.txt", {"Bob killed Orc", "Bob killed Orc"});
    const std::string a = Log("A.txt", {"Anna killed Orc"});
    h.S().AnalyzeSelectedLogs({c, b, a});
    EXPECT_EQ(h.host.readsStarted, (Lines{a, b, c}));
}

// A missing file is skipped quietly and an empty file stops the run with its
// reason; folders and pipes are checked by tests/golden/bad_input.py.
TEST_F(Driver, MissingFileIsSkippedAndEmptyFileAborts)
{
    const std::string a = Log("a.txt", {"Anna killed Orc"});
    const std::string empty = h.Write("b.txt", {});
    const std::string c = Log("c.txt", {"Carl killed Orc"});
    DriverResult result = h.S().AnalyzeSelectedLogs({h.dir.File("0-gone.txt"), a, c});
    EXPECT_EQ(result.missing, Lines{h.dir.File("0-gone.txt") + " was not found and was skipped."});
    EXPECT_FALSE(result.aborted);
    EXPECT_EQ(result.filesAnalyzed, 2);
    EXPECT_TRUE(result.skipped.empty());
    EXPECT_EQ(StopReasonText(result), "");

    h.S().ClearAllData();
    h.host.readsStarted.clear();
    result = h.S().AnalyzeSelectedLogs({a, empty, c});
    EXPECT_TRUE(result.aborted);
    EXPECT_FALSE(result.seriousError);
    EXPECT_EQ(StopReasonText(result), "Log file [b.txt] holds no lines; the analysis stopped.");
    EXPECT_EQ(h.host.readsStarted, (Lines{a, empty}));
    EXPECT_EQ(h.Named("Carl"), nullptr);
}

TEST(Marks, UserCharacterAlwaysBelongsToTheParty)
{
    SessionHarness h;
    ASSERT_TRUE(h.AnalyzeBodies({"Anna killed Orc", "Bob killed Orc"}));
    PartyMarks& marks = h.S().Marks();
    // Members by id, then the user's id, then the member count.
    const auto state = [&] {
        std::vector<int32_t> result;
        for (int32_t id = 1; id <= 3; ++id) {
            if (h.Data().characters.At(CharacterId(id))->IsPartyMember())
                result.push_back(id);
        }
        result.push_back(h.Data().userCharacterId.value());
        result.push_back(h.Data().partyMemberCount);
        return result;
    };
    marks.SelectUserCharacter(CharacterId(1));
    EXPECT_EQ(state(), (std::vector<int32_t>{1, 1, 1}));
    marks.SelectUserCharacter(CharacterId(1)); // again: only the user mark goes
    EXPECT_EQ(state(), (std::vector<int32_t>{1, 0, 1}));
    marks.SelectUserCharacter(CharacterId(3));
    EXPECT_EQ(state(), (std::vector<int32_t>{1, 3, 3, 2}));
    marks.TogglePartyMember(CharacterId(3)); // leaving the party takes the user mark with it
    EXPECT_EQ(state(), (std::vector<int32_t>{1, 0, 1}));
    marks.TogglePartyMember(CharacterId(2));
    marks.SelectUserCharacter(CharacterId(2));
    for (int32_t id : {0, -1, 4}) {
        marks.SelectUserCharacter(CharacterId(id));
        marks.TogglePartyMember(CharacterId(id));
    }
    EXPECT_EQ(state(), (std::vector<int32_t>{1, 2, 2, 2}));
    EXPECT_EQ(h.Data().characters.Count(), 3);
}

TEST(DateText, AcceptedForms)
{
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        // The padded day of the Enhanced Edition, with the year after the pad.
        {"Aug  2026 3 20:02:50", "08/03/2026 08:02:50 PM"},
        {"Feb 29 2028 23:59:59", "02/29/2028 11:59:59 PM"},
        {"Feb 29 2000 06:00:00", "02/29/2000 06:00:00 AM"},
    };
    for (const auto& c : cases) {
        DateTime date;
        ASSERT_TRUE(ParseDateText(c.text, date)) << c.text;
        EXPECT_EQ(date.Format(), c.expected) << c.text;
    }
}

TEST(DateText, RejectedForms)
{
    const char* cases[] = {
        "Apr 31 2026 10:00:00", // April has 30 days
        "Feb 29 2026 10:00:00", // not a leap year
        "Feb 29 2100 10:00:00", // centuries are not leap years unless divisible by 400
        "Jun 00 2026 10:00:00",  "Jun 04 2026 24:00:00",    "Jun 04 2026 23:60:00",
        "Jun 04 2026 23:27", // seconds are required
        "Jun 04 23:27:01",   // no year
        "Jun 2026 23:27:01", // no day
        "Junx 04 2026 23:27:01", "Jun 04 05 2026 23:27:01", "Jun 4th 2026 23:27:01", "",
    };
    for (const char* text : cases) {
        DateTime date;
        EXPECT_FALSE(ParseDateText(text, date)) << text;
    }
}

} // namespace
} // namespace tarvik
