#pragma once

#include "LineClass.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The problems found by an analysis run or a spell of monitoring, in arrival
// order, each with its class. It holds at most Limit lines and ByteLimit
// bytes so that logs of nothing but bad lines cannot exhaust memory; the
// lines beyond are counted and summed up in one line at the end of each read.
class ErrorList {
public:
    static constexpr size_t Limit = 50'000;
    static constexpr size_t ByteLimit = 4 * 1024 * 1024;
    // How much of a log line a problem quotes.
    static constexpr size_t QuotedBytes = 1'000;

    struct Listener {
        virtual ~Listener() = default;
        virtual void ErrorListCleared() = 0;
        virtual void ErrorAdded(std::string_view line, LineClass lineClass) = 0;
    };

    void SetListener(Listener* listener) { listener_ = listener; }
    // The log being read: lines added while it is set begin with its name.
    void SetSource(std::string name) { source_ = std::move(name); }
    void Clear();
    void Add(std::string line, LineClass lineClass = LineClass::Problem);
    // Adds message followed by the log line it is about, quoted.
    void Add(std::string_view message, std::string_view logLine,
             LineClass lineClass = LineClass::Problem);
    // Appends at most QuotedBytes of line to text, and "…" when it was cut,
    // encoded so that text still reads right: lines are shown as UTF-8 when
    // they are valid UTF-8, else as Windows-1252.
    static void AppendQuoted(std::string& text, std::string_view line);
    // Closes the list and adds line whatever the limit: the serious error
    // that ends a read must always be listed.
    void AddFinal(std::string line);
    // Adds the line about problems that were not listed, if any.
    void Close();

    const std::vector<std::string>& Lines() const { return lines_; }
    // The class of each line, parallel to Lines().
    const std::vector<LineClass>& Classes() const { return classes_; }
    // Every line met by class, listed or not; the summing-up lines are not counted.
    const LineCounts& Counts() const { return counts_; }
    size_t Size() const { return lines_.size(); }
    bool Empty() const { return lines_.empty(); }
    size_t Dropped() const { return dropped_; }

private:
    // Lines that sum up dropped ones; bounded too, for a whole run of logs.
    static constexpr size_t SummaryLimit = 1'000;

    bool Full() const { return full_ || lines_.size() >= Limit; }
    // Lists line when it fits in what is left of ByteLimit.
    void Fit(std::string line, LineClass lineClass);
    // Lists line whatever the limits.
    void Push(std::string line, LineClass lineClass);

    std::vector<std::string> lines_;
    std::vector<LineClass> classes_;
    LineCounts counts_;
    size_t bytes_ = 0;
    bool full_ = false; // a line did not fit: the rest is counted, so the list stays in order
    size_t dropped_ = 0;
    std::string source_;
    Listener* listener_ = nullptr;
};

} // namespace tarvik
