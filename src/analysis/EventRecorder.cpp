#include "EventRecorder.h"

#include "AnalysisData.h"
#include "ChangeNotes.h"
#include "ErrorList.h"
#include "PartyMarks.h"
#include "SessionHost.h"
#include "diag/DebugLog.h"
#include "fights/FightTracker.h"
#include "fights/SideEvidence.h"
#include "monitor/RealTimeState.h"
#include "util/Checked.h"
#include "util/Text.h"

namespace tarvik {

namespace {

std::string ViewText(std::string_view view)
{
    return std::string(view);
}

} // namespace

EventRecorder::EventRecorder(const RecordParser& parser, const RecordTargets& targets)
    : parser_(parser)
    , to_(targets)
{
}

void EventRecorder::Debug(int level, std::string_view message)
{
    if (to_.debug.Wants(level))
        to_.debug.LogDebug(message, level, false, &to_.data.linesRead);
}

template <class Build>
void EventRecorder::DebugBuilt(int level, Build&& build)
{
    if (to_.debug.Wants(level))
        to_.debug.LogDebug(build(), level, false, &to_.data.linesRead);
}

void EventRecorder::TellType(const char* what, DamageTypeIndex type)
{
    // The debug log counts damage types from 1, with 0 for none.
    to_.debug.LogDebug(what + std::to_string(type.value() + 1) + ".", 3);
}

void EventRecorder::TellType(const char* what, SaveTypeIndex type)
{
    to_.debug.LogDebug(what + std::to_string(type.value()) + ".", 3);
}

inline bool EventRecorder::Wants(int level) const
{
    return to_.debug.Wants(level);
}

// Inlined: the level is checked on every record, the text seldom built.
[[gnu::always_inline]] inline void EventRecorder::TellCut(const Cut& cut)
{
    if (Wants(cut.made ? 3 : 4))
        TellCutNow(cut);
}

void EventRecorder::TellCutNow(const Cut& cut)
{
    if (cut.made) {
        DebugBuilt(3, [&] {
            return "[" + ViewText(cut.text) + "] split to [" + ViewText(cut.left) + "] and [" +
                   ViewText(cut.right) + "].";
        });
    } else {
        DebugBuilt(4, [&] { return "[" + ViewText(cut.text) + "] could not be split."; });
    }
}

void EventRecorder::Reject(const RecordContext& record, const Rejection& rejection)
{
    const RejectionText& text = *rejection.text;
    if (text.debugLevel > 0) {
        DebugBuilt(text.debugLevel, [&] {
            std::string line(text.debug);
            if (text.namesMissing)
                line += " '" + ViewText(rejection.missing) + "'.";
            return line;
        });
    }
    to_.errors.Add(text.message, record.line);
}

bool EventRecorder::CountRecord()
{
    return AddChecked(to_.data.recordsParsed, 1);
}

void EventRecorder::ChooseOwner()
{
    OwnerEvidence& owner = to_.sides.Owner();
    if (!to_.options.autodetectParty || !owner.ByInitiative().IsNone())
        return;
    CharacterId id = owner.BySpellResistance();
    UserFoundBy how = UserFoundBy::SpellResistanceLines;
    if (id.IsNone()) {
        id = owner.ByAbsorbs();
        how = UserFoundBy::AbsorbLines;
    }
    if (id.IsNone() || !owner.Choose(id) || id == to_.data.userCharacterId)
        return;
    DebugBuilt(2, [&] {
        return std::string("Analysis:  The log's owner found by its ") +
               (how == UserFoundBy::AbsorbLines ? "absorb" : "spell-resistance") + " lines.";
    });
    to_.marks.SelectUserCharacter(id, how);
}

// Inlined: most names are the one last met in their cache slot.
[[gnu::always_inline]] inline Character& EventRecorder::FindCharacter(std::string_view name)
{
    name = Trim(name);
    NameCacheEntry& cacheEntry = nameCache_[CacheSlotOf(name, CacheSlots)];
    CharacterList& characters = to_.data.characters;
    Character* found = nullptr;
    if (!cacheEntry.id.IsNone() && cacheEntry.generation == characters.Generation() &&
        cacheEntry.name == name)
        found = characters.At(cacheEntry.id);
    if (!found)
        return FindUncached(name, cacheEntry);
    if (to_.debug.Wants(3))
        to_.debug.LogDebug("Found character [" + found->Name() + "].", 3);
    return *found;
}

Character& EventRecorder::FindUncached(std::string_view name, NameCacheEntry& cacheEntry)
{
    CharacterList& characters = to_.data.characters;
    if (Character* found = characters.Find(name)) {
        cacheEntry.name.assign(name);
        cacheEntry.id = found->ID();
        cacheEntry.generation = characters.Generation();
        to_.debug.Log(3, [&] { return "Found character [" + found->Name() + "]."; });
        return *found;
    }
    to_.debug.Log(2, [&] { return "Creating new character: [" + ViewText(name) + "]."; });
    auto character = std::make_unique<Character>();
    character->CreateCharacter(std::string(name), characters.NextId());
    Character& added = characters.Add(std::string(name), std::move(character));
    to_.host.CharacterCreated(added.ID());
    return added;
}

// Inlined: it opens nearly every record.
[[gnu::always_inline]] inline Character*
EventRecorder::Open(const RecordContext& record, const Opening& opening, bool count, Error& error)
{
    TellCut(opening.cut);
    if (opening.rejection) {
        Reject(record, opening.rejection);
        return nullptr;
    }
    if (count && !CountRecord()) {
        error = OverflowError();
        return nullptr;
    }
    return &FindCharacter(opening.name);
}

Spell& EventRecorder::FindSpell(std::string_view name)
{
    SpellList& spells = to_.data.knownSpells;
    if (Spell* found = spells.Find(name)) {
        to_.debug.Log(3, [&] { return "Found spell [" + found->Name() + "]."; });
        return *found;
    }
    to_.debug.Log(2, [&] { return "Creating spell [" + ViewText(name) + "]."; });
    auto spell = std::make_unique<Spell>();
    spell->CreateSpell(std::string(name), spells.NextId());
    return spells.Add(std::string(name), std::move(spell));
}

void EventRecorder::Chat(const RecordContext& record)
{
    Debug(2, "Analysis:  Chat record detected and discarded.");
    const std::string_view speaker = parser_.PartySpeaker(record);
    if (!speaker.empty())
        to_.sides.NotePartySpeaker(speaker);
}

Error EventRecorder::Attack(const RecordContext& record, const ParsedAttack& attack)
{
    Debug(1, "Analysis:  Attack record detected.");
    if (attack.descriptionsRemoved)
        Debug(2, "Analysis:  Removing custom attack descriptions.");
    Error error;
    Character* attacker = Open(record, attack.attacker, false, error);
    if (!attacker)
        return error;
    Character* defender = Open(record, attack.defender, true, error);
    if (!defender)
        return error;
    const bool hit = attack.hit;
    DebugBuilt(2, [&] {
        return "Analysis:  Recording " + attacker->Name() + " attacking " + defender->Name() +
               ", successful?: " + BoolWord(hit) + ".";
    });
    if (!attacker->RecordAttack(defender->ID(), hit) ||
        !defender->RecordEnemyAttack(attacker->ID(), hit))
        return OverflowError();
    to_.changes.Character(attacker->ID());
    to_.changes.Character(defender->ID());
    to_.fights.OnAttack({record.date, attacker->ID(), defender->ID(), attack.outcome,
                         attack.roll.has_value(), attack.roll.value_or(AttackRoll{}), attack.touch,
                         attack.special, attack.offHand});
    to_.sides.NoteBlow(attacker->ID(), defender->ID());

    const CharacterId user = to_.data.userCharacterId;
    if (attacker->ID() == user) {
        const Concealment concealment = parser_.ConcealmentOf(attack.acting);
        if (!concealment.marked) {
            to_.realTime.SetLastConcealment(0);
            to_.changes.RealTime();
            DebugBuilt(3, [&] { return "Analysis:  " + defender->Name() + " was not concealed."; });
        } else if (concealment.readable) {
            to_.realTime.SetLastConcealment(concealment.percent);
            to_.changes.RealTime();
            DebugBuilt(3, [&] {
                return "Analysis:  " + defender->Name() +
                       " was concealed: " + std::to_string(concealment.percent) + "%.";
            });
        }
    }
    if (attacker->ID() == user || defender->ID() == user) {
        const int32_t ab = parser_.AttackBonusOf(attack.acting);
        if (ab > 0) {
            DebugBuilt(3, [&] {
                return "Analysis:  Recording AB of " + std::to_string(ab) + " for " +
                       attacker->Name() + " and " + defender->Name() + ".";
            });
            if (attacker->ID() == user)
                to_.realTime.LogAttackBonus(true, ab);
            if (defender->ID() == user)
                to_.realTime.LogAttackBonus(false, ab);
        }
    }
    return {};
}

Error EventRecorder::Damage(const RecordContext& record, const ParsedDamage& damage)
{
    Debug(1, "Analysis:  Damage record detected.");
    Error error;
    Character* attacker = Open(record, damage.attacker, false, error);
    if (!attacker)
        return error;
    Character* defender = Open(record, damage.defender, false, error);
    if (!defender)
        return error;
    if (Wants(3)) {
        for (const DamageTypeIndex type : damage.typeLookups)
            TellType("DamageType returned:", type);
    }
    if (damage.rejection) {
        Reject(record, damage.rejection);
        return {};
    }

    const DamageBreakdown& amounts = *damage.amounts;
    if (to_.debug.Wants(2)) {
        std::string list;
        for (int32_t entry : amounts)
            list += std::to_string(entry) + " ";
        to_.debug.LogDebug("Analysis:  " + attacker->Name() + " dealing damage to " +
                               defender->Name() + " - [" + std::string(Trim(list)) + "].",
                           1, false, &to_.data.linesRead);
    }
    if (!CountRecord())
        return OverflowError();
    if (!attacker->RecordDamageDealt(defender->ID(), amounts) ||
        !defender->RecordDamageReceived(attacker->ID(), amounts))
        return OverflowError();
    to_.changes.Character(attacker->ID());
    to_.changes.Character(defender->ID());
    to_.fights.OnDamage({record.date, attacker->ID(), defender->ID(), amounts, damage.namedTypes});
    to_.sides.NoteBlow(attacker->ID(), defender->ID());
    if (to_.sides.Owner().NoteDamage(to_.data.linesRead, SecondOf(record.date), attacker->ID(),
                                     defender->ID(), damage.namedTypes))
        ChooseOwner();
    if (to_.options.monitoringEnabled) {
        to_.changes.RealTime();
        const CharacterId user = to_.data.userCharacterId;
        if (attacker->ID() == user && !to_.realTime.LogAttackDamage(true, amounts))
            return OverflowError();
        if (defender->ID() == user && !to_.realTime.LogAttackDamage(false, amounts))
            return OverflowError();
    }
    return {};
}

Error EventRecorder::Casting(const RecordContext& record, const ParsedCasting& casting)
{
    Debug(1, "Analysis:  Spell casting record detected.");
    Error error;
    Character* caster = Open(record, casting.caster, true, error);
    if (!caster)
        return error;
    Spell& spell = FindSpell(casting.spell);
    if (!caster->RecordSpellCast(spell))
        return OverflowError();
    to_.changes.Character(caster->ID());
    return {};
}

Error EventRecorder::Healing(const RecordContext& record, const ParsedHealing& healing)
{
    Debug(1, "Analysis:  Healing record detected.");
    Error error;
    Character* character = Open(record, healing.character, true, error);
    if (!character)
        return error;
    if (healing.fault != Fault::None)
        return ErrorOf(healing.fault);
    if (!character->RecordHealing(healing.amount))
        return OverflowError();
    to_.changes.Character(character->ID());
    to_.fights.OnHealing({record.date, character->ID(), healing.amount});
    return {};
}

Error EventRecorder::Absorb(const RecordContext& record, const ParsedAbsorb& absorb)
{
    Debug(1, "Analysis:  Resistance record detected.");
    Error error;
    Character* character = Open(record, absorb.character, true, error);
    if (!character)
        return error;
    if (absorb.fault != Fault::None)
        return ErrorOf(absorb.fault);
    if (!character->RecordResist(absorb.amount))
        return OverflowError();
    to_.changes.Character(character->ID());
    if (Wants(3))
        TellType("DamageType returned:", absorb.typeLookup);
    to_.fights.OnAbsorb({record.date, character->ID(), absorb.amount, absorb.damageType});
    if (to_.sides.Owner().NoteAbsorb(to_.data.linesRead, SecondOf(record.date), character->ID(),
                                     absorb.damageType))
        ChooseOwner();
    return {};
}

Error EventRecorder::Save(const RecordContext& record, const ParsedSave& save)
{
    Debug(1, "Analysis:  Save record detected.");
    Error error;
    Character* character = Open(record, save.character, true, error);
    if (!character)
        return error;
    if (Wants(3))
        TellType("SaveType returned: ", save.saveType);
    if (save.fault != Fault::None)
        return ErrorOf(save.fault);
    if (!character->RecordSave(save.bonus, save.saveType, save.success))
        return OverflowError();
    to_.changes.Character(character->ID());
    to_.fights.OnSave({record.date, character->ID(), save.saveType, save.roll ? save.roll->roll : 0,
                       save.bonus, save.roll ? save.roll->dc : -1, save.success});
    return {};
}

Error EventRecorder::Kill(const RecordContext& record, const ParsedKill& kill)
{
    Debug(1, "Analysis:  Kill record detected.");
    Error error;
    Character* killer = Open(record, kill.killer, true, error);
    if (!killer)
        return error;
    Character& victim = FindCharacter(kill.victim);
    if (!killer->RecordKill(victim) || !victim.RecordDeath(*killer))
        return OverflowError();
    to_.changes.Character(killer->ID());
    to_.changes.Character(victim.ID());
    to_.fights.OnKill({record.date, killer->ID(), victim.ID()});
    to_.sides.NoteBlow(killer->ID(), victim.ID());
    if (victim.ID() == to_.data.userCharacterId && to_.options.monitoringEnabled)
        to_.realTime.StartFugueTimer(record.date);
    return {};
}

Error EventRecorder::Experience(const RecordContext& record, const ParsedExperience& experience)
{
    Debug(1, "Analysis:  Experience record detected.");
    if (!experience.found)
        return {};
    if (experience.rejection) {
        Reject(record, experience.rejection);
        return {};
    }
    if (!AddChecked(to_.data.experienceTotal, experience.points))
        return OverflowError();
    to_.changes.RealTime();
    return {};
}

void EventRecorder::UserCharacter(const RecordContext& record, const ParsedName& parsed)
{
    Debug(1, "Analysis:  Character record detected.");
    if (!to_.options.autodetectParty)
        return;
    if (parsed.rejection) {
        Reject(record, parsed.rejection);
        return;
    }
    Character& character = FindCharacter(parsed.name);
    to_.sides.Owner().NoteInitiative(character.ID());
    if (character.ID() != to_.data.userCharacterId)
        to_.marks.SelectUserCharacter(character.ID(), UserFoundBy::InitiativeRolls);
}

void EventRecorder::PartyChange(const RecordContext& record, const ParsedName& parsed, bool join)
{
    Debug(1, join ? "Analysis:  Party member join record detected."
                  : "Analysis:  Party member exit record detected.");
    if (!to_.options.autodetectParty)
        return;
    if (parsed.rejection) {
        Reject(record, parsed.rejection);
        return;
    }
    Character& character = FindCharacter(parsed.name);
    to_.sides.NotePartyLeft(character.ID(), !join);
    if (character.IsPartyMember() != join)
        to_.marks.TogglePartyMember(character.ID());
}

void EventRecorder::Immunity(const RecordContext& record, const ParsedImmunity& immunity)
{
    Debug(1, "Analysis:  Immunity record detected.");
    Error error;
    Character* character = Open(record, immunity.character, false, error);
    if (!character)
        return;
    DebugBuilt(2, [&] {
        return "Analysis:  " + character->Name() + " is immune to " + ViewText(immunity.what) + ".";
    });
    to_.fights.OnSpecialImmunity({record.date, character->ID(), immunity.what});
}

void EventRecorder::SpellResist(const RecordContext& record, const ParsedSpellResist& parsed)
{
    Debug(1, "Analysis:  Spell resist record detected.");
    if (parsed.rejection) {
        Reject(record, parsed.rejection);
        return;
    }
    Character& character = FindCharacter(parsed.name);
    DebugBuilt(2, [&] {
        return "Analysis:  " + character.Name() + " resisting " + ViewText(parsed.spell) + ": " +
               ViewText(parsed.result) + ".";
    });
    // Only the owner gets these lines: they name it, and its results go on
    // the cards of the spells' casters.
    to_.sides.Owner().NoteSpellResistance(character.ID());
    ChooseOwner();
    to_.fights.OnSpellResist({record.date, character.ID(), parsed.spell, parsed.result});
}

void EventRecorder::Dominated(std::string_view pet)
{
    Debug(1, "Analysis:  Dominated pet record detected.");
    to_.sides.NoteDominated(pet);
}

void EventRecorder::Continuation(const ContinuationLine& line)
{
    DebugBuilt(2, [&] {
        return "Analysis:  Continuation of the line above: [" + ViewText(line.text) + "].";
    });
}

} // namespace tarvik
