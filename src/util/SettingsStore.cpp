#include "SettingsStore.h"

#include "Text.h"

namespace tarvik {

std::optional<double> ReadNumber(SettingsStore& store, std::string_view section,
                                 std::string_view key)
{
    const auto text = store.Read(section, key);
    if (!text)
        return std::nullopt;
    return ParseNumber(*text);
}

} // namespace tarvik
