#include "analysis/LogReader.h"

#include "AnalysisTestSupport.h"
#include "monitor/LogList.h"
#include "util/FileUtil.h"

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

} // namespace
} // namespace tarvik
