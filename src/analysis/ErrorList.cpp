#include "ErrorList.h"

#include "util/Encoding.h"
#include "util/NumberFormat.h"

#include <algorithm>

namespace tarvik {

void ErrorList::Clear()
{
    lines_.clear();
    classes_.clear();
    counts_ = {};
    bytes_ = 0;
    full_ = false;
    dropped_ = 0;
    if (listener_)
        listener_->ErrorListCleared();
}

void ErrorList::Add(std::string line, LineClass lineClass)
{
    ++counts_[lineClass];
    if (Full()) {
        ++dropped_;
        return;
    }
    if (!source_.empty())
        line.insert(0, source_ + ": ");
    Fit(std::move(line), lineClass);
}

void ErrorList::Add(std::string_view message, std::string_view logLine, LineClass lineClass)
{
    ++counts_[lineClass];
    if (Full()) {
        ++dropped_; // before building the text: bad lines may come by the million
        return;
    }
    std::string line;
    line.reserve(source_.size() + 2 + message.size() + std::min(logLine.size(), QuotedBytes + 3));
    if (!source_.empty()) {
        line += source_;
        line += ": ";
    }
    line += message;
    AppendQuoted(line, logLine);
    Fit(std::move(line), lineClass);
}

void ErrorList::Fit(std::string line, LineClass lineClass)
{
    if (bytes_ + line.size() > ByteLimit) {
        full_ = true;
        ++dropped_;
        return;
    }
    Push(std::move(line), lineClass);
}

void ErrorList::AppendQuoted(std::string& text, std::string_view line)
{
    if (line.size() <= QuotedBytes) {
        text += line;
        return;
    }
    // Cut UTF-8 text before a character, not inside it.
    size_t keep = QuotedBytes;
    const auto continues = [&](size_t i) {
        return (static_cast<unsigned char>(line[i]) & 0xC0) == 0x80;
    };
    while (keep > 0 && QuotedBytes - keep < 3 && continues(keep))
        --keep;
    if (keep != QuotedBytes && !IsValidUtf8(line.substr(0, keep)))
        keep = QuotedBytes; // Windows-1252 text: its bytes are characters
    text += line.substr(0, keep);
    text += IsValidUtf8(text) ? "\xE2\x80\xA6" : "\x85";
}

void ErrorList::AddFinal(std::string line)
{
    Close();
    ++counts_[LineClass::Problem];
    Push(std::move(line), LineClass::Problem);
}

void ErrorList::Push(std::string line, LineClass lineClass)
{
    bytes_ += line.size();
    lines_.push_back(std::move(line));
    classes_.push_back(lineClass);
    if (listener_)
        listener_->ErrorAdded(lines_.back(), lineClass);
}

void ErrorList::Close()
{
    if (dropped_ == 0 || lines_.size() >= Limit + SummaryLimit)
        return;
    Push("Too many problems to list: " + FormatThousands(static_cast<int64_t>(dropped_)) +
             " more line(s) were not added.",
         LineClass::Problem);
    dropped_ = 0;
}

} // namespace tarvik
