#pragma once

#include "AttackRecord.h"
#include "DamageBreakdown.h"
#include "KeyedList.h"
#include "Spell.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tarvik {

// A table indexed by 1-based ID; entry 0 is unused.
using IdTable = std::vector<int32_t>;
// Rows indexed by ID (row 0 unused), one column per damage type.
using DamageTable = std::vector<std::vector<int32_t>>;
// Spell name and cast count, in the order spells were first seen.
using SpellCastTable = std::vector<std::pair<std::string, std::string>>;

// One combatant named in the logs and everything the logs say about it.
// Record operations return false when a 32-bit counter would overflow; the
// character is then unchanged by that call.
class Character {
public:
    static constexpr int32_t TableGrowth = 1000;

    // One-time initialiser; a second call changes nothing.
    void CreateCharacter(std::string name, int32_t id);

    int32_t ID() const { return id_; }
    const std::string& Name() const { return name_; }
    bool IsPartyMember() const { return isPartyMember_; }
    void SetIsPartyMember(bool member) { isPartyMember_ = member; }

    [[nodiscard]] bool RecordKill(const Character& victim);
    [[nodiscard]] bool RecordDeath(const Character& killer);
    [[nodiscard]] bool RecordSpellCast(const Spell& spell);
    [[nodiscard]] bool RecordAttack(int32_t defenderId, bool hit);
    [[nodiscard]] bool RecordEnemyAttack(int32_t attackerId, bool hit);
    [[nodiscard]] bool RecordHealing(int32_t amount);
    [[nodiscard]] bool RecordResist(int32_t amount);
    [[nodiscard]] bool RecordSave(int32_t saveValue, int32_t saveType, bool succeeded);
    [[nodiscard]] bool RecordDamageDealt(int32_t defenderId, const DamageBreakdown& damage);
    [[nodiscard]] bool RecordDamageReceived(int32_t attackerId, const DamageBreakdown& damage);

    int32_t Kills() const { return kills_; }
    int32_t Deaths() const { return deaths_; }
    int32_t Spells() const { return spells_; }
    int32_t DistinctSpells() const { return distinctSpells_; }
    int32_t Attacks() const { return attacks_; }
    int32_t AttackHits() const { return attackHits_; }
    int32_t EnemyAttacks() const { return enemyAttacks_; }
    int32_t EnemyAttackHits() const { return enemyAttackHits_; }
    int32_t DamageDealt() const { return damageDealt_; }
    int32_t DamageReceived() const { return damageReceived_; }
    int32_t SaveAttempts() const { return saveAttempts_; }
    int32_t SaveSuccesses() const { return saveSuccesses_; }
    int32_t HPsHealed() const { return hpsHealed_; }
    int32_t Resists() const { return resists_; }
    int32_t HPsResisted() const { return hpsResisted_; }
    // Whether any record was recorded on it: a name met in a line that was
    // then discarded has none.
    bool HasRecords() const;

    // Kills by victim / deaths by killer, sized to characterCount.
    IdTable KillSummary(int32_t characterCount) const;
    IdTable DeathSummary(int32_t characterCount) const;
    // Average damage per opponent (row = opponent ID) and damage type.
    DamageTable AttackDamageSummary(int32_t characterCount, int damageTypeCount) const;
    DamageTable EnemyAttackDamageSummary(int32_t characterCount, int damageTypeCount) const;
    // False (table untouched) when nothing was cast.
    bool SpellsCastSummary(const KeyedList<Spell>& knownSpells, SpellCastTable& table) const;
    // Casts of one spell (0 for an ID beyond the table).
    int32_t CastsOf(int32_t spellId) const { return Entry(castsBySpell_, spellId); }

    // Damage records in the order opponents were first met.
    const std::vector<AttackRecord>& OutboundRecords() const { return outbound_.records; }
    const std::vector<AttackRecord>& InboundRecords() const { return inbound_.records; }
    // Table bound, for tests of the growth rule.
    int32_t KillTableBound() const;

private:
    struct RecordSet {
        std::vector<AttackRecord> records;
        std::unordered_map<int32_t, size_t> byOpponent;
        // Blows come in runs against one opponent: the last one is checked
        // before the map.
        int32_t lastOpponent = 0;
        size_t lastRecord = 0;
    };
    static int32_t Entry(const IdTable& table, int32_t id);
    static bool Increment(IdTable& table, int32_t id);
    static IdTable Summary(const IdTable& table, int32_t characterCount);
    static DamageTable DamageSummary(const RecordSet& set, bool byDefender, int32_t characterCount,
                                     int damageTypeCount);
    AttackRecord& GetAttackRecord(int32_t attackerId, int32_t defenderId, bool outbound,
                                  int damageTypeCount);

    int32_t id_ = 0;
    std::string name_;
    bool isPartyMember_ = false;
    int32_t kills_ = 0;
    IdTable killsByVictim_;
    int32_t deaths_ = 0;
    IdTable deathsByKiller_;
    int32_t spells_ = 0;
    int32_t distinctSpells_ = 0;
    IdTable castsBySpell_;
    int32_t attacks_ = 0;
    int32_t attackHits_ = 0;
    int32_t enemyAttacks_ = 0;
    int32_t enemyAttackHits_ = 0;
    int32_t damageDealt_ = 0;
    RecordSet outbound_;
    int32_t damageReceived_ = 0;
    RecordSet inbound_;
    int32_t saveAttempts_ = 0;
    int32_t saveSuccesses_ = 0;
    int32_t hpsHealed_ = 0;
    bool healed_ = false;
    int32_t resists_ = 0;
    int32_t hpsResisted_ = 0;
};

using CharacterList = KeyedList<Character>;
using SpellList = KeyedList<Spell>;

} // namespace tarvik
