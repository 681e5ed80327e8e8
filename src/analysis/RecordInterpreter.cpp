#include "RecordInterpreter.h"

#include "AnalysisData.h"
#include "ErrorList.h"
#include "PartyMarks.h"
#include "SessionHost.h"
#include "diag/DebugLog.h"
#include "fights/FightTracker.h"
#include "fights/Rolls.h"
#include "monitor/RealTimeState.h"
#include "util/Checked.h"
#include "util/SplitList.h"
#include "util/Text.h"

#include <optional>

namespace tarvik {

namespace {

constexpr size_t npos = std::string_view::npos;

std::string ViewText(std::string_view view)
{
    return std::string(view);
}

// A number in a record that may be absent or malformed: 0 when it is none.
int32_t OptionalNumber(std::string_view text, bool& isNumber)
{
    const auto value = ToInt32(text);
    isNumber = value.has_value();
    return value.value_or(0);
}

// Plain digits, the amounts of nearly every record, read without the general
// number parse; anything else is left to it.
bool PlainAmount(std::string_view word, int32_t& value)
{
    if (word.empty() || word.size() > 9)
        return false;
    int32_t result = 0;
    for (const char c : word) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
    }
    value = result;
    return true;
}

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

RecordInterpreter::RecordInterpreter(const AnalysisConfig& config, AnalysisData& data,
                                     RealTimeState& realTime, FightTracker& fights, DebugLog& debug,
                                     ErrorList& errors, PartyMarks& marks,
                                     const AnalysisOptions& options, SessionHost& host)
    : config_(config)
    , data_(data)
    , realTime_(realTime)
    , fights_(fights)
    , debug_(debug)
    , errors_(errors)
    , marks_(marks)
    , options_(options)
    , host_(host)
{
    for (const auto& type : config_.damageTypes)
        damageTypesLower_.push_back(ToLower(type));
    for (const auto& type : config_.saveTypes)
        saveTypesLower_.push_back(ToLower(type));
}

void RecordInterpreter::Debug(int level, std::string_view message)
{
    if (debug_.Wants(level))
        debug_.LogDebug(message, level, false, &data_.linesRead);
}

template <class Build>
void RecordInterpreter::DebugBuilt(int level, Build&& build)
{
    if (debug_.Wants(level))
        debug_.LogDebug(build(), level, false, &data_.linesRead);
}

void RecordInterpreter::Report(const RecordContext& record, std::string_view message)
{
    errors_.Add(message, record.line);
}

Error RecordInterpreter::CountRecord()
{
    if (!AddChecked(data_.recordsParsed, 1))
        return OverflowError();
    return {};
}

void RecordInterpreter::NoteDetail(const Character& a)
{
    if (a.ID() == data_.detailCharacterId)
        data_.detailCharacterChanged = true;
}

void RecordInterpreter::NoteDetail(const Character& a, const Character& b)
{
    if (a.ID() == data_.detailCharacterId || b.ID() == data_.detailCharacterId)
        data_.detailCharacterChanged = true;
}

bool RecordInterpreter::OnYourSide(const Character& character) const
{
    return character.ID() == data_.userCharacterId || character.IsPartyMember();
}

std::string_view RecordInterpreter::BeforeDelimiter(std::string_view name) const
{
    // "Name : Healed 5 hit points": the name ends at the separator.
    const size_t p = Find(name, config_.format.recordDeliminator);
    return p != npos && p >= 1 ? Trim(name.substr(0, p)) : name;
}

AttackOutcome RecordInterpreter::OutcomeOf(std::string_view result, bool hit,
                                           const std::optional<AttackRoll>& roll) const
{
    const LogFormat& format = config_.format;
    if (hit) {
        // Only a threat roll can become a critical hit.
        const bool critical = (!roll || roll->hasThreat) && !format.attackCritical.empty() &&
                              (result.starts_with(format.attackCritical) ||
                               Find(result, format.attackCritical) != npos);
        return critical ? AttackOutcome::CriticalHit : AttackOutcome::Hit;
    }
    // The game writes the outcome first: look there before searching.
    const bool miss = !format.attackMiss.empty() && (result.starts_with(format.attackMiss) ||
                                                     Find(result, format.attackMiss) != npos);
    return miss ? AttackOutcome::Miss : AttackOutcome::Other;
}

Error RecordInterpreter::ToAmount(std::string_view text, int32_t& amount)
{
    const auto value = ToInt32(text);
    if (!value)
        return IsNumeric(text) ? OverflowError() : TypeMismatchError();
    amount = *value;
    return {};
}

bool RecordInterpreter::SplitRecord(std::string_view text, std::string_view separator,
                                    std::string_view& left, std::string_view& right)
{
    return SplitAt(text, separator.empty() ? npos : FindNoCase(text, separator), separator.size(),
                   left, right);
}

bool RecordInterpreter::SplitAt(std::string_view text, size_t p, size_t separatorSize,
                                std::string_view& left, std::string_view& right)
{
    // The separator must have text before it and may not start at the last character.
    if (p != npos && p >= 1 && p + 1 < text.size()) {
        left = Trim(text.substr(0, p));
        // The character right after the separator is skipped, whatever it is.
        const size_t rest = p + separatorSize + 1;
        right = rest < text.size() ? Trim(text.substr(rest)) : std::string_view();
        DebugBuilt(3, [&] {
            return "[" + ViewText(text) + "] split to [" + ViewText(left) + "] and [" +
                   ViewText(right) + "].";
        });
        return true;
    }
    DebugBuilt(4, [&] { return "[" + ViewText(text) + "] could not be split."; });
    return false;
}

std::string_view RecordInterpreter::ExtractBetween(std::string_view text, std::string_view start,
                                                   std::string_view end)
{
    // 1-based positions, as the markers are described.
    size_t s = 1;
    if (!start.empty()) {
        const size_t found = Find(text, start);
        s = found == npos ? 0 : found + 1 + start.size();
    }
    size_t e = text.size();
    if (!end.empty()) {
        const size_t found = Find(text, end);
        e = found == npos ? 0 : found;
    }
    if (s >= 1 && e >= 1 && e >= s)
        return text.substr(s - 1, e - s + 1);
    return {};
}

Character& RecordInterpreter::FindCharacter(std::string_view name, int32_t id)
{
    name = Trim(name);
    Character* found = nullptr;
    NameCacheEntry* cacheEntry = nullptr;
    if (id > 0) {
        found = data_.characters.At(id);
    } else {
        cacheEntry = &nameCache_[CacheSlot(name)];
        const uint64_t generation = data_.characters.Generation();
        if (cacheEntry->id > 0 && cacheEntry->generation == generation && cacheEntry->name == name)
            found = data_.characters.At(cacheEntry->id);
        if (!found) {
            found = data_.characters.Find(name);
            if (found) {
                cacheEntry->name.assign(name);
                cacheEntry->id = found->ID();
                cacheEntry->generation = generation;
            }
        }
    }
    if (found) {
        debug_.Log(3, [&] { return "Found character [" + found->Name() + "]."; });
        return *found;
    }
    debug_.Log(2, [&] { return "Creating new character: [" + ViewText(name) + "]."; });
    auto character = std::make_unique<Character>();
    character->CreateCharacter(std::string(name), data_.characters.Count() + 1);
    Character& added = data_.characters.Add(std::string(name), std::move(character));
    host_.CharacterCreated(added.ID());
    return added;
}

Spell& RecordInterpreter::FindSpell(std::string_view name)
{
    if (Spell* found = data_.knownSpells.Find(name)) {
        debug_.Log(3, [&] { return "Found spell [" + found->Name() + "]."; });
        return *found;
    }
    debug_.Log(2, [&] { return "Creating spell [" + ViewText(name) + "]."; });
    auto spell = std::make_unique<Spell>();
    spell->CreateSpell(std::string(name), data_.knownSpells.Count() + 1);
    return data_.knownSpells.Add(std::string(name), std::move(spell));
}

int RecordInterpreter::GetDamageType(std::string_view text)
{
    int result = 0;
    TypeCacheEntry& cached = damageTypeCache_[CacheSlot(text)];
    if (cached.index >= 0 && cached.text == text) {
        result = cached.index;
    } else {
        for (size_t i = 0; i < damageTypesLower_.size(); ++i) {
            if (FindNoCase(text, damageTypesLower_[i]) != npos) {
                result = static_cast<int>(i) + 1;
                break;
            }
        }
        cached.text.assign(text);
        cached.index = result;
    }
    debug_.Log(3, [&] { return "DamageType returned:" + std::to_string(result) + "."; });
    return result;
}

int RecordInterpreter::GetSaveType(std::string_view text)
{
    int result = 0;
    for (size_t i = 0; i < saveTypesLower_.size(); ++i) {
        if (FindNoCase(text, saveTypesLower_[i]) != npos) {
            result = static_cast<int>(i) + 1;
            break;
        }
    }
    debug_.Log(3, [&] { return "SaveType returned: " + std::to_string(result) + "."; });
    return result;
}

std::string_view RecordInterpreter::FromActingField(std::string_view text,
                                                    std::string_view identifier,
                                                    size_t* identifierAt) const
{
    return ActingFieldAt(text, FindNoCase(text, identifier), identifierAt);
}

std::string_view RecordInterpreter::ActingFieldAt(std::string_view text, size_t m,
                                                  size_t* identifierAt) const
{
    const std::string_view delimiter = config_.format.recordDeliminator;
    if (identifierAt)
        *identifierAt = m;
    if (m == npos || delimiter.empty())
        return text;
    // The identifier is found first, as it may hold the separator itself
    // ("attempts called shot: arm on").
    // A one-byte separator is searched as a byte: the general search compares
    // at every place.
    const std::string_view before = text.substr(0, m);
    const size_t d = delimiter.size() == 1 ? before.rfind(delimiter[0]) : before.rfind(delimiter);
    if (d == npos)
        return text;
    const std::string_view field = Trim(text.substr(d + delimiter.size()));
    if (identifierAt)
        *identifierAt = m - static_cast<size_t>(field.data() - text.data());
    return field;
}

Error RecordInterpreter::Interpret(const RecordContext& record)
{
    switch (record.kind) {
    case RecordKind::Chat:
        Debug(2, "Analysis:  Chat record detected and discarded.");
        return {};
    case RecordKind::Attack:
        return Attack(record);
    case RecordKind::Damage:
        return Damage(record);
    case RecordKind::Casting:
        return Casting(record);
    case RecordKind::Healing:
        return Healing(record);
    case RecordKind::Resist:
        return Resist(record);
    case RecordKind::Save:
        return Save(record);
    case RecordKind::Kill:
        return Kill(record);
    case RecordKind::Experience:
        return Experience(record);
    case RecordKind::Character:
        return CharacterRecord(record);
    case RecordKind::PartyJoin:
        return PartyChange(record, true);
    case RecordKind::PartyExit:
        return PartyChange(record, false);
    case RecordKind::Unknown:
        break;
    }
    return {};
}

Error RecordInterpreter::Attack(const RecordContext& record)
{
    Debug(1, "Analysis:  Attack record detected.");
    const LogFormat& format = config_.format;
    size_t identifierAt = npos;
    const std::string_view body = ActingFieldAt(record.body, record.identifierAt, &identifierAt);
    if (body.size() != record.body.size())
        Debug(2, "Analysis:  Removing custom attack descriptions.");

    // Split where the identifier was found: searching again finds the same place.
    std::string_view attackerPart, rest;
    if (!SplitAt(body, identifierAt, record.identifier.size(), attackerPart, rest)) {
        Debug(2, "Analysis:  Invalid attack record discarded.");
        Report(record, "Invalid attack record, discarded: ");
        return {};
    }
    Character& attacker = FindCharacter(attackerPart);

    std::string_view defenderPart, result;
    if (!SplitRecord(rest, format.recordDeliminator, defenderPart, result)) {
        Debug(2, "Analysis:  custom attack record discarded.");
        Report(record, "Custom attack record, discarded: ");
        return {};
    }
    if (Error error = CountRecord())
        return error;
    Character& defender = FindCharacter(defenderPart);
    const bool hit = Find(result, format.attackHit) != npos;
    DebugBuilt(2, [&] {
        return "Analysis:  Recording " + attacker.Name() + " attacking " + defender.Name() +
               ", successful?: " + BoolWord(hit) + ".";
    });
    if (!attacker.RecordAttack(defender.ID(), hit) ||
        !defender.RecordEnemyAttack(attacker.ID(), hit))
        return OverflowError();
    NoteDetail(attacker, defender);
    const auto roll = ParseAttackRoll(result);
    fights_.OnAttack({record.date, attacker.ID(), defender.ID(), OutcomeOf(result, hit, roll),
                      roll.has_value(), roll.value_or(AttackRoll{})});

    const int32_t user = data_.userCharacterId;
    if (attacker.ID() == user) {
        const size_t c = Find(body, format.characterConcealStart);
        if (c == npos) {
            realTime_.SetLastConcealment(0);
            data_.realTimeDataChanged = true;
            DebugBuilt(3, [&] { return "Analysis:  " + defender.Name() + " was not concealed."; });
        } else {
            std::string_view t = Trim(body.substr(c + format.characterConcealStart.size()));
            const size_t e = Find(t, format.characterConcealEnd);
            if (e != npos)
                t = Trim(t.substr(0, e));
            bool isNumber = false;
            const int32_t value = OptionalNumber(t, isNumber);
            if (isNumber) {
                realTime_.SetLastConcealment(value);
                data_.realTimeDataChanged = true;
                DebugBuilt(3, [&] {
                    return "Analysis:  " + defender.Name() +
                           " was concealed: " + std::to_string(value) + "%.";
                });
            }
        }
    }
    if (attacker.ID() == user || defender.ID() == user) {
        const size_t a = Find(body, format.abStart);
        if (a != npos) {
            std::string_view t =
                a + 1 < body.size() ? Trim(body.substr(a + 1)) : std::string_view();
            const size_t e = Find(t, format.abEnd);
            int32_t ab = 0;
            if (e != npos) {
                bool isNumber = false;
                ab = OptionalNumber(Trim(t.substr(0, e)), isNumber);
            }
            if (ab > 0) {
                DebugBuilt(3, [&] {
                    return "Analysis:  Recording AB of " + std::to_string(ab) + " for " +
                           attacker.Name() + " and " + defender.Name() + ".";
                });
                if (attacker.ID() == user)
                    realTime_.LogAttackBonus(true, ab);
                if (defender.ID() == user)
                    realTime_.LogAttackBonus(false, ab);
            }
        }
    }
    return {};
}

Error RecordInterpreter::Damage(const RecordContext& record)
{
    Debug(1, "Analysis:  Damage record detected.");
    const LogFormat& format = config_.format;
    std::string_view attackerPart, rest;
    if (!SplitAt(record.body, record.identifierAt, record.identifier.size(), attackerPart, rest)) {
        DebugBuilt(1, [&] {
            return "Analysis:  Invalid damage record:  missing deliminator '" +
                   ViewText(record.identifier) + "'.";
        });
        Report(record, "Invalid damage record, discarded: ");
        return {};
    }
    Character& attacker = FindCharacter(attackerPart);
    std::string_view defenderPart, amounts;
    if (!SplitRecord(rest, format.recordDeliminator, defenderPart, amounts)) {
        DebugBuilt(1, [&] {
            return "Analysis:  Invalid damage record:  missing deliminator '" +
                   format.recordDeliminator + "'.";
        });
        Report(record, "Invalid damage record, discarded: ");
        return {};
    }
    Character& defender = FindCharacter(defenderPart);

    const size_t open = amounts.find('(');
    if (open != npos && open >= 1)
        amounts = Trim(amounts.substr(open + 1));
    if (!amounts.empty() && amounts.back() == ')')
        amounts.remove_suffix(1);
    if (!SplitList(amounts, words_, " ")) {
        Debug(1, "Analysis:  Invalid damage record:  can not parse into damage types.");
        Report(record, "Invalid damage record, discarded: ");
        return {};
    }

    const int count = config_.DamageTypeCount();
    breakdown_.assign(static_cast<size_t>(count), 0);
    // Each amount is followed by its own type name. A zero amount is skipped
    // with its name, and amounts of one type add up, so the total is always
    // the sum of the types.
    std::optional<int32_t> amount;
    // The type name so far: one word is taken as it stands, more are joined
    // with blanks.
    std::string_view firstNameWord;
    size_t nameWords = 0;
    typeName_.clear();
    const auto typeName = [&] { return Trim(nameWords == 1 ? firstNameWord : typeName_); };
    // The types the record names, zero amounts included: an immunity absorb
    // that follows pairs with them.
    uint64_t namedTypes = 0;
    auto name = [&](int index) {
        if (index >= 1 && index < count && index <= 64)
            namedTypes |= uint64_t{1} << (index - 1);
    };
    auto resolve = [&](const char* failure) -> std::optional<Error> {
        if (amount && *amount == 0) {
            name(GetDamageType(typeName()));
            return std::nullopt;
        }
        const int index = GetDamageType(typeName());
        if (!amount || index < 1) {
            Debug(1, failure);
            Report(record, "Invalid damage record, discarded: ");
            return Error{};
        }
        name(index);
        if (!AddChecked(breakdown_[static_cast<size_t>(index - 1)], *amount) ||
            (index < count && !AddChecked(breakdown_.back(), *amount)))
            return OverflowError();
        return std::nullopt;
    };
    for (const std::string_view word : words_) {
        int32_t value = 0;
        const bool plain = PlainAmount(word, value);
        // A word that begins with a letter is a type name's.
        const bool letter = !word.empty() && IsAsciiLetter(word.front());
        if (plain || (!letter && IsNumeric(word))) {
            if (amount) {
                if (auto stop = resolve("Analysis:  Invalid damage record:  no damage amount."))
                    return *stop;
                nameWords = 0;
                typeName_.clear();
            }
            if (!plain) {
                if (Error error = ToAmount(word, value))
                    return error;
            }
            amount = value;
        } else {
            if (nameWords == 1)
                typeName_.assign(firstNameWord).push_back(' ');
            if (nameWords == 0) {
                firstNameWord = word;
            } else {
                typeName_.append(word);
                typeName_.push_back(' ');
            }
            ++nameWords;
        }
    }
    if (auto stop = resolve("Analysis:  Invalid damage record:  no damage amount (cleanup)."))
        return *stop;

    if (debug_.Wants(2)) {
        std::string list;
        for (int32_t entry : breakdown_)
            list += std::to_string(entry) + " ";
        debug_.LogDebug("Analysis:  " + attacker.Name() + " dealing damage to " + defender.Name() +
                            " - [" + std::string(Trim(list)) + "].",
                        1, false, &data_.linesRead);
    }
    if (Error error = CountRecord())
        return error;
    if (!attacker.RecordDamageDealt(defender.ID(), breakdown_) ||
        !defender.RecordDamageReceived(attacker.ID(), breakdown_))
        return OverflowError();
    NoteDetail(attacker, defender);
    fights_.OnDamage(
        {record.date, attacker.ID(), defender.ID(), breakdown_, namedTypes, OnYourSide(defender)});
    if (options_.monitoringEnabled) {
        data_.realTimeDataChanged = true;
        if (attacker.ID() == data_.userCharacterId && !realTime_.LogAttackDamage(true, breakdown_))
            return OverflowError();
        if (defender.ID() == data_.userCharacterId && !realTime_.LogAttackDamage(false, breakdown_))
            return OverflowError();
    }
    return {};
}

Error RecordInterpreter::Casting(const RecordContext& record)
{
    Debug(1, "Analysis:  Spell casting record detected.");
    std::string_view casterPart, spellPart;
    if (!SplitAt(record.body, record.identifierAt, record.identifier.size(), casterPart,
                 spellPart)) {
        Report(record, "Invalid spell record, discarded: ");
        return {};
    }
    if (Error error = CountRecord())
        return error;
    Character& caster = FindCharacter(casterPart);
    Spell& spell = FindSpell(Trim(spellPart));
    if (!caster.RecordSpellCast(spell))
        return OverflowError();
    NoteDetail(caster);
    return {};
}

Error RecordInterpreter::Healing(const RecordContext& record)
{
    Debug(1, "Analysis:  Healing record detected.");
    std::string_view namePart, amountPart;
    if (!SplitAt(record.body, record.identifierAt, record.identifier.size(), namePart,
                 amountPart)) {
        Report(record, "Invalid healing record, discarded: ");
        return {};
    }
    namePart = BeforeDelimiter(namePart);
    const size_t h = Find(amountPart, config_.format.healingUnits);
    if (h == npos) {
        Report(record, "Invalid healing record, discarded: ");
        return {};
    }
    if (Error error = CountRecord())
        return error;
    const std::string_view amountText = Trim(amountPart.substr(0, h));
    Character& character = FindCharacter(namePart);
    int32_t amount = 0;
    if (Error error = ToAmount(amountText, amount))
        return error;
    if (!character.RecordHealing(amount))
        return OverflowError();
    NoteDetail(character);
    fights_.OnHealing({record.date, character.ID(), amount, OnYourSide(character)});
    return {};
}

Error RecordInterpreter::Resist(const RecordContext& record)
{
    Debug(1, "Analysis:  Resistance record detected.");
    std::string_view namePart, amountPart;
    if (!SplitAt(record.body, record.identifierAt, record.identifier.size(), namePart,
                 amountPart)) {
        Report(record, "Invalid damage resistance record, discarded: ");
        return {};
    }
    namePart = BeforeDelimiter(namePart);
    const size_t s = amountPart.find(' ');
    if (s == npos || s < 1) {
        Report(record, "Invalid damage resistance record, discarded: ");
        return {};
    }
    if (Error error = CountRecord())
        return error;
    const std::string_view amountText = Trim(amountPart.substr(0, s));
    Character& character = FindCharacter(namePart);
    int32_t amount = 0;
    if (Error error = ToAmount(amountText, amount))
        return error;
    if (!character.RecordResist(amount))
        return OverflowError();
    NoteDetail(character);
    // "1 point(s) of Physical" names the type an immunity absorbed;
    // resistance and reduction name none.
    const int type = GetDamageType(Trim(amountPart.substr(s)));
    const int32_t damageType = type >= 1 && type < config_.DamageTypeCount() ? type - 1 : -1;
    fights_.OnAbsorb({record.date, character.ID(), amount, damageType, OnYourSide(character)});
    return {};
}

Error RecordInterpreter::Save(const RecordContext& record)
{
    Debug(1, "Analysis:  Save record detected.");
    // "SAVE: Name : Will Save : ..." on some servers: the prefix names nobody.
    std::string_view body = record.body;
    const std::string_view prefix = config_.format.savePrefix;
    if (!prefix.empty() && body.starts_with(prefix))
        body = Trim(body.substr(prefix.size()));
    std::string_view namePart, rest;
    if (!SplitRecord(body, config_.format.recordDeliminator, namePart, rest)) {
        Report(record, "Invalid save record, discarded: ");
        return {};
    }
    rest = FromActingField(rest, record.identifier);
    if (!SplitList(rest, parts_, ":") || parts_.size() < 3) {
        Report(record, "Invalid save record, discarded: ");
        return {};
    }
    const std::string_view outcome = parts_[1];
    const std::string_view roll = parts_[2];
    if (!SplitList(roll, words_, " ") || words_.size() < 3) {
        Report(record, "Invalid save record, discarded: ");
        return {};
    }
    if (Error error = CountRecord())
        return error;
    const std::string_view bonusText = words_[2];
    Character& character = FindCharacter(namePart);
    const bool succeeded = Find(outcome, config_.format.saveSuccess) != npos;
    const int saveType = GetSaveType(record.identifier);
    int32_t bonus = 0;
    if (Error error = ToAmount(bonusText, bonus))
        return error;
    if (!character.RecordSave(bonus, saveType, succeeded))
        return OverflowError();
    NoteDetail(character);
    // The roll runs on past the colon of "DC: 13".
    const auto saveRoll =
        ParseSaveRoll(rest.substr(static_cast<size_t>(roll.data() - rest.data())));
    fights_.OnSave({record.date, character.ID(), saveType, saveRoll ? saveRoll->roll : 0, bonus,
                    saveRoll ? saveRoll->dc : -1, succeeded, OnYourSide(character)});
    return {};
}

Error RecordInterpreter::Kill(const RecordContext& record)
{
    Debug(1, "Analysis:  Kill record detected.");
    std::string_view killerPart, victimPart;
    if (!SplitAt(record.body, record.identifierAt, record.identifier.size(), killerPart,
                 victimPart)) {
        Report(record, "Invalid kill record, discarded: ");
        return {};
    }
    if (Error error = CountRecord())
        return error;
    Character& killer = FindCharacter(killerPart);
    Character& victim = FindCharacter(victimPart);
    if (!killer.RecordKill(victim) || !victim.RecordDeath(killer))
        return OverflowError();
    NoteDetail(killer, victim);
    fights_.OnKill({record.date, killer.ID(), victim.ID(), OnYourSide(victim)});
    if (victim.ID() == data_.userCharacterId && options_.monitoringEnabled)
        realTime_.StartFugueTimer(record.date);
    return {};
}

Error RecordInterpreter::Experience(const RecordContext& record)
{
    Debug(1, "Analysis:  Experience record detected.");
    const LogFormat& format = config_.format;
    const size_t p = Find(record.body, format.experiencePointsStart);
    if (p == npos)
        return {};
    std::string_view t = Trim(record.body.substr(p + format.experiencePointsStart.size()));
    if (!format.experiencePointsEnd.empty()) {
        const size_t e = Find(t, format.experiencePointsEnd);
        if (e != npos)
            t = Trim(t.substr(0, e));
    }
    if (!IsNumeric(t))
        return {};
    const auto amount = ToInt32(t);
    if (!amount || !AddChecked(data_.experienceTotal, *amount))
        return OverflowError();
    data_.realTimeDataChanged = true;
    return {};
}

Error RecordInterpreter::CharacterRecord(const RecordContext& record)
{
    Debug(1, "Analysis:  Character record detected.");
    if (!options_.autodetectParty)
        return {};
    const std::string_view name =
        Trim(ExtractBetween(record.body, config_.format.charIdStart, config_.format.charIdEnd));
    if (name.empty()) {
        Report(record, "Invalid character record, discarded: ");
        return {};
    }
    Character& character = FindCharacter(name);
    if (character.ID() != data_.userCharacterId)
        marks_.SelectUserCharacter(character.ID());
    return {};
}

Error RecordInterpreter::PartyChange(const RecordContext& record, bool join)
{
    Debug(1, join ? "Analysis:  Party member join record detected."
                  : "Analysis:  Party member exit record detected.");
    if (!options_.autodetectParty)
        return {};
    const LogFormat& format = config_.format;
    const std::string_view name =
        Trim(join ? ExtractBetween(record.body, format.partyJoinStart, format.partyJoinEnd)
                  : ExtractBetween(record.body, format.partyExitStart, format.partyExitEnd));
    if (name.empty()) {
        Report(record, join ? "Invalid party join record, discarded: "
                            : "Invalid party exit record, discarded: ");
        return {};
    }
    Character& character = FindCharacter(name);
    if (character.IsPartyMember() != join)
        marks_.TogglePartyMember(character.ID());
    return {};
}

} // namespace tarvik
