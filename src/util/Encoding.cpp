#include "Encoding.h"

#include <cstdint>

namespace tarvik {

namespace {

// Code points of 0x80..0x9F in Windows-1252; the five undefined bytes map to
// their C1 control points so that nothing is lost.
const char16_t HighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                   0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

constexpr uint32_t Replacement = 0xFFFD;

bool IsHighSurrogate(uint32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(uint32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The code point starting at bytes[i], advancing i past it; a broken
// sequence gives U+FFFD and advances by one byte.
uint32_t NextCodePoint(std::string_view bytes, size_t& i)
{
    const auto c = static_cast<unsigned char>(bytes[i]);
    int extra = 0;
    uint32_t cp = 0;
    if (c < 0x80) {
        ++i;
        return c;
    }
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        cp = c & 0x07;
    } else {
        ++i;
        return Replacement;
    }
    if (i + extra >= bytes.size()) {
        ++i;
        return Replacement;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto cc = static_cast<unsigned char>(bytes[i + k]);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return Replacement;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) ||
        (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return Replacement;
    }
    i += extra + 1;
    return cp;
}

template <class Char>
std::string FromUtf16(std::basic_string_view<Char> text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto unit = static_cast<uint32_t>(static_cast<char16_t>(text[i]));
        if (IsHighSurrogate(unit) && i + 1 < text.size() &&
            IsLowSurrogate(static_cast<char16_t>(text[i + 1]))) {
            const auto low = static_cast<uint32_t>(static_cast<char16_t>(text[++i]));
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(out, Replacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

template <class Char>
std::basic_string<Char> ToUtf16(std::string_view text)
{
    std::basic_string<Char> out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const uint32_t cp = NextCodePoint(text, i);
        if (cp >= 0x10000) {
            out.push_back(static_cast<Char>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<Char>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<Char>(cp));
        }
    }
    return out;
}

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    // A broken sequence decodes to U+FFFD one byte long; a written U+FFFD is three.
    for (size_t i = 0; i < bytes.size();) {
        const size_t at = i;
        if (NextCodePoint(bytes, i) == Replacement && i == at + 1)
            return false;
    }
    return true;
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80)
            out.push_back(ch);
        else if (c < 0xA0)
            AppendUtf8(out, HighControls[c - 0x80]);
        else
            AppendUtf8(out, c);
    }
    return out;
}

std::string DisplayText(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return Cp1252ToUtf8(bytes);
}

std::string TerminalText(std::string_view bytes)
{
    const std::string text = DisplayText(bytes);
    auto isControl = [&](size_t i) {
        const auto c = static_cast<unsigned char>(text[i]);
        // U+0080 to U+009F are C2 80 to C2 9F in UTF-8, and DisplayText's
        // text is always valid UTF-8.
        return c < 0x20 || c == 0x7F ||
               (c == 0xC2 && i + 1 < text.size() &&
                static_cast<unsigned char>(text[i + 1]) <= 0x9F);
    };
    size_t i = 0;
    while (i < text.size() && !isControl(i))
        ++i;
    if (i == text.size())
        return text;
    std::string out(text, 0, i);
    for (; i < text.size(); ++i) {
        if (!isControl(i)) {
            out.push_back(text[i]);
            continue;
        }
        auto c = static_cast<unsigned char>(text[i]);
        if (c == 0xC2)
            c = static_cast<unsigned char>(text[++i]);
        switch (c) {
        case '\b':
            out += "\\b";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\r':
            out += "\\r";
            break;
        default: {
            static constexpr char Hex[] = "0123456789abcdef";
            out += "\\u00";
            out.push_back(Hex[c >> 4]);
            out.push_back(Hex[c & 0xF]);
        }
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    return FromUtf16(text);
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    return ToUtf16<char16_t>(text);
}

#ifdef _WIN32
std::string Utf16ToUtf8(std::wstring_view text)
{
    return FromUtf16(text);
}

std::wstring Utf8ToWide(std::string_view text)
{
    return ToUtf16<wchar_t>(text);
}
#endif

bool LooksLikeUtf16(std::string_view start)
{
    if (start.size() >= 2) {
        const auto first = static_cast<unsigned char>(start[0]);
        const auto second = static_cast<unsigned char>(start[1]);
        if ((first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF))
            return true;
    }
    const size_t pairs = start.size() / 2;
    if (pairs < 4)
        return false;
    size_t evenNuls = 0;
    size_t oddNuls = 0;
    for (size_t i = 0; i < pairs; ++i) {
        evenNuls += start[2 * i] == '\0';
        oddNuls += start[2 * i + 1] == '\0';
    }
    // Nearly all of one half NUL, nearly none of the other: a file of nothing
    // but NULs is not text of any kind.
    const auto most = [pairs](size_t n) { return n * 10 >= pairs * 9; };
    const auto few = [pairs](size_t n) { return n * 10 <= pairs; };
    return (most(oddNuls) && few(evenNuls)) || (most(evenNuls) && few(oddNuls));
}

} // namespace tarvik
