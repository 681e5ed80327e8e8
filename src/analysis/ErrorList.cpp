#include "ErrorList.h"

#include "util/NumberFormat.h"

namespace tarvik {

void ErrorList::Clear()
{
    lines_.clear();
    dropped_ = 0;
    if (listener_)
        listener_->ErrorListCleared();
}

void ErrorList::Add(std::string line)
{
    if (lines_.size() >= Limit) {
        ++dropped_;
        return;
    }
    if (!source_.empty())
        line.insert(0, source_ + ": ");
    lines_.push_back(std::move(line));
    if (listener_)
        listener_->ErrorAdded(lines_.back());
}

void ErrorList::AddFinal(std::string line)
{
    Close();
    lines_.push_back(std::move(line));
    if (listener_)
        listener_->ErrorAdded(lines_.back());
}

void ErrorList::Close()
{
    if (dropped_ == 0 || lines_.size() >= Limit + SummaryLimit)
        return;
    lines_.push_back(
        "Too many problems to list: " + FormatThousands(static_cast<int64_t>(dropped_)) +
        " more line(s) were not added.");
    dropped_ = 0;
    if (listener_)
        listener_->ErrorAdded(lines_.back());
}

} // namespace tarvik
