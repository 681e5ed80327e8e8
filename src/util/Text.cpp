#include "Text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace tarvik {

namespace {

struct CaseTables {
    std::array<char, 256> lower{};
    std::array<char, 256> upper{};
    constexpr CaseTables()
    {
        for (int i = 0; i < 256; ++i) {
            lower[i] = static_cast<char>(i);
            upper[i] = static_cast<char>(i);
        }
        auto pair = [this](int up, int low) {
            lower[up] = static_cast<char>(low);
            upper[low] = static_cast<char>(up);
        };
        for (int c = 'A'; c <= 'Z'; ++c)
            pair(c, c + 32);
        for (int c = 0xC0; c <= 0xDE; ++c) {
            if (c != 0xD7)
                pair(c, c + 32);
        }
        pair(0x8A, 0x9A); // S caron
        pair(0x8C, 0x9C); // OE
        pair(0x8E, 0x9E); // Z caron
        pair(0x9F, 0xFF); // Y diaeresis
    }
};

constexpr CaseTables Folding;

constexpr const CaseTables& Tables()
{
    return Folding;
}

} // namespace

const char* LowerTable()
{
    return Folding.lower.data();
}

char ToLowerChar(char c)
{
    return Folding.lower[static_cast<unsigned char>(c)];
}

char ToUpperChar(char c)
{
    return Folding.upper[static_cast<unsigned char>(c)];
}

std::string ToLower(std::string_view text)
{
    const auto& table = Tables().lower;
    std::string result(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i)
        result[i] = table[static_cast<unsigned char>(text[i])];
    return result;
}

std::string ToUpper(std::string_view text)
{
    const auto& table = Tables().upper;
    std::string result(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i)
        result[i] = table[static_cast<unsigned char>(text[i])];
    return result;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    const auto& table = Tables().lower;
    for (size_t i = 0; i < a.size(); ++i) {
        if (table[static_cast<unsigned char>(a[i])] != table[static_cast<unsigned char>(b[i])])
            return false;
    }
    return true;
}

size_t Find(std::string_view haystack, std::string_view needle)
{
    if (needle.empty())
        return haystack.empty() ? std::string_view::npos : 0;
    return haystack.find(needle);
}

size_t FindNoCase(std::string_view haystack, std::string_view needle)
{
    if (needle.empty())
        return haystack.empty() ? std::string_view::npos : 0;
    if (needle.size() > haystack.size())
        return std::string_view::npos;
    const auto& table = Tables().lower;
    bool caseless = true;
    for (char c : needle)
        caseless = caseless && table[static_cast<unsigned char>(c)] == c &&
                   Tables().upper[static_cast<unsigned char>(c)] == c;
    if (caseless) // punctuation and digits: a plain search is the same and faster
        return haystack.find(needle);
    const char first = table[static_cast<unsigned char>(needle[0])];
    const size_t last = haystack.size() - needle.size();
    for (size_t i = 0; i <= last; ++i) {
        if (table[static_cast<unsigned char>(haystack[i])] != first)
            continue;
        size_t k = 1;
        while (k < needle.size() && table[static_cast<unsigned char>(haystack[i + k])] ==
                                        table[static_cast<unsigned char>(needle[k])])
            ++k;
        if (k == needle.size())
            return i;
    }
    return std::string_view::npos;
}

bool ContainsNoCase(std::string_view haystack, std::string_view needle)
{
    return FindNoCase(haystack, needle) != std::string_view::npos;
}

size_t NoCaseHash::operator()(std::string_view text) const
{
    // FNV-1a over the folded bytes.
    const auto& table = Tables().lower;
    size_t hash = 1469598103934665603ull;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(table[static_cast<unsigned char>(c)]);
        hash *= 1099511628211ull;
    }
    return hash;
}

namespace {

// The length of the number at the start of text (sign, digits, fraction,
// exponent), or 0 when text does not start with one.
size_t NumberLength(std::string_view text)
{
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool anyDigit = false;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        ++i;
        anyDigit = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        const size_t expDigits = j;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9')
            ++j;
        if (j == expDigits)
            return 0;
        i = j;
    }
    return i;
}

} // namespace

std::optional<double> ParseNumber(std::string_view text)
{
    text = Trim(text);
    if (text.empty() || NumberLength(text) != text.size())
        return std::nullopt;
    const bool negative = text[0] == '-';
    if (text[0] == '+' || text[0] == '-')
        text.remove_prefix(1);
    double value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size())
        return std::nullopt;
    return negative ? -value : value;
}

bool IsNumeric(std::string_view text)
{
    text = Trim(text);
    return !text.empty() && NumberLength(text) == text.size();
}

std::optional<int32_t> RoundToInt32(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value); // default mode: halves to even
    if (rounded < static_cast<double>(std::numeric_limits<int32_t>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::nullopt;
    return static_cast<int32_t>(rounded);
}

std::optional<int32_t> ToInt32(std::string_view text)
{
    // Whole numbers are the common case in logs; skip the floating-point path.
    const auto trimmed = Trim(text);
    if (!trimmed.empty() && trimmed.size() <= 10) {
        int32_t value = 0;
        auto [ptr, ec] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
        if (ec == std::errc() && ptr == trimmed.data() + trimmed.size())
            return value;
    }
    const auto number = ParseNumber(text);
    if (!number)
        return std::nullopt;
    return RoundToInt32(*number);
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to)
{
    if (from.empty())
        return text;
    size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
    return text;
}

std::string BoolWord(bool value)
{
    return value ? "True" : "False";
}

std::string JoinTexts(const std::vector<std::string>& parts, std::string_view separator)
{
    std::string text;
    for (const auto& part : parts) {
        if (!text.empty())
            text += separator;
        text += part;
    }
    return text;
}

} // namespace tarvik
