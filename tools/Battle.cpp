#include "Battle.h"

#include <algorithm>
#include <utility>

namespace tarvik {

void Battle::Fight(const std::vector<Creature>& monsters)
{
    for (const Creature& monster : monsters)
        fighters_.emplace_back(monster);
    for (Combatant& f : fighters_) {
        f.target = -1;
        f.grudge = f.opensOn;
        f.round = 0;
        // Initiative: who acts when in the first round.
        f.nextAction = Dice().Below(60) / 10.0;
    }
    const Combatant& owner = At(0);
    book_.Line(InitiativeBody(owner.name, Rolled(1 + Dice().Below(20), owner.initiative)));
    pending_.clear();
    for (second_ = 0; second_ < 400; ++second_) {
        RunDue();
        for (size_t i = 0; i < fighters_.size(); ++i) {
            while (fighters_[i].alive && fighters_[i].nextAction <= static_cast<double>(second_)) {
                Combatant& f = fighters_[i];
                f.nextAction += 6.0 / f.attack.perRound;
                if (SideAlive(true) && SideAlive(false))
                    Act(static_cast<int>(i));
            }
        }
        if (!SideAlive(true) || !SideAlive(false))
            break;
        book_.Wait(1);
    }
    book_.Wait(2);
    // What was still under way (a last word in the party channel) ends now.
    for (int i = 0; i < 4 && !pending_.empty(); ++i) {
        std::vector<Pending> last = std::exchange(pending_, {});
        for (const Pending& p : last)
            p.action();
    }
    pending_.clear();
    fighters_.erase(fighters_.begin() + partySize_, fighters_.end());
}

void Battle::Later(int64_t seconds, std::function<void()> action)
{
    pending_.push_back({second_ + seconds, std::move(action)});
}

void Battle::RunDue()
{
    // An action may add another that is due at once.
    for (size_t p = 0; p < pending_.size();) {
        if (pending_[p].at <= second_) {
            auto action = std::move(pending_[p].action);
            pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(p));
            action();
        } else {
            ++p;
        }
    }
}

bool Battle::SideAlive(bool heroes) const
{
    for (size_t i = 0; i < fighters_.size(); ++i) {
        if (fighters_[i].alive && IsHero(static_cast<int>(i)) == heroes)
            return true;
    }
    return false;
}

int Battle::ChooseTarget(int index)
{
    Combatant& self = At(index);
    if (self.target >= 0 && At(self.target).alive)
        return self.target;
    if (IsHero(index)) {
        // The party kills the small ones first and the boss last, all on
        // the same one.
        int best = -1;
        for (int i = partySize_; i < static_cast<int>(fighters_.size()); ++i) {
            const Combatant& m = At(i);
            if (!m.alive)
                continue;
            if (best < 0 || (At(best).boss && !m.boss) ||
                (m.boss == At(best).boss && m.hp < At(best).hp))
                best = i;
        }
        self.target = best;
        return best;
    }
    if (self.grudge >= 0 && At(self.grudge).alive)
        return self.target = self.grudge;
    std::vector<int> choices;
    for (int i = 0; i < partySize_; ++i) {
        if (At(i).alive)
            choices.push_back(i);
    }
    if (choices.empty())
        return -1;
    // The owner, in front, holds most of them.
    if (At(0).alive && Dice().Chance(55))
        return self.target = 0;
    return self.target = Dice().Pick(choices);
}

int Battle::ChoosePatient() const
{
    // Whoever has the smallest share of their hit points, below 55%.
    int patient = -1;
    for (int i = 0; i < partySize_; ++i) {
        const Combatant& h = At(i);
        if (h.alive && h.hp * 100 < h.maxHp * 55 &&
            (patient < 0 || h.hp * At(patient).maxHp < At(patient).hp * h.maxHp))
            patient = i;
    }
    return patient;
}

void Battle::Act(int index)
{
    Combatant& self = At(index);
    const int perRound = self.attack.perRound;
    const int attackInRound = self.round % perRound;
    const int roundNumber = self.round / perRound;
    const bool roundStart = attackInRound == 0;
    ++self.round;
    const int target = ChooseTarget(index);
    if (target < 0)
        return;

    if (roundStart && self.role == Role::Cleric) {
        // The cleric heals whoever needs it most, before anything else.
        const int patient = ChoosePatient();
        if (patient >= 0) {
            const bool heal = At(patient).hp * 100 < At(patient).maxHp * 25;
            Heal(index, patient, heal ? "Heal" : "Cure Critical Wounds",
                 heal ? 150 : Dice().Roll(4, 8) + 30);
            self.round += perRound - 1;
            return;
        }
    }
    if (roundStart && !self.spells.empty() && self.spellEvery > 0 &&
        (roundNumber > 0 || self.opensWithSpell) && roundNumber % self.spellEvery == 0) {
        const size_t turn = static_cast<size_t>(roundNumber / self.spellEvery) % self.spells.size();
        Cast(index, *self.spells[turn]);
        self.round += perRound - 1;
        return;
    }
    const int bonus = self.attack.BonusOf(attackInRound);
    std::string descriptions;
    if (self.role == Role::Rogue) {
        if (self.round % perRound == 0)
            descriptions += "Off Hand : ";
        // Flanking with the owner gives sneak attacks.
        if (At(0).alive && At(0).target == target && Dice().Chance(60))
            descriptions += "Sneak Attack : ";
    }
    if (self.role == Role::Fighter && Dice().Chance(4)) {
        const int roll = 1 + Dice().Below(20);
        book_.Line(SpecialAttackBody(self.name, "Knockdown", At(target).name,
                                     Dice().Chance(50) ? "resisted" : "failed",
                                     Rolled(roll, bonus)));
        return;
    }
    Attack(index, target, bonus, descriptions);
}

