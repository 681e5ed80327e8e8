#pragma once

#include "LineClass.h"
#include "util/DateTime.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvik {

class ErrorList;
struct LogFormat;

// An undated line that continues the message of the dated line above it,
// such as "Plane Hell Wurm is immune to to FEAR effects" under a line whose
// body is empty. It is a fact of its own: no record is joined with it.
struct ContinuationLine {
    std::string_view text;      // the line, trimmed
    std::string_view datedLine; // the dated line it follows, whole
    std::string_view datedBody; // that line's record body
    DateTime date;              // of that line
};

class ContinuationSink {
public:
    virtual ~ContinuationSink() = default;
    virtual void Continuation(const ContinuationLine& line) = 0;
};

// Lists the lines that carry no valid date in the error list, each with its
// class, in arrival order and each on its own. A row of the session header
// is told from a row inside a message by the line after it, so such a row
// waits for the next line (or the end of the read) before it is listed.
class UndatedLines {
public:
    UndatedLines(const LogFormat& format, ErrorList& errors, ContinuationSink& sink);

    // Reading starts at a file's top, or in another file: nothing above.
    void Restart();
    // A line with a valid date: the undated lines below it continue it.
    // Inlined: every dated line passes here.
    void Dated(std::string_view line, std::string_view body, DateTime date)
    {
        if (pendingRow_)
            ListPendingRow(false);
        datedLine_.assign(line);
        bodyAt_ = body.empty() ? line.size() : static_cast<size_t>(body.data() - line.data());
        bodySize_ = body.size();
        date_ = date;
        following_ = true;
        if (datedPrefix_.empty() && prefixLength_ > 0 && line.size() >= prefixLength_)
            datedPrefix_.assign(line.substr(0, prefixLength_));
    }
    // Lists a line without a valid date with its class.
    void Undated(std::string_view line);
    // A line listed as a problem of its own (cut for its length): the lines
    // below it continue nothing.
    void Interrupted();
    // The end of a read: a row held back is listed.
    void Finish();

    // The class of an undated line, from its shape alone (a row of the
    // header's rule is a continuation here); for tests.
    LineClass ClassOf(std::string_view line) const;

private:
    bool IsRule(std::string_view trimmed) const;
    bool LooksDated(std::string_view line) const;
    bool IsEngineLine(std::string_view trimmed) const;
    bool IsChatDuplicate(std::string_view trimmed) const;
    // The class of a line that is neither blank nor part of the header.
    LineClass ClassOfText(std::string_view line, std::string_view trimmed) const;
    void List(std::string_view line, LineClass lineClass);
    void ListPendingRow(bool header);

    const LogFormat& format_;
    ErrorList& errors_;
    ContinuationSink& sink_;
    size_t prefixLength_ = 0; // of what a dated line holds before its timestamp
    std::string datedPrefix_; // that text, as the first dated line had it

    // The dated line that undated lines continue, while following_.
    bool following_ = false;
    std::string datedLine_;
    size_t bodyAt_ = 0;
    size_t bodySize_ = 0;
    DateTime date_;

    bool afterHeader_ = false; // the last line was the session header's dated line
    bool pendingRow_ = false;  // a rule row waits for the next line
    std::string pendingLine_;
};

} // namespace tarvik
