#include "SplitList.h"

#include "Text.h"

#include <algorithm>

namespace tarvik {

std::string_view TrimDelimiters(std::string_view text, std::string_view delimiter, bool trimBlanks)
{
    if (trimBlanks)
        text = Trim(text);
    // An empty delimiter "ends" every text; there is nothing to remove.
    if (delimiter.empty())
        return text;
    if (delimiter.size() == 1) {
        const char d = delimiter[0];
        while (!text.empty() && text.back() == d) {
            text.remove_suffix(1);
            if (trimBlanks)
                text = Trim(text);
        }
        while (!text.empty() && text.front() == d) {
            text.remove_prefix(1);
            if (trimBlanks)
                text = Trim(text);
        }
        return text;
    }
    while (!text.empty() && text.ends_with(delimiter)) {
        text.remove_suffix(delimiter.size());
        if (trimBlanks)
            text = Trim(text);
    }
    while (!text.empty() && text.starts_with(delimiter)) {
        text.remove_prefix(delimiter.size());
        if (trimBlanks)
            text = Trim(text);
    }
    return text;
}

std::string_view TrimNulls(std::string_view text, bool trimBlanks)
{
    return TrimDelimiters(text, std::string_view("\0", 1), trimBlanks);
}

bool SplitList(std::string_view text, std::vector<std::string_view>& items,
               std::string_view delimiter)
{
    items.clear();
    text = TrimDelimiters(text, delimiter, true);
    if (text.empty()) {
        items.emplace_back();
        return false;
    }
    if (delimiter.empty()) {
        items.push_back(text);
        return true;
    }
    if (delimiter == " " && text.find('\0') == std::string_view::npos) {
        // Words: with blanks trimmed everywhere, runs of blanks are single breaks.
        // Words are short: a byte loop beats a library search per word.
        size_t start = 0;
        while (start < text.size()) {
            size_t end = start;
            while (end < text.size() && text[end] != ' ')
                ++end;
            items.push_back(text.substr(start, end - start));
            start = end;
            while (start < text.size() && text[start] == ' ')
                ++start;
        }
        return true;
    }
    while (!text.empty()) {
        const size_t p = text.find(delimiter);
        if (p == std::string_view::npos) {
            items.push_back(TrimDelimiters(text, delimiter, true));
            text = {};
        } else {
            items.push_back(TrimDelimiters(text.substr(0, p), delimiter, true));
            const size_t rest = p + delimiter.size();
            text = rest >= text.size() ? std::string_view() : TrimNulls(text.substr(rest), true);
        }
    }
    return true;
}

} // namespace tarvik
