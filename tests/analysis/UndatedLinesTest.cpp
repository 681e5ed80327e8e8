#include "analysis/UndatedLines.h"

#include "AnalysisTestSupport.h"
#include "analysis/ErrorList.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using test::GameLine;

constexpr const char* Stamp = "Wed Jun 04 23:27:01";
constexpr const char* Header = "Messages for: Wed Jun 04 23:00:00 2025";
constexpr const char* Rule = "--------------------------------------------------";

// One line of a log and how the error list must take it: an undated line is
// listed with its class; a dated line is listed only when it is a problem.
struct LogLine {
    std::string text;
    bool dated = false;
    std::optional<LineClass> listed;
};

LogLine U(std::string text, LineClass lineClass)
{
    return {std::move(text), false, lineClass};
}
LogLine D(const std::string& body)
{
    return {GameLine(body, Stamp), true, std::nullopt};
}
LogLine DatedProblem(const std::string& body)
{
    return {GameLine(body, Stamp), true, LineClass::Problem};
}

// Each line stands alone: every undated line is listed, in arrival order,
// with its own text, whatever is around it; only its class differs.
TEST(UndatedLines, EachLineIsListedAloneInOrderWithItsClass)
{
    using C = LineClass;
    struct Case {
        const char* name;
        std::vector<LogLine> lines;
    };
    const Case cases[] = {
        {"session header at the top",
         {U("", C::Blank), U(Rule, C::SessionHeader), U(Header, C::SessionHeader),
          U(Rule, C::SessionHeader), D("Bob casts Sleep")}},
        {"a session header ends the message above it",
         {D(""), U("Plane Hell Wurm is immune to to FEAR effects", C::Continuation),
          U("", C::Blank), U(Rule, C::SessionHeader), U(Header, C::SessionHeader),
          U(Rule, C::SessionHeader), U("nothing above continues", C::Problem),
          D("Bob casts Sleep")}},
        {"engine lines at the top and between records",
         {U("nwsync: reconfigured successfully", C::Engine),
          U("Game is using local port: 59364", C::Engine), D("Bob casts Sleep"),
          U("Connection to 168.61.183.9:5121 switching relayed mode: 0->1", C::Engine),
          U("*** ValidateGFFResource sent by user.", C::Engine)}},
        {"chat written a second time without a stamp",
         {D("Smith Smurf: [Party] hi"), U("Smith Smurf: [Party]  hi ", C::ChatDuplicate),
          D("Durga : [Tell] hi there"), U("[Karesz] Durga : [Tell]  hi there", C::ChatDuplicate),
          D("Xin'thah Moragh: Send Request"),
          U("[Halgroth] Xin'thah Moragh: [Talk] Send Request ", C::ChatDuplicate)}},
        {"a message over several lines, blanks and rows within",
         {D(""), U("Plane Hell Wurm is immune to to FEAR effects", C::Continuation),
          U("BEST RESULT: 19", C::Continuation), U("", C::Blank), U("++++++++", C::Continuation),
          U("---------------------------", C::Continuation),
          U("251 of 2   Cotton", C::Continuation), D("Tailor's Table: "),
          U("Healing Kit +1", C::Continuation)}},
        {"a row is a header's only before its dated line",
         {D(""), U("Components available/required...", C::Continuation),
          U("-----", C::Continuation), U("", C::Blank), U("-----", C::Continuation)}},
        {"problems",
         {U("text before any dated line", C::Problem), U("-----", C::Problem), D("Bob casts Sleep"),
          U("[CHAT WINDOW TEXT] [Wed Jun 04 31:99:99] an impossible time", C::Problem),
          U("what follows a broken line continues nothing", C::Problem), D("Bob casts Sleep"),
          U("[CHAT WINDOW TEXT] [Wed Jun 0", C::Problem), D("Bob casts Sleep"),
          U(std::string("a \0 byte", 8), C::Problem), DatedProblem("Thessaly attacks"),
          U("", C::Blank)}},
    };
    const AnalysisConfig config = test::ShippedAnalysisConfig();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::SessionHarness h(config);
        std::vector<std::string> text;
        std::vector<std::optional<std::string>> expectedLines;
        std::vector<LineClass> expectedClasses;
        for (const LogLine& line : c.lines) {
            text.push_back(line.text);
            if (!line.listed)
                continue;
            expectedClasses.push_back(*line.listed);
            expectedLines.push_back(
                line.dated ? std::nullopt
                           : std::optional<std::string>(
                                 "log.txt: Invalid/missing date, discarded: " + line.text));
        }
        ASSERT_TRUE(h.S().AnalyzeLog(h.Write("log.txt", text)));
        EXPECT_TRUE(h.host.seriousErrors.empty());
        const ErrorList& errors = h.S().Errors();
        ASSERT_EQ(errors.Classes(), expectedClasses);
        ASSERT_EQ(errors.Lines().size(), expectedLines.size());
        for (size_t i = 0; i < expectedLines.size(); ++i) {
            if (expectedLines[i]) {
                EXPECT_EQ(errors.Lines()[i], *expectedLines[i]) << i;
            }
        }
        LineCounts counts;
        for (const LineClass lineClass : expectedClasses)
            ++counts[lineClass];
        EXPECT_EQ(errors.Counts().byClass, counts.byClass);
    }
}

