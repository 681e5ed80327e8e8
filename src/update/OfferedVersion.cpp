#include "OfferedVersion.h"

#include "util/SplitList.h"

#include <optional>
#include <vector>

namespace tarvik {

namespace {

// Digits only, so that "1e3" or "-1" never pass for a version.
std::optional<int32_t> VersionPiece(std::string_view text)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    int32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

OfferedVersion CompareOfferedVersion(std::string_view currentVersion, const ProgramVersion& running)
{
    std::vector<std::string_view> items;
    if (!SplitList(currentVersion, items, "."))
        return OfferedVersion::Corrupt;
    std::vector<int32_t> pieces;
    for (const std::string_view item : items) {
        const auto piece = VersionPiece(item);
        if (!piece)
            return OfferedVersion::Corrupt;
        pieces.push_back(*piece);
    }

    const size_t count = pieces.size();
    const bool newer = pieces[0] > running.major ||
                       (count >= 2 && pieces[0] == running.major && pieces[1] > running.minor) ||
                       (count == 3 && pieces[0] == running.major && pieces[1] == running.minor &&
                        pieces[2] > running.revision);
    return newer ? OfferedVersion::Newer : OfferedVersion::UpToDate;
}

} // namespace tarvik
