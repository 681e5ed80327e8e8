#include "Character.h"

#include "util/Checked.h"

#include <algorithm>

namespace tarvik {

void Character::CreateCharacter(std::string name, CharacterId id)
{
    if (!name_.empty())
        return;
    name_ = std::move(name);
    id_ = id;
}

bool Character::RecordKill(const Character& victim)
{
    if (!CanAdd(kills_, 1) || !CanAdd(KillsOf(victim.ID()), 1))
        return false;
    ++kills_;
    return CountFor(killsByVictim_, victim.ID());
}

bool Character::RecordDeath(const Character& killer)
{
    if (!CanAdd(deaths_, 1) || !CanAdd(DeathsBy(killer.ID()), 1))
        return false;
    ++deaths_;
    return CountFor(deathsByKiller_, killer.ID());
}

bool Character::RecordSpellCast(const Spell& spell)
{
    const int32_t before = CastsOf(spell.ID());
    if (!CanAdd(spells_, 1) || !CanAdd(before, 1) || !CanAdd(distinctSpells_, 1))
        return false;
    ++spells_;
    if (before == 0)
        ++distinctSpells_;
    return CountFor(castsBySpell_, spell.ID());
}

bool Character::RecordAttack(CharacterId /*defenderId*/, bool hit)
{
    if (!CanAdd(attacks_, 1) || !CanAdd(attackHits_, 1))
        return false;
    ++attacks_;
    if (hit)
        ++attackHits_;
    return true;
}

bool Character::RecordEnemyAttack(CharacterId /*attackerId*/, bool hit)
{
    if (!CanAdd(enemyAttacks_, 1) || !CanAdd(enemyAttackHits_, 1))
        return false;
    ++enemyAttacks_;
    if (hit)
        ++enemyAttackHits_;
    return true;
}

bool Character::RecordHealing(int32_t amount)
{
    if (!AddChecked(hpsHealed_, amount))
        return false;
    healed_ = true;
    return true;
}

bool Character::HasRecords() const
{
    return kills_ > 0 || deaths_ > 0 || spells_ > 0 || attacks_ > 0 || enemyAttacks_ > 0 ||
           !outbound_.records.empty() || !inbound_.records.empty() || saveAttempts_ > 0 ||
           resists_ > 0 || healed_;
}

bool Character::RecordResist(int32_t amount)
{
    if (!CanAdd(resists_, 1) || !CanAdd(hpsResisted_, int64_t{amount}))
        return false;
    ++resists_;
    hpsResisted_ += amount;
    return true;
}

bool Character::RecordSave(int32_t /*saveValue*/, SaveTypeIndex /*saveType*/, bool succeeded)
{
    if (!CanAdd(saveAttempts_, 1) || !CanAdd(saveSuccesses_, 1))
        return false;
    ++saveAttempts_;
    if (succeeded)
        ++saveSuccesses_;
    return true;
}

AttackRecord& Character::GetAttackRecord(CharacterId attackerId, CharacterId defenderId,
                                         bool outbound, int damageTypeCount)
{
    RecordSet& set = outbound ? outbound_ : inbound_;
    const CharacterId key = outbound ? defenderId : attackerId;
    if (key == set.lastOpponent && !set.records.empty())
        return set.records[set.lastRecord];
    set.lastOpponent = key;
    const auto it = set.byOpponent.find(key);
    if (it != set.byOpponent.end()) {
        set.lastRecord = it->second;
        return set.records[it->second];
    }
    set.records.emplace_back();
    set.records.back().CreateAttackRecord(attackerId, defenderId, damageTypeCount);
    set.byOpponent.emplace(key, set.records.size() - 1);
    set.lastRecord = set.records.size() - 1;
    return set.records.back();
}

bool Character::RecordDamageDealt(CharacterId defenderId, const DamageBreakdown& damage)
{
    const int32_t total = damage.empty() ? 0 : damage.back();
    if (!CanAdd(damageDealt_, total))
        return false;
    AttackRecord& record = GetAttackRecord(id_, defenderId, true, static_cast<int>(damage.size()));
    if (!record.AddAttack(damage))
        return false;
    damageDealt_ += total;
    return true;
}

bool Character::RecordDamageReceived(CharacterId attackerId, const DamageBreakdown& damage)
{
    const int32_t total = damage.empty() ? 0 : damage.back();
    if (!CanAdd(damageReceived_, total))
        return false;
    AttackRecord& record = GetAttackRecord(attackerId, id_, false, static_cast<int>(damage.size()));
    if (!record.AddAttack(damage))
        return false;
    damageReceived_ += total;
    return true;
}

DamageTable Character::DamageSummary(const RecordSet& set, bool byDefender, int damageTypeCount)
{
    const size_t columns = static_cast<size_t>(std::max(damageTypeCount, 0));
    DamageTable table;
    table.reserve(set.records.size());
    std::vector<int32_t> averages;
    for (const AttackRecord& record : set.records) {
        const CharacterId opponent = byDefender ? record.Defender() : record.Attacker();
        if (opponent.IsNone() || !record.GetAttackAverages(averages))
            continue;
        averages.resize(columns, 0);
        table.emplace_back(opponent, averages);
    }
    std::sort(table.begin(), table.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return table;
}

DamageTable Character::AttackDamageSummary(int damageTypeCount) const
{
    return DamageSummary(outbound_, true, damageTypeCount);
}

DamageTable Character::EnemyAttackDamageSummary(int damageTypeCount) const
{
    return DamageSummary(inbound_, false, damageTypeCount);
}

bool Character::SpellsCastSummary(const KeyedList<Spell>& knownSpells, SpellCastTable& table) const
{
    if (spells_ == 0)
        return false;
    table.clear();
    table.reserve(static_cast<size_t>(distinctSpells_));
    // Spell IDs follow the order spells were first seen.
    for (const auto& [id, casts] : castsBySpell_.Sorted<SpellId>()) {
        if (const Spell* spell = knownSpells.At(id); spell && casts >= 1)
            table.emplace_back(spell->Name(), std::to_string(casts));
    }
    return true;
}

} // namespace tarvik