struct Told {
    std::string text;
    std::string datedLine;
    std::string datedBody;
    DateTime date;
    bool operator==(const Told&) const = default;
};

class RecordingSink : public ContinuationSink {
public:
    void Continuation(const ContinuationLine& line) override
    {
        told.push_back({std::string(line.text), std::string(line.datedLine),
                        std::string(line.datedBody), line.date});
    }
    std::vector<Told> told;
};

// Continuations reach the recorder as facts of their own, with the dated
// line they follow; nothing else that is undated does.
TEST(UndatedLines, ContinuationsAreToldWithTheDatedLineTheyFollow)
{
    const AnalysisConfig config = test::ShippedAnalysisConfig();
    const DateTime first = DateTime::FromCivil(2025, 6, 4, 23, 27, 1);
    const DateTime second = DateTime::FromCivil(2025, 6, 4, 23, 27, 5);
    const std::string empty = GameLine("", Stamp);
    const std::string table = GameLine("Tailor's Table: ", Stamp);
    ErrorList errors;
    RecordingSink sink;
    UndatedLines undated(config.format, errors, sink);

    undated.Dated(empty, {}, first);
    for (const char* line : {"  Plane Hell Wurm is immune to to FEAR effects ", "",
                             "Bob: [Party] x", "nwsync: reconfigured successfully", "-----"})
        undated.Undated(line);
    const std::string_view body = std::string_view(table).substr(41, 15);
    undated.Dated(table, body, second); // the row held back is listed first
    undated.Undated("Healing Kit +1");
    undated.Finish();

    const std::vector<Told> expected = {
        {"Plane Hell Wurm is immune to to FEAR effects", empty, "", first},
        {"-----", empty, "", first},
        {"Healing Kit +1", table, "Tailor's Table:", second},
    };
    EXPECT_EQ(sink.told, expected);
    EXPECT_EQ(errors.Classes(),
              (std::vector<LineClass>{LineClass::Continuation, LineClass::Blank,
                                      LineClass::ChatDuplicate, LineClass::Engine,
                                      LineClass::Continuation, LineClass::Continuation}));
}

// Reading on in the same log keeps what the lines above were; another log,
// or the same read again from its start, begins with nothing above.
TEST(UndatedLines, ReadingOnKeepsTheMessageAnotherLogStartsAfresh)
{
    struct Case {
        const char* name;
        bool sameFile;
        LineClass expected;
    };
    const Case cases[] = {
        {"the same log, read on", true, LineClass::Continuation},
        {"another log", false, LineClass::Problem},
    };
    const AnalysisConfig config = test::ShippedAnalysisConfig();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::SessionHarness h(config);
        h.S().SetMonitoringEnabled(true);
        const std::string path = h.Write("log.txt", {GameLine("", Stamp)});
        LogCursor cursor;
        ASSERT_TRUE(h.S().AnalyzeLog(path, cursor));
        const std::string more = "Plane Hell Wurm is immune to to FEAR effects";
        if (c.sameFile) {
            test::WriteBytes(path, more + "\r\n", true);
            ASSERT_TRUE(h.S().AnalyzeLog(path, cursor));
        } else {
            LogCursor other;
            ASSERT_TRUE(h.S().AnalyzeLog(h.Write("other.txt", {more}), other));
        }
        EXPECT_EQ(h.S().Errors().Classes(), std::vector<LineClass>{c.expected});
    }
}

} // namespace
} // namespace tarvik
