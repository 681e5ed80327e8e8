#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The problems found by an analysis run or a spell of monitoring, in arrival
// order. It holds at most Limit lines so that logs of nothing but bad lines
// cannot exhaust memory; the lines beyond are counted and summed up in one
// line at the end of each read.
class ErrorList {
public:
    static constexpr size_t Limit = 50'000;

    struct Listener {
        virtual ~Listener() = default;
        virtual void ErrorListCleared() = 0;
        virtual void ErrorAdded(std::string_view line) = 0;
    };

    void SetListener(Listener* listener) { listener_ = listener; }
    // The log being read: lines added while it is set begin with its name.
    void SetSource(std::string name) { source_ = std::move(name); }
    void Clear();
    void Add(std::string line);
    // Closes the list and adds line whatever the limit: the serious error
    // that ends a read must always be listed.
    void AddFinal(std::string line);
    // Adds the line about problems that were not listed, if any.
    void Close();

    const std::vector<std::string>& Lines() const { return lines_; }
    size_t Size() const { return lines_.size(); }
    bool Empty() const { return lines_.empty(); }
    size_t Dropped() const { return dropped_; }

private:
    // Lines that sum up dropped ones; bounded too, for a whole run of logs.
    static constexpr size_t SummaryLimit = 1'000;

    std::vector<std::string> lines_;
    size_t dropped_ = 0;
    std::string source_;
    Listener* listener_ = nullptr;
};

} // namespace tarvik
