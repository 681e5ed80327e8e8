#include "UndatedLines.h"

#include "ErrorList.h"
#include "config/LogFormat.h"
#include "util/Text.h"

namespace tarvik {

namespace {

constexpr std::string_view BadDate = "Invalid/missing date, discarded: ";
// A rule is its text three times or more: "--" alone is talk.
constexpr size_t MinimumRuleRepeats = 3;

std::string_view TrimBlanks(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

UndatedLines::UndatedLines(const LogFormat& format, ErrorList& errors, ContinuationSink& sink)
    : format_(format)
    , errors_(errors)
    , sink_(sink)
    , prefixLength_(format.timeStampBegin > 1 ? static_cast<size_t>(format.timeStampBegin - 1) : 0)
{
}

void UndatedLines::Restart()
{
    if (pendingRow_)
        ListPendingRow(false);
    following_ = false;
    afterHeader_ = false;
}

void UndatedLines::Interrupted()
{
    if (pendingRow_)
        ListPendingRow(false);
    following_ = false;
    afterHeader_ = false;
}

void UndatedLines::Finish()
{
    if (pendingRow_)
        ListPendingRow(false);
}

bool UndatedLines::IsRule(std::string_view trimmed) const
{
    const std::string_view rule = format_.sessionHeaderRule;
    if (rule.empty() || trimmed.size() < rule.size() * MinimumRuleRepeats ||
        trimmed.size() % rule.size() != 0)
        return false;
    for (size_t at = 0; at < trimmed.size(); at += rule.size()) {
        if (trimmed.substr(at, rule.size()) != rule)
            return false;
    }
    return true;
}

// A line that starts as dated lines do, or has brackets where the timestamp
// belongs, is a dated line gone wrong: a problem, whatever is above it.
bool UndatedLines::LooksDated(std::string_view line) const
{
    if (!datedPrefix_.empty() && line.starts_with(datedPrefix_))
        return true;
    if (prefixLength_ == 0)
        return false;
    const size_t close = prefixLength_ + static_cast<size_t>(format_.timeStampLength);
    return close < line.size() && line[prefixLength_ - 1] == '[' && line[close] == ']';
}

bool UndatedLines::IsEngineLine(std::string_view trimmed) const
{
    for (const auto& start : format_.engineLines) {
        if (trimmed.starts_with(start))
            return true;
    }
    return false;
}

// "[Account] Name: [Party] text", "Name : [Tell] text": a channel tag right
// after a speaker's name and its colon.
bool UndatedLines::IsChatDuplicate(std::string_view trimmed) const
{
    for (const auto& tag : format_.chatDuplicateTags) {
        const size_t at = trimmed.find(tag);
        if (at == std::string_view::npos)
            continue;
        const std::string_view speaker = TrimBlanks(trimmed.substr(0, at));
        if (speaker.size() >= 2 && speaker.back() == ':')
            return true;
    }
    return false;
}

LineClass UndatedLines::ClassOfText(std::string_view line, std::string_view trimmed) const
{
    if (line.find('\0') != std::string_view::npos || LooksDated(line))
        return LineClass::Problem;
    if (IsEngineLine(trimmed))
        return LineClass::Engine;
    if (IsChatDuplicate(trimmed))
        return LineClass::ChatDuplicate;
    return following_ ? LineClass::Continuation : LineClass::Problem;
}

LineClass UndatedLines::ClassOf(std::string_view line) const
{
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty())
        return LineClass::Blank;
    if (!format_.sessionHeader.empty() && trimmed.starts_with(format_.sessionHeader))
        return LineClass::SessionHeader;
    if (afterHeader_ && IsRule(trimmed))
        return LineClass::SessionHeader;
    return ClassOfText(line, trimmed);
}

void UndatedLines::Undated(std::string_view line)
{
    const std::string_view trimmed = TrimBlanks(line);
    const bool header = !trimmed.empty() && !format_.sessionHeader.empty() &&
                        trimmed.starts_with(format_.sessionHeader);
    if (pendingRow_)
        ListPendingRow(header);
    if (!trimmed.empty() && !header && !afterHeader_ && IsRule(trimmed)) {
        // The session header's opening row, or a row inside a message: the
        // next line tells.
        pendingRow_ = true;
        pendingLine_.assign(line);
        return;
    }
    const LineClass lineClass = ClassOf(line);
    afterHeader_ = header;
    if (header)
        following_ = false; // a new session: nothing above continues
    else if (lineClass == LineClass::Problem)
        following_ = false;
    List(line, lineClass);
}

void UndatedLines::List(std::string_view line, LineClass lineClass)
{
    errors_.Add(BadDate, line, lineClass);
    if (lineClass == LineClass::Continuation) {
        sink_.Continuation({TrimBlanks(line), datedLine_,
                            std::string_view(datedLine_).substr(bodyAt_, bodySize_), date_});
    }
}

void UndatedLines::ListPendingRow(bool header)
{
    pendingRow_ = false;
    const std::string_view line = pendingLine_;
    const LineClass lineClass =
        header ? LineClass::SessionHeader : ClassOfText(line, TrimBlanks(line));
    if (lineClass == LineClass::Problem)
        following_ = false;
    List(line, lineClass);
}

} // namespace tarvik
