#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// Log text is Windows-1252 bytes; case folding follows that code page so that
// accented names compare the way the game's players write them.
char ToLowerChar(char c);
// The folding table behind ToLowerChar, for loops that fold many bytes.
const char* LowerTable();
char ToUpperChar(char c);
std::string ToLower(std::string_view text);
std::string ToUpper(std::string_view text);

// Blanks are spaces only, as in the game's logs and the configuration file.
inline std::string_view TrimLeft(std::string_view text)
{
    size_t start = 0;
    while (start < text.size() && text[start] == ' ')
        ++start;
    return text.substr(start);
}

inline std::string_view TrimRight(std::string_view text)
{
    size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ')
        --end;
    return text.substr(0, end);
}

inline std::string_view Trim(std::string_view text)
{
    return TrimRight(TrimLeft(text));
}

// The parts with separator between each two.
std::string JoinTexts(const std::vector<std::string>& parts, std::string_view separator = ", ");

bool EqualsNoCase(std::string_view a, std::string_view b);
// Position of needle in haystack ignoring case, or npos. An empty needle is
// found at 0 in a non-empty haystack only.
size_t FindNoCase(std::string_view haystack, std::string_view needle);
// Plain case-sensitive search with the same empty-needle rule.
size_t Find(std::string_view haystack, std::string_view needle);
bool ContainsNoCase(std::string_view haystack, std::string_view needle);

struct NoCaseHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const;
};
// Exact text as a key, found by string_view without building a string.
struct StringHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

struct NoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }
};

// A number as the configuration and the logs write one: blanks around it,
// optional sign, digits with an optional fraction and exponent.
bool IsNumeric(std::string_view text);
std::optional<double> ParseNumber(std::string_view text);
// Converts a number text to a 32-bit integer, fractions rounding half to even.
// Empty when the text is no number or the value does not fit.
std::optional<int32_t> ToInt32(std::string_view text);
std::optional<int32_t> RoundToInt32(double value);

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);
std::string BoolWord(bool value); // "True" / "False"

} // namespace tarvik
