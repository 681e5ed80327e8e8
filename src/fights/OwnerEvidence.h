#pragma once

#include "model/Indices.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvik {

// What tells the log's owner apart, besides its initiative rolls: only the
// owner's character gets spell-resistance lines, and absorb lines appear only
// on hits the owner gives or takes.
class OwnerEvidence {
public:
    // An absorbed hit needs this many pairs before its owner is trusted.
    static constexpr int32_t MinAbsorbedHits = 3;
    // Share (in percent) of the absorbed hits the owner must take part in.
    static constexpr int32_t OwnerSharePercent = 90;

    void Clear() { *this = OwnerEvidence(); }

    // An initiative roll of this character: it is the owner, and the other
    // evidence no longer decides.
    void NoteInitiative(CharacterId id) { initiativeOwner_ = id; }
    CharacterId ByInitiative() const { return initiativeOwner_; }
    // A spell-resistance line of this character: it is the owner.
    void NoteSpellResistance(CharacterId id) { spellResistOwner_ = id; }
    CharacterId BySpellResistance() const { return spellResistOwner_; }

    // Damage and absorb lines in the order read, each with its line number
    // and second. An absorb belongs to the damage line right above it (only
    // absorbs of the same character between, same second, its type named
    // there) or else to the damage line right below it; each damage line
    // with absorbs counts one absorbed hit between its two characters.
    // Each says whether it counted an absorbed hit.
    bool NoteDamage(int64_t line, int64_t second, CharacterId attacker, CharacterId defender,
                    uint64_t namedTypes);
    // damageType: none for resistance and reduction.
    bool NoteAbsorb(int64_t line, int64_t second, CharacterId defender, DamageTypeIndex damageType);
    // The character that took part in at least OwnerSharePercent of the
    // absorbed hits, when it is the only one and there are enough hits; none
    // otherwise (hits between one pair of characters name no owner).
    CharacterId ByAbsorbs() const;
    int32_t AbsorbedHits() const { return absorbedHits_; }

    // The owner the evidence chose last, so that a character is chosen once
    // when the evidence first names it, not again after the user chose
    // another by hand. True when id differs from the last choice.
    bool Choose(CharacterId id)
    {
        if (id == chosen_)
            return false;
        chosen_ = id;
        return true;
    }

private:
    void CountHit(CharacterId attacker, CharacterId defender);

    CharacterId initiativeOwner_;
    CharacterId spellResistOwner_;
    CharacterId chosen_;
    // The last damage line and the absorbs that followed it.
    struct LastDamage {
        int64_t line = -2;
        int64_t second = 0;
        CharacterId attacker;
        CharacterId defender;
        uint64_t namedTypes = 0;
        int64_t chainEnd = -2; // the last line of its absorbs
        bool counted = false;
    } last_;
    // Absorbs not taken by the line above, waiting for the line below.
    struct Waiting {
        int64_t lastLine = -2;
        int64_t second = 0;
        CharacterId defender;
        uint64_t types = 0; // the immunities' damage types
    } waiting_;
    // By the character ID's value: absorbed hits it took part in.
    std::vector<int32_t> hitsWith_;
    int32_t absorbedHits_ = 0;
    // The two characters in most absorbed hits, kept as the counts grow.
    CharacterId first_;
    CharacterId second_;
};

} // namespace tarvik
