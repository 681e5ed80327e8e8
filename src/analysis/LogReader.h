#pragma once

#include "util/Error.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// Reads a log file line by line from a byte position with large buffered
// reads. Lines end with CR LF, CR or LF. Positions are 1-based: the position
// of the next unread byte, so a file of n bytes read to its end gives n + 1.
// The file is open only while the reader lives.
class LogReader {
public:
    static constexpr size_t BufferSize = 1 << 20;

    LogReader() = default;
    ~LogReader();
    LogReader(const LogReader&) = delete;
    LogReader& operator=(const LogReader&) = delete;

    // Opens path and moves to position (0 or less: the start). A CR LF pair
    // split by the previous read is not taken for an empty line.
    Error Open(const std::string& path, int64_t position);

    // When set, a last line that has no line end yet is left unread, so that
    // a line the game is still writing is read whole later.
    void SetHoldPartialLastLine(bool hold) { holdPartial_ = hold; }

    // The next line without its line end; false at the end of the file or on
    // a read error (see ReadError). The view lives until the next call.
    bool NextLine(std::string_view& line);

    // True when nothing (more) can be read.
    bool AtEnd();
    int64_t NextPosition() const { return nextPosition_; }
    const Error& ReadError() const { return readError_; }
    void Close();

private:
    static constexpr size_t Npos = static_cast<size_t>(-1);
    // The last search for one line-end character, so that a file without
    // that character is not searched to the end of the buffer for every line.
    struct Search {
        bool valid = false;
        size_t start = 0;
        size_t found = Npos;
        size_t end = 0;
    };
    size_t Find(char c, size_t from, Search& search) const;

    // Reads more bytes after the unconsumed ones; false at the end or on error.
    bool Fill();

    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    size_t begin_ = 0; // first unconsumed byte in buffer_
    size_t end_ = 0;   // one past the last valid byte
    bool eof_ = false;
    bool holdPartial_ = false;
    int64_t nextPosition_ = 1;
    Error readError_;
    Search crSearch_;
    Search lfSearch_;
};

} // namespace tarvik
