#include "analysis/LogReader.h"

#include "AnalysisTestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using test::TempDir;
using test::WriteBytes;

struct ReadResult {
    std::vector<std::string> lines;
    int64_t next = 0;
};

ReadResult ReadFrom(const std::string& path, int64_t position, bool hold = false)
{
    LogReader reader;
    reader.SetHoldPartialLastLine(hold);
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

TEST(LogReader, LineEndsOfEveryKindEndOneLineEach)
{
    struct Case {
        const char* name;
        std::string bytes;
        Lines expected;
    };
    const Case cases[] = {
        {"crlf", "one\r\ntwo\r\n", {"one", "two"}},
        {"lf", "one\ntwo\n", {"one", "two"}},
        {"cr", "one\rtwo\r", {"one", "two"}},
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

TEST(LogReader, PositionsAreOneBasedNextUnreadByte)
{
    TempDir dir;
    const std::string path = dir.File("log.txt");
    WriteBytes(path, "abc\r\ndef\r\nghi\r\n");
    // Starting at the 6th byte reads from "def".
    const ReadResult middle = ReadFrom(path, 6);
    EXPECT_EQ(middle.lines, (Lines{"def", "ghi"}));
    EXPECT_EQ(middle.next, 16);
    EXPECT_EQ(ReadFrom(path, -5).lines.size(), 3u);
    EXPECT_TRUE(ReadFrom(path, 16).lines.empty());
}

TEST(LogReader, LineLongerThanTheBufferComesWhole)
{
    TempDir dir;
    const std::string path = dir.File("long.txt");
    const std::string longLine(LogReader::BufferSize * 2 + 123, 'x');
    WriteBytes(path, "short\r\n" + longLine + "\r\nafter\r\n");
    const ReadResult result = ReadFrom(path, 0);
    ASSERT_EQ(result.lines.size(), 3u);
    EXPECT_EQ(result.lines[0], "short");
    EXPECT_EQ(result.lines[1], longLine);
    EXPECT_EQ(result.lines[2], "after");
}

TEST(LogReader, CrLfSplitByTheBufferIsOneLineEnd)
{
    TempDir dir;
    const std::string path = dir.File("split.txt");
    // The CR is the last byte of the first buffer, the LF the first of the next.
    const std::string first(LogReader::BufferSize - 1, 'a');
    WriteBytes(path, first + "\r\nnext\r\n");
    const ReadResult result = ReadFrom(path, 0);
    ASSERT_EQ(result.lines.size(), 2u);
    EXPECT_EQ(result.lines[0].size(), first.size());
    EXPECT_EQ(result.lines[1], "next");
}

TEST(LogReader, CrLfSplitBetweenTwoReadsIsOneLineEnd)
{
    TempDir dir;
    const std::string path = dir.File("log.txt");
    WriteBytes(path, "one\r");
    const ReadResult first = ReadFrom(path, 0, true);
    EXPECT_EQ(first.lines, Lines{"one"});
    EXPECT_EQ(first.next, 5);

    WriteBytes(path, "\ntwo\r\n", true);
    const ReadResult second = ReadFrom(path, first.next, true);
    EXPECT_EQ(second.lines, Lines{"two"});
    EXPECT_EQ(second.next, 11);
}

TEST(LogReader, HeldPartialLineIsReadWholeLater)
{
    TempDir dir;
    const std::string path = dir.File("log.txt");
    WriteBytes(path, "done\r\nhalf");
    const ReadResult held = ReadFrom(path, 0, true);
    EXPECT_EQ(held.lines, Lines{"done"});
    EXPECT_EQ(held.next, 7); // the first byte of "half"

    // One-shot reading takes the unterminated line.
    EXPECT_EQ(ReadFrom(path, 0, false).lines, (Lines{"done", "half"}));

    WriteBytes(path, " written\r\n", true);
    const ReadResult rest = ReadFrom(path, held.next, true);
    EXPECT_EQ(rest.lines, Lines{"half written"});
}

// The game appends in arbitrary pieces; following the file piece by piece
// must see exactly the lines a single read of the final file sees.
TEST(LogReader, FollowingGrowingFileMatchesOneShotRead)
{
    const std::string content = "[a] first line\r\n\r\nsecond\nthird\r\rfifth\r\nsixth";
    const std::vector<size_t> cutSets[] = {
        {1, 5, 15, 16, 17, 18, 25, 31, 32, 33, 40},
        {15},     // between a CR and its LF
        {14, 15}, // just before and inside the CR LF
        {3, 9, 17, 20, 27, 38},
    };
    TempDir dir;
    const std::string whole = dir.File("whole.txt");
    WriteBytes(whole, content + "\r\n");
    const Lines expected = ReadFrom(whole, 0).lines;

    for (const auto& cuts : cutSets) {
        const std::string path = dir.File("growing.txt");
        WriteBytes(path, "");
        Lines seen;
        int64_t position = 0;
        size_t written = 0;
        std::vector<size_t> ends = cuts;
        ends.push_back(content.size());
        for (size_t end : ends) {
            WriteBytes(path, content.substr(written, end - written), true);
            written = end;
            const ReadResult part = ReadFrom(path, position, true);
            seen.insert(seen.end(), part.lines.begin(), part.lines.end());
            position = part.next;
        }
        // The game finishes the last line.
        WriteBytes(path, "\r\n", true);
        const ReadResult last = ReadFrom(path, position, true);
        seen.insert(seen.end(), last.lines.begin(), last.lines.end());
        EXPECT_EQ(seen, expected) << "cuts starting at " << cuts.front();
        EXPECT_EQ(last.next, static_cast<int64_t>(content.size()) + 3);
    }
}

} // namespace
} // namespace tarvik
