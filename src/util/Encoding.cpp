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
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        uint32_t cp = 0;
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
            return false;
        }
        if (i + extra >= bytes.size())
            return false;
        for (int k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(bytes[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) ||
            (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
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
