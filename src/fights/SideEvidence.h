#pragma once

#include "OwnerEvidence.h"
#include "SideColouring.h"
#include "model/Indices.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tarvik {

// What the lines read tell of sides, kept apart from the marks: who fought
// whom, who spoke in party chat, which pets the owner dominated, who left the
// party, and the owner's own lines. Sides (Sides.h) decides from it and the
// marks when asked. Names are kept only for speakers and pets, which may not
// be characters yet; everything else is by ID. Grows with characters and
// pairs of opponents, never with the number of lines.
class SideEvidence {
public:
    // Names kept at most, so that a log of nonsense cannot grow the sets.
    static constexpr size_t MaxNames = 10000;

    void Clear();
    // Changes whenever anything here does.
    uint64_t Version() const { return version_; }

    // An attack, damage or kill from one character to another.
    void NoteBlow(CharacterId from, CharacterId to);
    std::vector<BlowEdge> Edges() const;

    OwnerEvidence& Owner() { return owner_; }
    const OwnerEvidence& Owner() const { return owner_; }

    // A speaker in party chat: on your side.
    void NotePartySpeaker(std::string_view name);
    // "Dominated X.": the owner's pet.
    void NoteDominated(std::string_view name);
    // Case-folded names, in the order first met.
    const std::vector<std::string>& PartySpeakers() const { return speakers_.names; }
    const std::vector<std::string>& DominatedNames() const { return dominated_.names; }

    // A party exit line (true) or join line (false) for the character.
    void NotePartyLeft(CharacterId id, bool left);
    bool LeftParty(CharacterId id) const { return Flag(leftParty_, id); }

    // Marked a party member because it was inferred to be on your side; it
    // is never marked so again, so that removing the mark by hand holds.
    void NoteInferredMember(CharacterId id);
    bool InferredMember(CharacterId id) const { return Flag(inferred_, id); }

private:
    struct NameSet {
        std::unordered_set<std::string> folded;
        std::vector<std::string> names;
        bool Add(std::string_view name);
    };
    // Flags are kept by the ID's value.
    static bool Flag(const std::vector<bool>& flags, CharacterId id)
    {
        const auto at = static_cast<size_t>(id.value());
        return !id.IsNone() && at < flags.size() && flags[at];
    }
    static bool SetFlag(std::vector<bool>& flags, CharacterId id, bool value);
    // Open addressing over (lower ID, higher ID) keys.
    int64_t& WeightOf(uint64_t key);
    void Grow();

    uint64_t version_ = 0;
    OwnerEvidence owner_;
    NameSet speakers_;
    NameSet dominated_;
    std::vector<bool> leftParty_;
    std::vector<bool> inferred_;

    struct Slot {
        uint64_t key = 0; // 0: empty (IDs start at 1)
        int64_t weight = 0;
    };
    std::vector<Slot> slots_;
    size_t used_ = 0;
    // Blows come in runs between the same two: the last pair is checked first.
    uint64_t lastKey_ = 0;
    size_t lastSlot_ = 0;
};

} // namespace tarvik
