#pragma once

#include "util/Error.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace tarvik {

// Reads a log file line by line from a byte position with large buffered
// reads. Lines end with CR LF, CR or LF. Positions are 1-based: the position
// of the next unread byte, so a file of n bytes read to its end gives n + 1.
// The file is open only while the reader lives. Memory stays fixed whatever
// the file holds: a line longer than MaxLineLength is handed out cut.
class LogReader {
public:
    static constexpr size_t BufferSize = 1 << 20;
    // Far above any line the game writes.
    static constexpr size_t MaxLineLength = 64 * 1024;

    LogReader() = default;
    ~LogReader();
    LogReader(const LogReader&) = delete;
    LogReader& operator=(const LogReader&) = delete;

    // Opens path and moves to position (0 or less: the start). A CR LF pair
    // split by the previous read is not taken for an empty line. Only regular
    // files are opened (a pipe would block), and text that starts the way
    // UTF-16 does is refused: it is not a log in the game's encoding.
    // insideCutLine: the previous read stopped inside a line it had handed
    // out cut (InsideCutLine); the rest of that line is skipped.
    Error Open(const std::string& path, int64_t position, bool insideCutLine = false);

    // When set, a last line that has no line end yet is left unread, so that
    // a line the game is still writing is read whole later.
    void SetHoldPartialLastLine(bool hold) { holdPartial_ = hold; }

    // The next line without its line end; false at the end of the file or on
    // a read error (see ReadError). The view lives until the next call.
    // A longer line yields its first MaxLineLength bytes; the rest of it, to
    // its line end, is skipped by the next call.
    bool NextLine(std::string_view& line);
    // True when the last line handed out was cut.
    bool LineWasCut() const { return lineCut_; }
    // True when the data ended inside the rest of a cut line: a read that goes
    // on from NextPosition() must skip the rest too.
    bool InsideCutLine() const { return skipping_; }

    // True when nothing (more) can be read.
    bool AtEnd();
    int64_t NextPosition() const { return nextPosition_; }
    const Error& ReadError() const { return readError_; }
    void Close();

private:
    static constexpr size_t Npos = static_cast<size_t>(-1);
    // How much of the file's start tells whether it is UTF-16.
    static constexpr size_t Utf16SniffBytes = 512;
    // The first CR or LF at or after from in the buffer, or Npos.
    size_t FindLineEnd(size_t from) const;

    Error OpenRegularFile(const std::string& path);
    // Reads more bytes after the unconsumed ones; false at the end or on error.
    bool Fill();
    // Consumes what is left of a cut line and its line end; false when the
    // data ends first.
    bool SkipRestOfLine();
    // Takes count bytes as consumed.
    void Consume(size_t count)
    {
        begin_ += count;
        nextPosition_ += static_cast<int64_t>(count);
    }

    std::FILE* file_ = nullptr;
    std::unique_ptr<char[]> buffer_;
    size_t begin_ = 0; // first unconsumed byte in buffer_
    size_t end_ = 0;   // one past the last valid byte
    bool eof_ = false;
    bool holdPartial_ = false;
    bool lineCut_ = false;
    bool skipping_ = false; // inside the rest of a cut line
    int64_t nextPosition_ = 1;
    Error readError_;
};

} // namespace tarvik
