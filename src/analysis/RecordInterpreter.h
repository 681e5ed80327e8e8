#pragma once

#include "config/LogFormat.h"
#include "config/RecordKind.h"
#include "fights/FightEvents.h"
#include "model/DamageBreakdown.h"
#include "util/DateTime.h"
#include "util/Error.h"
#include "util/Text.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

struct AnalysisData;
class Character;
class DebugLog;
class ErrorList;
class FightTracker;
class PartyMarks;
class RealTimeState;
class SessionHost;
class Spell;

// Options of the analysis that the user switches.
struct AnalysisOptions {
    bool autodetectParty = false;
    bool monitoringEnabled = false;
};

// One classified record, as the reader hands it on.
struct RecordContext {
    std::string_view line;
    std::string_view body; // the record text, trimmed
    RecordKind kind = RecordKind::Unknown;
    std::string_view identifier; // the identifier that classified it (lower case)
    size_t identifierAt = 0;     // where it first occurs in body
    DateTime date;               // of the line
};

// Takes a classified record apart and records it on the characters it names.
// A record that cannot be taken apart is reported in the error list and
// skipped; a returned Error (an overflow, a number that is none) ends the
// whole read.
class RecordInterpreter {
public:
    RecordInterpreter(const AnalysisConfig& config, AnalysisData& data, RealTimeState& realTime,
                      FightTracker& fights, DebugLog& debug, ErrorList& errors, PartyMarks& marks,
                      const AnalysisOptions& options, SessionHost& host);

    Error Interpret(const RecordContext& record);

    // The cutting and lookup tools, public for their own tests.
    bool SplitRecord(std::string_view text, std::string_view separator, std::string_view& left,
                     std::string_view& right);
    static std::string_view ExtractBetween(std::string_view text, std::string_view start,
                                           std::string_view end);
    Character& FindCharacter(std::string_view name, int32_t id = 0);
    Spell& FindSpell(std::string_view name);
    int GetDamageType(std::string_view text);
    int GetSaveType(std::string_view text);
    // Drops descriptions ("Off Hand : Sneak Attack : ") before the field in
    // which the identifier starts.
    // identifierAt, when given, receives where the identifier starts in the
    // result (npos when it is not there).
    std::string_view FromActingField(std::string_view text, std::string_view identifier,
                                     size_t* identifierAt = nullptr) const;

private:
    // FromActingField with the identifier already found at m in text.
    std::string_view ActingFieldAt(std::string_view text, size_t m, size_t* identifierAt) const;
    // SplitRecord with the separator already found at p (npos: not found).
    bool SplitAt(std::string_view text, size_t p, size_t separatorSize, std::string_view& left,
                 std::string_view& right);
    Error Attack(const RecordContext& record);
    Error Damage(const RecordContext& record);
    Error Casting(const RecordContext& record);
    Error Healing(const RecordContext& record);
    Error Resist(const RecordContext& record);
    Error Save(const RecordContext& record);
    Error Kill(const RecordContext& record);
    Error Experience(const RecordContext& record);
    Error CharacterRecord(const RecordContext& record);
    Error PartyChange(const RecordContext& record, bool join);

    // Adds message and the whole line to the error list.
    void Report(const RecordContext& record, std::string_view message);
    void Debug(int level, std::string_view message);
    template <class Build>
    void DebugBuilt(int level, Build&& build);
    Error CountRecord();
    void NoteDetail(const Character& a);
    void NoteDetail(const Character& a, const Character& b);
    std::string_view BeforeDelimiter(std::string_view name) const;
    // The user's character or a party member: its events go into death recaps.
    bool OnYourSide(const Character& character) const;
    // What an attack's result part says: hit, critical hit, miss or neither.
    AttackOutcome OutcomeOf(std::string_view result, bool hit,
                            const std::optional<AttackRoll>& roll) const;
    // An amount the record must carry: a number, or the read ends.
    static Error ToAmount(std::string_view text, int32_t& amount);

    const AnalysisConfig& config_;
    AnalysisData& data_;
    RealTimeState& realTime_;
    FightTracker& fights_;
    DebugLog& debug_;
    ErrorList& errors_;
    PartyMarks& marks_;
    const AnalysisOptions& options_;
    SessionHost& host_;

    std::vector<std::string> damageTypesLower_;
    // Damage type names repeat endlessly; remember what each resolved to.
    struct TypeCacheEntry {
        std::string text;
        int index = -1; // -1: empty
    };
    // The same few names come back line after line: a slot per name, chosen
    // without hashing the whole text; a name that meets another in its slot
    // is looked up again.
    static constexpr size_t CacheSlots = 64;
    static size_t CacheSlot(std::string_view text)
    {
        return text.empty() ? 0
                            : (text.size() * 31 + static_cast<unsigned char>(text[0]) * 7 +
                               static_cast<unsigned char>(text.back())) %
                                  CacheSlots;
    }
    std::array<TypeCacheEntry, CacheSlots> damageTypeCache_;
    std::vector<std::string> saveTypesLower_;
    // Where character names were found, as they were written. An entry holds
    // while the characters have not been cleared since.
    struct NameCacheEntry {
        std::string name;
        int32_t id = 0;
        uint64_t generation = 0;
    };
    std::array<NameCacheEntry, CacheSlots> nameCache_;
    // Reused from record to record.
    std::vector<std::string_view> parts_;
    std::vector<std::string_view> words_;
    DamageBreakdown breakdown_;
    std::string typeName_;
};

} // namespace tarvik
