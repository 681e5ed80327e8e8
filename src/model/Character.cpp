#include "Character.h"

#include "util/Checked.h"

namespace tarvik {

void Character::CreateCharacter(std::string name, int32_t id)
{
    if (!name_.empty())
        return;
    name_ = std::move(name);
    id_ = id;
}

int32_t Character::Entry(const IdTable& table, int32_t id)
{
    return id >= 1 && static_cast<size_t>(id) < table.size() ? table[static_cast<size_t>(id)] : 0;
}

bool Character::Increment(IdTable& table, int32_t id)
{
    if (id < 1)
        return true; // no opponent to count against
    // Tables start at 1000 entries and grow by 1000; they are allocated on
    // first use so that the many creatures that never kill cost nothing.
    size_t bound = table.empty() ? TableGrowth : table.size() - 1;
    while (static_cast<size_t>(id) > bound)
        bound += TableGrowth;
    if (table.size() != bound + 1)
        table.resize(bound + 1, 0);
    return AddChecked(table[static_cast<size_t>(id)], 1);
}

int32_t Character::KillTableBound() const
{
    return killsByVictim_.empty() ? TableGrowth : static_cast<int32_t>(killsByVictim_.size() - 1);
}

bool Character::RecordKill(const Character& victim)
{
    if (!CanAdd(kills_, 1) || !CanAdd(Entry(killsByVictim_, victim.ID()), 1))
        return false;
    ++kills_;
    return Increment(killsByVictim_, victim.ID());
}

bool Character::RecordDeath(const Character& killer)
{
    if (!CanAdd(deaths_, 1) || !CanAdd(Entry(deathsByKiller_, killer.ID()), 1))
        return false;
    ++deaths_;
    return Increment(deathsByKiller_, killer.ID());
}

bool Character::RecordSpellCast(const Spell& spell)
{
    const int32_t before = Entry(castsBySpell_, spell.ID());
    if (!CanAdd(spells_, 1) || !CanAdd(before, 1) || !CanAdd(distinctSpells_, 1))
        return false;
    ++spells_;
    if (before == 0)
        ++distinctSpells_;
    return Increment(castsBySpell_, spell.ID());
}

bool Character::RecordAttack(int32_t /*defenderId*/, bool hit)
{
    if (!CanAdd(attacks_, 1) || !CanAdd(attackHits_, 1))
        return false;
    ++attacks_;
    if (hit)
        ++attackHits_;
    return true;
}

bool Character::RecordEnemyAttack(int32_t /*attackerId*/, bool hit)
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
    if (!CanAdd(resists_, 1) || !CanAdd(hpsResisted_, amount))
        return false;
    ++resists_;
    hpsResisted_ += amount;
    return true;
}

bool Character::RecordSave(int32_t /*saveValue*/, int32_t /*saveType*/, bool succeeded)
{
    if (!CanAdd(saveAttempts_, 1) || !CanAdd(saveSuccesses_, 1))
        return false;
    ++saveAttempts_;
    if (succeeded)
        ++saveSuccesses_;
    return true;
}

AttackRecord& Character::GetAttackRecord(int32_t attackerId, int32_t defenderId, bool outbound,
                                         int damageTypeCount)
{
    RecordSet& set = outbound ? outbound_ : inbound_;
    const int32_t key = outbound ? defenderId : attackerId;
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

bool Character::RecordDamageDealt(int32_t defenderId, const DamageBreakdown& damage)
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

bool Character::RecordDamageReceived(int32_t attackerId, const DamageBreakdown& damage)
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

IdTable Character::Summary(const IdTable& table, int32_t characterCount)
{
    IdTable result(static_cast<size_t>(std::max(characterCount, 0)) + 1, 0);
    for (int32_t id = 1; id <= characterCount; ++id)
        result[static_cast<size_t>(id)] = Entry(table, id);
    return result;
}

IdTable Character::KillSummary(int32_t characterCount) const
{
    return Summary(killsByVictim_, characterCount);
}

IdTable Character::DeathSummary(int32_t characterCount) const
{
    return Summary(deathsByKiller_, characterCount);
}

DamageTable Character::DamageSummary(const RecordSet& set, bool byDefender, int32_t characterCount,
                                     int damageTypeCount)
{
    const size_t columns = static_cast<size_t>(std::max(damageTypeCount, 0));
    DamageTable table(static_cast<size_t>(std::max(characterCount, 0)) + 1,
                      std::vector<int32_t>(columns, 0));
    std::vector<int32_t> averages;
    for (const AttackRecord& record : set.records) {
        const int32_t row = byDefender ? record.Defender() : record.Attacker();
        if (row < 1 || row > characterCount || !record.GetAttackAverages(averages))
            continue;
        auto& target = table[static_cast<size_t>(row)];
        for (size_t t = 0; t < columns && t < averages.size(); ++t)
            target[t] = averages[t];
    }
    return table;
}

DamageTable Character::AttackDamageSummary(int32_t characterCount, int damageTypeCount) const
{
    return DamageSummary(outbound_, true, characterCount, damageTypeCount);
}

DamageTable Character::EnemyAttackDamageSummary(int32_t characterCount, int damageTypeCount) const
{
    return DamageSummary(inbound_, false, characterCount, damageTypeCount);
}

bool Character::SpellsCastSummary(const KeyedList<Spell>& knownSpells, SpellCastTable& table) const
{
    if (spells_ == 0)
        return false;
    table.clear();
    table.reserve(static_cast<size_t>(distinctSpells_));
    for (const auto& spell : knownSpells) {
        const int32_t casts = Entry(castsBySpell_, spell->ID());
        if (casts >= 1)
            table.emplace_back(spell->Name(), std::to_string(casts));
    }
    return true;
}

} // namespace tarvik
