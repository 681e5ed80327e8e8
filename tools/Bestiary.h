#pragma once

#include "Creature.h"

#include <string_view>
#include <vector>

namespace tarvik {

// The demo's party, the log's owner first: a fighter, a cleric, a wizard and
// a rogue of level 13.
std::vector<Creature> DemoParty();

// The monsters of one encounter of the demo ("goblins", "ogres", "fiend", ...),
// their hit points raised for a party that deals epic damage. Empty for an
// unknown kind.
std::vector<Creature> DemoEncounter(std::string_view kind);

} // namespace tarvik
