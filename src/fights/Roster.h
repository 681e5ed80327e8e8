#pragma once

#include "model/Character.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// Where a character stands from the user's point of view.
enum class Side : uint8_t { None, Party, You };
// "you", "party", "none".
const char* SideName(Side side);

// Who is who, and the names of the configured types. Sides are looked up
// when asked, so marking a character later changes what the views show.
struct Roster {
    const CharacterList& characters;
    int32_t userId = 0;
    const std::vector<std::string>& damageTypes; // ends with "Total"
    const std::vector<std::string>& saveTypes;

    Side SideOf(int32_t id) const;
    bool OnYourSide(int32_t id) const { return SideOf(id) != Side::None; }
    // "?" for an ID no character has.
    const std::string& NameOf(int32_t id) const;
    // The configured name of a 0-based damage type.
    const std::string& DamageTypeName(int32_t type) const;
    // The configured name of a 1-based save type; "Other" for 0.
    const std::string& SaveTypeName(int32_t type) const;
};

} // namespace tarvik
