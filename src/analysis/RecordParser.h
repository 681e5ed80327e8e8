#pragma once

#include "RecordContext.h"
#include "config/LogFormat.h"
#include "fights/FightEvents.h"
#include "fights/Rolls.h"
#include "model/DamageBreakdown.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

struct Error;

// A record cut in two at a separator. The text is kept with its parts so
// that the debug log can tell how the record was cut.
struct Cut {
    std::string_view text;
    std::string_view left; // trimmed, as is right
    std::string_view right;
    bool made = false;
};

// Why a record is discarded: its message in the error list and the debug
// line that says why.
struct RejectionText {
    constexpr RejectionText(std::string_view message, int debugLevel = 0,
                            std::string_view debug = {}, bool namesMissing = false)
        : message(message)
        , debugLevel(debugLevel)
        , debug(debug)
        , namesMissing(namesMissing)
    {
    }

    std::string_view message; // "Invalid attack record, discarded: "
    int debugLevel;           // 0: no debug line
    std::string_view debug;
    bool namesMissing; // the debug line ends naming the missing separator
};

struct Rejection {
    const RejectionText* text = nullptr; // null: the record holds
    std::string_view missing;            // the separator not found, if named

    explicit operator bool() const { return text != nullptr; }
    std::string_view Message() const { return text ? text->message : std::string_view(); }
};

// An amount that ends the whole read: no number at all. An amount that is a
// number but negative or beyond 32 bits discards only its record.
enum class Fault : uint8_t { None, TypeMismatch };
Error ErrorOf(Fault fault);

// A cut that names a character. When rejection is set, the record is
// discarded before the name is looked up.
struct Opening {
    Cut cut;
    std::string_view name;
    Rejection rejection;
};

// What a record says, taken apart. Texts are views into the record's body;
// spans and the damage amounts point into the parser and hold until its
// next parse.
struct ParsedAttack {
    bool descriptionsRemoved = false; // "Off Hand : " and the like before the attacker
    std::string_view acting;          // the body from the attacker on
    Opening attacker;                 // cut at the identifier
    Opening defender;                 // cut at the separator, after the attacker's
    bool hit = false;
    AttackOutcome outcome = AttackOutcome::Other;
    std::optional<AttackRoll> roll;
    bool touch = false;   // rolled against touch AC
    bool special = false; // Knockdown, Called Shot, ...: a bonus of its own
    bool offHand = false; // a leading description names the off hand
};

// "*target concealed: 50%*" in an attack.
struct Concealment {
    bool marked = false;   // the marker is there
    bool readable = false; // and a number follows it
    int32_t percent = 0;
};

struct ParsedDamage {
    Opening attacker;
    Opening defender;
    // What each damage type lookup found ("Total" included), in order, up
    // to where the amounts failed if they did.
    std::span<const DamageTypeIndex> typeLookups;
    Rejection rejection;                      // of the amounts
    const DamageBreakdown* amounts = nullptr; // set when the record holds
    uint64_t namedTypes = 0; // bit t: the type of slot t named, even with a zero amount
};

struct ParsedCasting {
    Opening caster;
    std::string_view spell;
};

struct ParsedHealing {
    Opening character;
    int32_t amount = 0;
    Fault fault = Fault::None;
};

// "Name : Damage Immunity absorbs 1 point(s) of Physical"
struct ParsedAbsorb {
    Opening character;
    int32_t amount = 0;
    Fault fault = Fault::None;
    DamageTypeIndex typeLookup; // as found, "Total" included
    DamageTypeIndex damageType; // none: resistance and reduction
};

struct ParsedSave {
    Opening character;
    SaveTypeIndex saveType;
    bool success = false;
    int32_t bonus = 0;
    Fault fault = Fault::None;
    std::optional<SaveRoll> roll;
};

struct ParsedKill {
    Opening killer;
    std::string_view victim;
};

struct ParsedExperience {
    bool found = false; // a number where the points are written
    int32_t points = 0;
    Rejection rejection; // a number, but not one of points
};

// "Name : Immune to Critical Hits.", "Name is immune to to FEAR effects".
struct ParsedImmunity {
    Opening character;
    std::string_view what; // "Critical Hits", "FEAR"
};

