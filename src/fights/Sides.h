#pragma once

#include "Roster.h"
#include "SideEvidence.h"
#include "model/Character.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// "Summoned Badger" with the prefix "Summoned": the name begins with one of
// the prefixes (ignoring case) followed by a blank.
bool HasPetPrefix(std::string_view name, const std::vector<std::string>& prefixes);

// The marks and what the lines told, as sides are decided from them.
struct SideInputs {
    const CharacterList& characters;
    CharacterId userId;
    const SideEvidence& evidence;
    const std::vector<std::string>& petPrefixes;
};

// Every character's side, in one place. Marks win: the user's character is
// you, a party member marked by hand or by a join line is party. Then the
// evidence: the owner's dominated pets are pets, party-chat speakers allies
// (a character that was marked for being on your side keeps that side while
// marked; one whose mark was then removed by hand is no longer on your
// side). These are your side's seeds; the attack graph (ColourSides) puts the
// rest on your side (allies, or pets when their name has a pet prefix), on
// the enemy's, or nowhere (unknown).
SideTable DecideSides(const SideInputs& inputs);

// DecideSides, remembered until the marks or the evidence change: views ask
// for sides often, and a graph can hold thousands of characters.
class Sides {
public:
    // marksVersion changes with every change of a mark.
    const SideTable& Current(const SideInputs& inputs, uint64_t marksVersion);
    void Forget() { valid_ = false; }

private:
    struct Key {
        uint64_t generation = 0;
        int32_t characters = 0;
        CharacterId userId;
        uint64_t marksVersion = 0;
        uint64_t evidenceVersion = 0;
        friend bool operator==(const Key&, const Key&) = default;
    };
    bool valid_ = false;
    Key key_;
    SideTable table_;
};

} // namespace tarvik
