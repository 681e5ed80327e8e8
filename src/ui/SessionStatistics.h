#pragma once

#include "DetailGrid.h"

#include <cstdint>
#include <string>

namespace tarvik {

class Session;

// The party against everyone else, in the detail window's two columns.
DetailGrid BuildSessionStatistics(const Session& session);

// The label under the character tree and whether it is shown in blue.
struct PartyCountText {
    std::string text;
    bool blue = false;
};
PartyCountText ShowPartyCount(int32_t partyMemberCount);

} // namespace tarvik