// "SPELL RESIST: Name attempts to resist: Spell - Result:  IMMUNE": only the
// log's owner gets these lines.
struct ParsedSpellResist {
    std::string_view name;
    std::string_view spell;
    std::string_view result; // as written
    Rejection rejection;
};

// The user's character, a party member joining or leaving: one name.
struct ParsedName {
    std::string_view name;
    Rejection rejection;
};

// Takes classified records apart with the configured markers and type
// names. It knows nothing of characters: what a record says is recorded by
// EventRecorder.
class RecordParser {
public:
    explicit RecordParser(const AnalysisConfig& config);

    ParsedAttack ParseAttack(const RecordContext& record) const;
    // Looked for only in the user's own attacks.
    Concealment ConcealmentOf(std::string_view acting) const;
    // The bonus of the roll; 0 when there is none.
    int32_t AttackBonusOf(std::string_view acting) const;
    ParsedDamage ParseDamage(const RecordContext& record);
    ParsedCasting ParseCasting(const RecordContext& record) const;
    ParsedHealing ParseHealing(const RecordContext& record) const;
    ParsedAbsorb ParseAbsorb(const RecordContext& record);
    ParsedSave ParseSave(const RecordContext& record);
    ParsedKill ParseKill(const RecordContext& record) const;
    ParsedExperience ParseExperience(const RecordContext& record) const;
    ParsedName ParseCharacter(const RecordContext& record) const;
    ParsedName ParsePartyChange(const RecordContext& record, bool join) const;
    // Also for a server's continuation line classified as an Immunity record.
    ParsedImmunity ParseImmunity(const RecordContext& record) const;
    ParsedSpellResist ParseSpellResist(const RecordContext& record) const;
    // "Dominated Cerberus.": the pet's name; empty for any other line, and
    // for one with a name before the marker (not the owner's pet).
    std::string_view ParseDominated(const RecordContext& record) const;
    // The speaker of a party chat line, "Name: [Party] hi"; empty for other
    // chat.
    std::string_view PartySpeaker(const RecordContext& record) const;

private:
    // Each fills cut and says whether it was made.
    bool CutAt(Cut& cut, std::string_view text, size_t p, size_t separatorSize) const;
    bool CutAtSeparator(Cut& cut, std::string_view text) const;
    bool CutAtIdentifier(Cut& cut, const RecordContext& record) const;
    // The amounts by type of a damage record, "(20 Physical 10 Fire)".
    void ReadAmounts(ParsedDamage& damage, std::string_view amounts);
    std::string_view BeforeDelimiter(std::string_view name) const;
    std::string_view ActingFieldAt(std::string_view text, size_t m, size_t* identifierAt) const;
    AttackOutcome OutcomeOf(std::string_view result, bool hit,
                            const std::optional<AttackRoll>& roll) const;
    DamageTypeIndex DamageTypeOf(std::string_view text);
    SaveTypeIndex SaveTypeOf(std::string_view text) const;

    const AnalysisConfig& config_;
    std::string touchAttackLower_; // identifiers are lower case
    std::string specialAttackLower_;
    std::vector<std::string> damageTypesLower_;
    std::vector<std::string> saveTypesLower_;
    // Damage type names repeat endlessly; remember what each resolved to.
    struct TypeCacheEntry {
        std::string text;
        DamageTypeIndex type;
        bool filled = false;
    };
    static constexpr size_t CacheSlots = 64;
    std::array<TypeCacheEntry, CacheSlots> damageTypeCache_;
    // Reused from record to record.
    std::vector<std::string_view> parts_;
    std::vector<std::string_view> words_;
    std::vector<DamageTypeIndex> typeLookups_;
    DamageBreakdown breakdown_;
    std::string typeName_;
};

// Where a name goes in a cache of slotCount entries. The same few names
// come back line after line: a slot per name, chosen without hashing the
// whole text; a name that meets another in its slot is looked up again.
inline size_t CacheSlotOf(std::string_view text, size_t slotCount)
{
    return text.empty() ? 0
                        : (text.size() * 31 + static_cast<unsigned char>(text[0]) * 7 +
                           static_cast<unsigned char>(text.back())) %
                              slotCount;
}

} // namespace tarvik