void Battle::Attack(int attacker, int defender, int bonus, const std::string& descriptions)
{
    const Combatant& a = At(attacker);
    const Combatant& d = At(defender);
    const D20 roll = Rolled(1 + Dice().Below(20), bonus);
    const auto line = [&](const std::string& result, const D20* threat = nullptr) {
        book_.Line(AttackBody(descriptions, a.name, d.name, result, roll, threat));
    };
    if (d.concealment > 0 && Dice().Chance(d.concealment)) {
        line("target concealed: " + std::to_string(d.concealment) + "%");
        return;
    }
    const bool hit = roll.die == 20 || (roll.die != 1 && roll.total >= d.ac);
    if (!hit) {
        line(d.parry > 0 && Dice().Chance(d.parry) ? "parried" : "miss");
        return;
    }
    bool critical = false;
    D20 threat;
    const bool threatens = roll.die >= a.threat;
    if (threatens) {
        threat = Rolled(1 + Dice().Below(20), bonus);
        critical = threat.die == 20 || (threat.die != 1 && threat.total >= d.ac);
    }
    if (d.epicDodge > 0 && Dice().Chance(d.epicDodge)) {
        // The hit is evaded: the game writes it as a miss that kept its threat roll.
        if (rules_.evadedKeepThreat && !threatens)
            threat = Rolled(1 + Dice().Below(20), bonus);
        line("miss", threatens || rules_.evadedKeepThreat ? &threat : nullptr);
        book_.Line(EpicDodgeBody(d.name));
        if (truth_)
            ++truth_->evaded[d.name];
        return;
    }
    line(critical ? "critical hit" : "hit", threatens ? &threat : nullptr);
    if (critical && ImmuneTo(d, "Critical Hits")) {
        critical = false;
        book_.Line(d.name + " : Immune to Critical Hits.");
    }
    bool sneak = descriptions.find("Sneak Attack") != std::string::npos;
    if (sneak && ImmuneTo(d, "Sneak Attacks")) {
        sneak = false;
        book_.Line(d.name + " : Immune to Sneak Attacks.");
    }
    PerType amounts{};
    amounts[Physical] = (Dice().Roll(a.damage.count, a.damage.sides) + a.damage.bonus) *
                        (critical ? a.critMultiplier : 1);
    if (sneak)
        amounts[Physical] += Dice().Roll(a.sneak.count, a.sneak.sides) + a.sneak.bonus;
    if (a.extraType >= 0)
        amounts[static_cast<size_t>(a.extraType)] += Dice().Roll(1, a.extraSides);
    if (critical && a.role == Role::Fighter)
        book_.Line("Devastating Critical Hit!");
    Damage(attacker, defender, amounts);
}

bool Battle::ImmuneTo(const Combatant& c, std::string_view what) const
{
    return std::find(c.immuneTo.begin(), c.immuneTo.end(), what) != c.immuneTo.end();
}

void Battle::Damage(int attacker, int defender, PerType amounts, bool spell)
{
    Combatant& d = At(defender);
    // What immunity takes first, then reduction of the physical part and
    // resistance of each type from what is left.
    PerType shown = amounts;
    PerType immune{};
    for (size_t t = 0; t < DamageTypeCount; ++t) {
        if (amounts[t] > 0 && d.immunity[t] > 0) {
            immune[t] = amounts[t] * d.immunity[t] / 100;
            shown[t] -= immune[t];
            if (truth_ && immune[t] > 0)
                truth_->immunityPairs[{d.name, static_cast<int>(t)}].emplace_back(amounts[t],
                                                                                  immune[t]);
        }
    }
    int reduced = 0;
    const bool alongside = rules_.reductionWithImmunity;
    if (d.reduction > 0 && (d.immunity[Physical] == 0 || alongside) && shown[Physical] > 0) {
        reduced = std::min(shown[Physical], d.reduction);
        shown[Physical] -= reduced;
    }
    PerType resisted{};
    for (size_t t = 0; t < DamageTypeCount; ++t) {
        if (d.resistance[t] > 0 && (d.immunity[t] == 0 || alongside) && shown[t] > 0) {
            resisted[t] = std::min(shown[t], d.resistance[t]);
            shown[t] -= resisted[t];
        }
    }
    std::vector<DamagePart> parts;
    int total = 0;
    for (size_t t = 0; t < DamageTypeCount; ++t) {
        if (amounts[t] <= 0)
            continue;
        total += shown[t];
        parts.push_back({shown[t], DamageTypeName(static_cast<int>(t))});
    }
    const auto absorbs = [&] {
        for (size_t t = 0; t < DamageTypeCount; ++t) {
            if (immune[t] > 0)
                book_.Line(ImmunityBody(d.name, immune[t], DamageTypeName(static_cast<int>(t))));
        }
        if (reduced > 0)
            book_.Line(AbsorbBody(d.name, "Reduction", reduced));
        for (const int amount : resisted) {
            if (amount > 0)
                book_.Line(AbsorbBody(d.name, "Resistance", amount));
        }
    };
    const bool above = spell && rules_.spellAbsorbsAbove;
    if (above)
        absorbs();
    book_.Line(DamageBody(At(attacker).name, d.name, parts));
    if (!above)
        absorbs();
    if (truth_)
        truth_->damage[{d.name, At(attacker).name}] += total;
    d.hp -= total;
    if (d.hp <= 0 && d.alive)
        Kill(attacker, defender);
}

