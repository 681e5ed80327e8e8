#include "analysis/LogReader.h"

#include "AnalysisTestSupport.h"
#include "analysis/ErrorList.h"
#include "analysis/UndatedLines.h"
#include "monitor/LogList.h"
#include "util/FileUtil.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using test::GameLine;
using test::TempDir;
using test::WriteBytes;

struct ReadResult {
    std::vector<std::string> lines;
    int64_t next = 0;
};

ReadResult ReadFrom(const std::string& path, int64_t position)
{
    LogReader reader;
    ReadResult result;
    const Error error = reader.Open(path, position);
    EXPECT_FALSE(error) << error.description;
    std::string_view line;
    while (reader.NextLine(line))
        result.lines.emplace_back(line);
    EXPECT_FALSE(reader.ReadError());
    result.next = reader.NextPosition();
    return result;
}

using Lines = std::vector<std::string>;

// Paths are UTF-8 everywhere; on Windows (the tests also run under Wine) the
// system calls take them as UTF-16, so no letter is lost to a code page.
TEST(LogReader, FoldersAndLogsNamedWithAnyLettersAreListedAndRead)
{
    TempDir dir;
    // "Neverwinter Nights Ærø Журнал" and "nwclientLog1 – été.txt"
    const std::string folder =
        JoinPath(dir.Path(), "Neverwinter Nights \xC3\x86r\xC3\xB8 "
                             "\xD0\x96\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB");
    const std::string name = "nwclientLog1 \xE2\x80\x93 \xC3\xA9t\xC3\xA9.txt";
    ASSERT_FALSE(CreateFolders(folder));
    ASSERT_FALSE(WriteFileAtomically(JoinPath(folder, name), "one\r\ntwo\r\n"));
    EXPECT_TRUE(IsDirectory(folder));

    const auto logs = ListLogs(folder, "nwclientLog*.txt");
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(logs[0].name, name);
    const ReadResult read = ReadFrom(JoinPath(folder, logs[0].name), 0);
    EXPECT_EQ(read.lines, (Lines{"one", "two"}));

    const std::string copy = JoinPath(folder, "\xC3\xB8.bak");
    ASSERT_FALSE(CopyFile(JoinPath(folder, name), copy));
    std::string contents;
    ASSERT_FALSE(ReadWholeFile(copy, contents));
    EXPECT_EQ(contents, "one\r\ntwo\r\n");
    ASSERT_FALSE(AppendToFile(copy, "three\r\n"));
    EXPECT_EQ(ReadFrom(copy, read.next).lines, (Lines{"three"}));
}

TEST(LogReader, LineEndsOfEveryKindEndOneLineEach)
{
    struct Case {
        const char* name;
        std::string bytes;
        Lines expected;
    };
    const Case cases[] = {
        {"mixed", "one\r\ntwo\nthree\rfour", {"one", "two", "three", "four"}},
        {"blank lines", "\r\n\r\nx\n\n", {"", "", "x", ""}},
        {"cr then crlf", "a\r\r\nb", {"a", "", "b"}},
        {"no line end", "last", {"last"}},
        {"empty", "", {}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const std::string path = dir.File("log.txt");
        WriteBytes(path, c.bytes);
        const ReadResult result = ReadFrom(path, 0);
        EXPECT_EQ(result.lines, c.expected) << c.name;
        EXPECT_EQ(result.next, static_cast<int64_t>(c.bytes.size()) + 1) << c.name;
    }
}

TEST(LogReader, LinesAcrossBufferBoundaries)
{
    TempDir dir;
    const std::string path = dir.File("long.txt");
    // The CR is the last byte of the first buffer, the LF the first of the next.
    const std::string filler = std::string(LogReader::MaxLineLength, 'f') + "\n";
    const size_t fillers = LogReader::BufferSize / filler.size();
    std::string first(LogReader::BufferSize - 1 - fillers * filler.size(), 'a');
    std::string bytes;
    for (size_t i = 0; i < fillers; ++i)
        bytes += filler;
    const std::string longest(LogReader::MaxLineLength, 'x');
    WriteBytes(path, bytes + first + "\r\n" + longest + "\r\nafter\r\n");
    const Lines lines = ReadFrom(path, 0).lines;
    ASSERT_EQ(lines.size(), fillers + 3);
    EXPECT_EQ(Lines(lines.end() - 3, lines.end()), (Lines{first, longest, "after"}));
}

// A line longer than the limit is handed out cut, once, and reading goes on
// after its line end; memory never follows the line's length.
TEST(LogReader, OverlongLinesAreCutAndTheirRestSkipped)
{
    const size_t max = LogReader::MaxLineLength;
    const std::string cut(max, 'x');
    struct Case {
        const char* name;
        std::string bytes;
        Lines expected;
        std::vector<bool> wasCut;
        bool hold = false;
    };
    const Case cases[] = {
        {"longer by one", cut + "y\nnext", {cut, "next"}, {true, false}},
        // Buffers long, skipped buffer by buffer; its CR ends the third.
        {"megabytes",
         std::string(LogReader::BufferSize * 3 - 1, 'x') + "\r\nnext\r\n",
         {cut, "next"},
         {true, false}},
        {"cr at a buffer's end",
         std::string(LogReader::BufferSize - 1, 'x') + "\r\nnext",
         {cut, "next"},
         {true, false}},
        {"no line end at all", std::string(LogReader::BufferSize * 2, 'x'), {cut}, {true}},
        {"still being written", std::string(max * 2, 'x'), {cut}, {true}, true},
        {"cut twice", cut + "y\r" + cut + "z\r\n\n", {cut, cut, ""}, {true, true, false}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const std::string path = dir.File("log.txt");
        WriteBytes(path, c.bytes);
        LogReader reader;
        reader.SetHoldPartialLastLine(c.hold);
        ASSERT_FALSE(reader.Open(path, 0)) << c.name;
        Lines lines;
        std::vector<bool> wasCut;
        std::string_view line;
        while (reader.NextLine(line)) {
            lines.emplace_back(line);
            wasCut.push_back(reader.LineWasCut());
        }
        EXPECT_EQ(lines, c.expected) << c.name;
        EXPECT_EQ(wasCut, c.wasCut) << c.name;
        EXPECT_EQ(reader.NextPosition(), static_cast<int64_t>(c.bytes.size()) + 1) << c.name;
    }
}

// Only regular files are opened: a pipe would block until someone writes.
// Text saved as UTF-16 is refused at once, wherever the read starts.
TEST(LogReader, RefusesPipesFoldersAndUtf16)
{
    TempDir dir;
    const std::string pipe = dir.File("pipe.txt");
    const bool havePipe = test::MakePipe(pipe);
    const std::string utf16 = dir.File("utf16.txt");
    const char text[] = "[\0C\0H\0A\0T\0]\0 \0[\0W\0e\0d\0";
    WriteBytes(utf16, std::string(text, sizeof text - 1));
    const std::pair<std::string, int64_t> cases[] = {
        {pipe, 0}, {dir.Path(), 0}, {utf16, 0}, {utf16, 9}};
    for (const auto& [path, position] : cases) {
        if (path == pipe && !havePipe)
            continue;
        LogReader reader;
        const Error error = reader.Open(path, position);
        EXPECT_EQ(error.number, path == utf16 ? Errors::InvalidFileFormat : Errors::PathFileAccess)
            << path;
        std::string_view line;
        EXPECT_FALSE(reader.NextLine(line));
    }
}

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