void Battle::Kill(int attacker, int defender)
{
    Combatant& d = At(defender);
    d.alive = false;
    book_.Line(KilledBody(At(attacker).name, d.name));
    if (!IsHero(defender) && d.experience > 0)
        book_.Line(ExperienceBody(d.experience + Dice().Below(d.experience / 5 + 1)));
    // The owner writes nothing of their own death.
    if (IsHero(defender) && defender != 0 && Dice().Chance(70)) {
        Later(1 + Dice().Below(3), [this, defender] {
            book_.Line(At(defender).name + ": [Party] " +
                       (Dice().Chance(50) ? "dead, sorry" : "ugh. down"));
        });
    }
}

bool Battle::Save(int index, const SpellPlan& spell)
{
    const Combatant& f = At(index);
    const D20 roll = Rolled(1 + Dice().Below(20), f.saves[static_cast<size_t>(spell.save)]);
    const bool success = roll.die == 20 || (roll.die != 1 && roll.total >= spell.dc);
    const std::string evasion = spell.save == SaveKind::Reflex && f.evasion ? "Evasion : " : "";
    book_.Line(SaveBody(f.name, evasion + spell.saveText, success, roll, spell.dc));
    return success;
}

void Battle::Cast(int caster, const SpellPlan& spell)
{
    book_.Line(CastingBody(At(caster).name, spell.name, false));
    Later(2, [this, caster, &spell] { SpellLands(caster, spell); });
}

void Battle::SpellLands(int caster, const SpellPlan& spell)
{
    if (!At(caster).alive)
        return;
    book_.Line(CastingBody(At(caster).name, spell.name, true));
    // The caster's target and as many more of the other side as the spell reaches.
    std::vector<int> targets;
    const int first = IsHero(caster) ? partySize_ : 0;
    const int last = IsHero(caster) ? static_cast<int>(fighters_.size()) : partySize_;
    const int main = ChooseTarget(caster);
    if (main >= 0)
        targets.push_back(main);
    for (int i = first; i < last && static_cast<int>(targets.size()) < spell.targets; ++i) {
        if (i != main && At(i).alive)
            targets.push_back(i);
    }
    for (const int t : targets) {
        Combatant& target = At(t);
        if (!target.alive)
            continue;
        int amount = Dice().Roll(spell.damage.count, spell.damage.sides) + spell.damage.bonus;
        if (t == 0 && rules_.spellResistLines) {
            const bool immune =
                std::find(target.immuneToSpells.begin(), target.immuneToSpells.end(), spell.name) !=
                target.immuneToSpells.end();
            const char* result = immune ? "IMMUNE" : "FAILED";
            // Two blanks before the result, as the game writes it.
            book_.Line(std::string("SPELL RESIST: ") + target.name +
                       " attempts to resist: " + spell.name + " - Result:  " + result);
            if (truth_)
                ++truth_->spellResults[{spell.name, result}];
            if (immune)
                continue;
        }
        if (spell.saveText) {
            const bool saved = Save(t, spell);
            if (spell.deathSpell && saved)
                continue;
            if (saved)
                amount = target.evasion ? 0 : amount / 2;
        }
        if (amount == 0)
            continue;
        PerType amounts{};
        amounts[static_cast<size_t>(spell.type)] = amount;
        // A wizard's fireball makes the boss angry at him.
        if (target.holdsGrudge && IsHero(caster))
            target.grudge = caster;
        Damage(caster, t, amounts, true);
    }
}

void Battle::Heal(int caster, int patient, const char* spellName, int amount)
{
    book_.Line(CastingBody(At(caster).name, spellName, false));
    Later(2, [this, caster, patient, spellName, amount] {
        Combatant& p = At(patient);
        if (!At(caster).alive || !p.alive)
            return;
        book_.Line(CastingBody(At(caster).name, spellName, true));
        const int healed = std::min(amount, p.maxHp - p.hp);
        p.hp += healed;
        book_.Line(HealedBody(p.name, healed));
    });
}

} // namespace tarvik
