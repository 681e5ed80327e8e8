#include "RecordParser.h"

#include "util/Checked.h"
#include "util/Error.h"
#include "util/SplitList.h"
#include "util/Text.h"

#include <algorithm>
#include <limits>

namespace tarvik {

namespace {

constexpr size_t npos = std::string_view::npos;

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

enum class AmountRead : uint8_t { Ok, NoNumber, OutOfRange };

// An amount the record must carry. It must fit the model's 32-bit fields
// and cannot be negative: hit points and experience are never taken back.
AmountRead ReadAmount(std::string_view text, int32_t& amount)
{
    if (PlainAmount(text, amount))
        return AmountRead::Ok;
    if (!IsNumeric(text))
        return AmountRead::NoNumber;
    const auto value = ToInt32(text);
    if (!value || *value < 0)
        return AmountRead::OutOfRange;
    amount = *value;
    return AmountRead::Ok;
}

// The text between two markers. Positions are 1-based, as the markers are
// described: an empty start marker means the start, an empty end marker the
// end; a marker that is not there gives nothing.
std::string_view ExtractBetween(std::string_view text, std::string_view start, std::string_view end)
{
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

constexpr RejectionText InvalidAttack{"Invalid attack record, discarded: ", 2,
                                      "Analysis:  Invalid attack record discarded."};
constexpr RejectionText CustomAttack{"Custom attack record, discarded: ", 2,
                                     "Analysis:  custom attack record discarded."};
constexpr std::string_view InvalidDamage = "Invalid damage record, discarded: ";
constexpr RejectionText DamageNoSeparator{
    InvalidDamage, 1, "Analysis:  Invalid damage record:  missing deliminator", true};
constexpr RejectionText DamageNoTypes{
    InvalidDamage, 1, "Analysis:  Invalid damage record:  can not parse into damage types."};
constexpr RejectionText DamageNoAmount{InvalidDamage, 1,
                                       "Analysis:  Invalid damage record:  no damage amount."};
constexpr RejectionText DamageNoAmountAtEnd{
    InvalidDamage, 1, "Analysis:  Invalid damage record:  no damage amount (cleanup)."};
constexpr RejectionText InvalidSpell{"Invalid spell record, discarded: "};
constexpr RejectionText InvalidHealing{"Invalid healing record, discarded: "};
constexpr RejectionText InvalidAbsorb{"Invalid damage resistance record, discarded: "};
constexpr RejectionText InvalidSave{"Invalid save record, discarded: "};
constexpr RejectionText InvalidKill{"Invalid kill record, discarded: "};
constexpr RejectionText InvalidCharacter{"Invalid character record, discarded: "};
constexpr RejectionText InvalidPartyJoin{"Invalid party join record, discarded: "};
constexpr RejectionText InvalidPartyExit{"Invalid party exit record, discarded: "};
// A number where an amount belongs, but negative or too large for 32 bits.
constexpr RejectionText OutOfRange{"Number out of range, discarded: ", 1,
                                   "Analysis:  Number out of range, record discarded."};
constexpr RejectionText InvalidImmunity{"Invalid immunity record, discarded: "};
constexpr RejectionText InvalidSpellResist{"Invalid spell resist record, discarded: "};

Rejection Discarded(const RejectionText& text, std::string_view missing = {})
{
    return {&text, missing};
}

} // namespace

Error ErrorOf(Fault fault)
{
    switch (fault) {
    case Fault::TypeMismatch:
        return TypeMismatchError();
    case Fault::None:
        break;
    }
    return {};
}

RecordParser::RecordParser(const AnalysisConfig& config)
    : config_(config)
    , touchAttackLower_(ToLower(config.format.touchAttack))
    , specialAttackLower_(ToLower(config.format.specialAttack))
{
    for (const auto& type : config_.damageTypes)
        damageTypesLower_.push_back(ToLower(type));
    for (const auto& type : config_.saveTypes)
        saveTypesLower_.push_back(ToLower(type));
}

// Inlined: every record is cut once or twice.
[[gnu::always_inline]] inline bool RecordParser::CutAt(Cut& cut, std::string_view text, size_t p,
                                                       size_t separatorSize) const
{
    cut.text = text;
    // The separator must have text before it and may not start at the last character.
    if (p != npos && p >= 1 && p + 1 < text.size()) {
        cut.left = Trim(text.substr(0, p));
        // The character right after the separator is skipped, whatever it is.
        const size_t rest = p + separatorSize + 1;
        cut.right = rest < text.size() ? Trim(text.substr(rest)) : std::string_view();
        cut.made = true;
    }
    return cut.made;
}

bool RecordParser::CutAtSeparator(Cut& cut, std::string_view text) const
{
    const std::string_view separator = config_.format.recordDeliminator;
    return CutAt(cut, text, separator.empty() ? npos : FindNoCase(text, separator),
                 separator.size());
}

// Where the identifier was found: searching again finds the same place.
bool RecordParser::CutAtIdentifier(Cut& cut, const RecordContext& record) const
{
    return CutAt(cut, record.body, record.identifierAt, record.identifier.size());
}

std::string_view RecordParser::BeforeDelimiter(std::string_view name) const
{
    // "Name : Healed 5 hit points": the name ends at the separator.
    const size_t p = Find(name, config_.format.recordDeliminator);
    return p != npos && p >= 1 ? Trim(name.substr(0, p)) : name;
}

// Drops descriptions ("Off Hand : Sneak Attack : ") before the field in which
// the identifier, found at m, starts. identifierAt, when given, receives
// where the identifier starts in the result (npos when it is not there).
std::string_view RecordParser::ActingFieldAt(std::string_view text, size_t m,
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

AttackOutcome RecordParser::OutcomeOf(std::string_view result, bool hit,
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

DamageTypeIndex RecordParser::DamageTypeOf(std::string_view text)
{
    TypeCacheEntry& cached = damageTypeCache_[CacheSlotOf(text, CacheSlots)];
    if (cached.filled && cached.text == text)
        return cached.type;
    DamageTypeIndex result;
    for (size_t i = 0; i < damageTypesLower_.size(); ++i) {
        if (FindNoCase(text, damageTypesLower_[i]) != npos) {
            result = DamageTypeIndex::FromSlot(i);
            break;
        }
    }
    cached.text.assign(text);
    cached.type = result;
    cached.filled = true;
    return result;
}

SaveTypeIndex RecordParser::SaveTypeOf(std::string_view text) const
{
    for (size_t i = 0; i < saveTypesLower_.size(); ++i) {
        if (FindNoCase(text, saveTypesLower_[i]) != npos)
            return SaveTypeIndex::FromSlot(i);
    }
    return SaveTypeIndex::None();
}

ParsedAttack RecordParser::ParseAttack(const RecordContext& record) const
{
    ParsedAttack attack;
    size_t identifierAt = npos;
    attack.acting = ActingFieldAt(record.body, record.identifierAt, &identifierAt);
    attack.descriptionsRemoved = attack.acting.size() != record.body.size();
    if (!CutAt(attack.attacker.cut, attack.acting, identifierAt, record.identifier.size())) {
        attack.attacker.rejection = Discarded(InvalidAttack);
        return attack;
    }
    attack.attacker.name = attack.attacker.cut.left;
    if (!CutAtSeparator(attack.defender.cut, attack.attacker.cut.right)) {
        attack.defender.rejection = Discarded(CustomAttack);
        return attack;
    }
    attack.defender.name = attack.defender.cut.left;
    const std::string_view result = attack.defender.cut.right;
    attack.hit = Find(result, config_.format.attackHit) != npos;
    attack.roll = ParseAttackRoll(result);
    attack.outcome = OutcomeOf(result, attack.hit, attack.roll);
    const std::string_view identifier = record.identifier;
    attack.touch = !touchAttackLower_.empty() && Find(identifier, touchAttackLower_) != npos;
    attack.special = !specialAttackLower_.empty() && Find(identifier, specialAttackLower_) != npos;
    if (attack.descriptionsRemoved && !config_.format.offHand.empty()) {
        const std::string_view descriptions =
            record.body.substr(0, static_cast<size_t>(attack.acting.data() - record.body.data()));
        attack.offHand = Find(descriptions, config_.format.offHand) != npos;
    }
    return attack;
}

Concealment RecordParser::ConcealmentOf(std::string_view acting) const
{
    const LogFormat& format = config_.format;
    Concealment concealment;
    const size_t c = Find(acting, format.characterConcealStart);
    if (c == npos)
        return concealment;
    concealment.marked = true;
    std::string_view t = Trim(acting.substr(c + format.characterConcealStart.size()));
    const size_t e = Find(t, format.characterConcealEnd);
    if (e != npos)
        t = Trim(t.substr(0, e));
    concealment.percent = OptionalNumber(t, concealment.readable);
    return concealment;
}

int32_t RecordParser::AttackBonusOf(std::string_view acting) const
{
    const LogFormat& format = config_.format;
    const size_t a = Find(acting, format.abStart);
    if (a == npos)
        return 0;
    const std::string_view t =
        a + 1 < acting.size() ? Trim(acting.substr(a + 1)) : std::string_view();
    const size_t e = Find(t, format.abEnd);
    if (e == npos)
        return 0;
    bool isNumber = false;
    return OptionalNumber(Trim(t.substr(0, e)), isNumber);
}

ParsedDamage RecordParser::ParseDamage(const RecordContext& record)
{
    ParsedDamage damage;
    if (!CutAtIdentifier(damage.attacker.cut, record)) {
        damage.attacker.rejection = Discarded(DamageNoSeparator, record.identifier);
        return damage;
    }
    damage.attacker.name = damage.attacker.cut.left;
    if (!CutAtSeparator(damage.defender.cut, damage.attacker.cut.right)) {
        damage.defender.rejection = Discarded(DamageNoSeparator, config_.format.recordDeliminator);
        return damage;
    }
    damage.defender.name = damage.defender.cut.left;

    ReadAmounts(damage, damage.defender.cut.right);
    damage.typeLookups = typeLookups_;
    damage.amounts = &breakdown_;
    return damage;
}

void RecordParser::ReadAmounts(ParsedDamage& damage, std::string_view amounts)
{
    const size_t open = amounts.find('(');
    if (open != npos && open >= 1)
        amounts = Trim(amounts.substr(open + 1));
    if (!amounts.empty() && amounts.back() == ')')
        amounts.remove_suffix(1);
    typeLookups_.clear();
    if (!SplitList(amounts, words_, " ")) {
        damage.rejection = Discarded(DamageNoTypes);
        return;
    }

    const int count = config_.DamageTypeCount();
    // The types an amount can be of: all but "Total", the last.
    const auto typed = static_cast<size_t>(std::max(count - 1, 0));
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
    auto name = [&](DamageTypeIndex type) {
        if (type.Within(typed) && type.Within(64))
            damage.namedTypes |= uint64_t{1} << type.Slot();
    };
    // False when the record ends here.
    auto resolve = [&](const RejectionText& failure) {
        const DamageTypeIndex type = DamageTypeOf(typeName());
        typeLookups_.push_back(type);
        if (amount && *amount == 0) {
            name(type);
            return true;
        }
        if (!amount || type.IsNone()) {
            damage.rejection = Discarded(failure);
            return false;
        }
        name(type);
        // The record's amounts, their total too, must fit 32 bits.
        if (!AddChecked(breakdown_[type.Slot()], *amount) ||
            (type.Within(typed) && !AddChecked(breakdown_.back(), *amount))) {
            damage.rejection = Discarded(OutOfRange);
            return false;
        }
        return true;
    };
    for (const std::string_view word : words_) {
        int32_t value = 0;
        const bool plain = PlainAmount(word, value);
        // A word that begins with a letter is a type name's.
        const bool letter = !word.empty() && IsAsciiLetter(word.front());
        if (plain || (!letter && IsNumeric(word))) {
            if (amount) {
                if (!resolve(DamageNoAmount))
                    return;
                nameWords = 0;
                typeName_.clear();
            }
            if (!plain && ReadAmount(word, value) != AmountRead::Ok) {
                damage.rejection = Discarded(OutOfRange); // a number, so not NoNumber
                return;
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
    resolve(DamageNoAmountAtEnd);
}

ParsedCasting RecordParser::ParseCasting(const RecordContext& record) const
{
    ParsedCasting casting;
    if (!CutAtIdentifier(casting.caster.cut, record)) {
        casting.caster.rejection = Discarded(InvalidSpell);
        return casting;
    }
    casting.caster.name = casting.caster.cut.left;
    casting.spell = casting.caster.cut.right;
    return casting;
}

ParsedHealing RecordParser::ParseHealing(const RecordContext& record) const
{
    ParsedHealing healing;
    Opening& opening = healing.character;
    CutAtIdentifier(opening.cut, record);
    const size_t h = opening.cut.made ? Find(opening.cut.right, config_.format.healingUnits) : npos;
    if (h == npos) {
        opening.rejection = Discarded(InvalidHealing);
        return healing;
    }
    opening.name = BeforeDelimiter(opening.cut.left);
    switch (ReadAmount(Trim(opening.cut.right.substr(0, h)), healing.amount)) {
    case AmountRead::NoNumber:
        healing.fault = Fault::TypeMismatch;
        break;
    case AmountRead::OutOfRange:
        opening.rejection = Discarded(OutOfRange);
        break;
    case AmountRead::Ok:
        break;
    }
    return healing;
}

ParsedAbsorb RecordParser::ParseAbsorb(const RecordContext& record)
{
    ParsedAbsorb absorb;
    Opening& opening = absorb.character;
    CutAtIdentifier(opening.cut, record);
    const std::string_view amountPart = opening.cut.right;
    const size_t s = opening.cut.made ? amountPart.find(' ') : npos;
    if (s == npos || s < 1) {
        opening.rejection = Discarded(InvalidAbsorb);
        return absorb;
    }
    opening.name = BeforeDelimiter(opening.cut.left);
    switch (ReadAmount(Trim(amountPart.substr(0, s)), absorb.amount)) {
    case AmountRead::NoNumber:
        absorb.fault = Fault::TypeMismatch;
        break;
    case AmountRead::OutOfRange:
        opening.rejection = Discarded(OutOfRange);
        return absorb;
    case AmountRead::Ok:
        break;
    }
    // "1 point(s) of Physical" names the type an immunity absorbed;
    // resistance and reduction name none.
    absorb.typeLookup = DamageTypeOf(Trim(amountPart.substr(s)));
    const auto typed = static_cast<size_t>(std::max(config_.DamageTypeCount() - 1, 0));
    absorb.damageType =
        absorb.typeLookup.Within(typed) ? absorb.typeLookup : DamageTypeIndex::None();
    return absorb;
}

ParsedSave RecordParser::ParseSave(const RecordContext& record)
{
    ParsedSave save;
    Opening& opening = save.character;
    // "SAVE: Name : Will Save : ..." on some servers: the prefix names nobody.
    std::string_view body = record.body;
    const std::string_view prefix = config_.format.savePrefix;
    if (!prefix.empty() && body.starts_with(prefix))
        body = Trim(body.substr(prefix.size()));
    CutAtSeparator(opening.cut, body);
    opening.rejection = Discarded(InvalidSave);
    if (!opening.cut.made)
        return save;
    const std::string_view rest =
        ActingFieldAt(opening.cut.right, FindNoCase(opening.cut.right, record.identifier), nullptr);
    if (!SplitList(rest, parts_, ":") || parts_.size() < 3)
        return save;
    const std::string_view outcome = parts_[1];
    const std::string_view roll = parts_[2];
    if (!SplitList(roll, words_, " ") || words_.size() < 3)
        return save;
    opening.rejection = {};
    opening.name = opening.cut.left;
    save.success = Find(outcome, config_.format.saveSuccess) != npos;
    save.saveType = SaveTypeOf(record.identifier);
    // A bonus may be negative: "(3 - 2 = 1 vs. DC: 15)" or "(3 + -2 = 1 ...".
    const std::string_view bonus = words_[2];
    if (!IsNumeric(bonus)) {
        save.fault = Fault::TypeMismatch;
    } else {
        const auto value = ToInt32(bonus);
        const int64_t signedValue = value ? (words_[1] == "-" ? -int64_t{*value} : *value) : 0;
        if (!value || signedValue < std::numeric_limits<int32_t>::min() ||
            signedValue > std::numeric_limits<int32_t>::max()) {
            opening.rejection = Discarded(OutOfRange);
            return save;
        }
        save.bonus = static_cast<int32_t>(signedValue);
    }
    // The roll runs on past the colon of "DC: 13".
    save.roll = ParseSaveRoll(rest.substr(static_cast<size_t>(roll.data() - rest.data())));
    return save;
}

ParsedKill RecordParser::ParseKill(const RecordContext& record) const
{
    ParsedKill kill;
    if (!CutAtIdentifier(kill.killer.cut, record)) {
        kill.killer.rejection = Discarded(InvalidKill);
        return kill;
    }
    kill.killer.name = kill.killer.cut.left;
    kill.victim = kill.killer.cut.right;
    return kill;
}

ParsedExperience RecordParser::ParseExperience(const RecordContext& record) const
{
    const LogFormat& format = config_.format;
    ParsedExperience experience;
    const size_t p = Find(record.body, format.experiencePointsStart);
    if (p == npos)
        return experience;
    std::string_view t = Trim(record.body.substr(p + format.experiencePointsStart.size()));
    if (!format.experiencePointsEnd.empty()) {
        const size_t e = Find(t, format.experiencePointsEnd);
        if (e != npos)
            t = Trim(t.substr(0, e));
    }
    if (!IsNumeric(t))
        return experience;
    experience.found = true;
    if (ReadAmount(t, experience.points) != AmountRead::Ok)
        experience.rejection = Discarded(OutOfRange);
    return experience;
}

ParsedName RecordParser::ParseCharacter(const RecordContext& record) const
{
    const LogFormat& format = config_.format;
    ParsedName parsed;
    parsed.name = Trim(ExtractBetween(record.body, format.charIdStart, format.charIdEnd));
    if (parsed.name.empty())
        parsed.rejection = Discarded(InvalidCharacter);
    return parsed;
}

ParsedName RecordParser::ParsePartyChange(const RecordContext& record, bool join) const
{
    const LogFormat& format = config_.format;
    ParsedName parsed;
    parsed.name =
        Trim(join ? ExtractBetween(record.body, format.partyJoinStart, format.partyJoinEnd)
                  : ExtractBetween(record.body, format.partyExitStart, format.partyExitEnd));
    if (parsed.name.empty()) {
        parsed.rejection = Discarded(join ? InvalidPartyJoin : InvalidPartyExit);
    }
    return parsed;
}

ParsedImmunity RecordParser::ParseImmunity(const RecordContext& record) const
{
    ParsedImmunity immunity;
    Opening& opening = immunity.character;
    std::string_view what;
    if (CutAtIdentifier(opening.cut, record)) {
        opening.name = opening.cut.left;
        what = opening.cut.right;
        // "Slow." and "FEAR effects": the endings go, as many as there are.
        for (bool cut = true; cut && !what.empty();) {
            cut = false;
            for (const std::string& end : config_.format.immunityEnds) {
                if (!end.empty() && what.size() > end.size() && what.ends_with(end)) {
                    what = TrimRight(what.substr(0, what.size() - end.size()));
                    cut = true;
                }
            }
        }
    }
    if (opening.name.empty() || what.empty()) {
        opening.rejection = Discarded(InvalidImmunity);
        return immunity;
    }
    immunity.what = what;
    return immunity;
}

ParsedSpellResist RecordParser::ParseSpellResist(const RecordContext& record) const
{
    const LogFormat& format = config_.format;
    ParsedSpellResist parsed;
    parsed.rejection = Discarded(InvalidSpellResist);
    const size_t after = record.identifierAt + record.identifier.size();
    if (after > record.body.size() || format.spellResistSpell.empty() ||
        format.spellResistResult.empty())
        return parsed;
    const std::string_view rest = record.body.substr(after);
    const size_t s = Find(rest, format.spellResistSpell);
    if (s == npos)
        return parsed;
    const std::string_view spellAndResult = rest.substr(s + format.spellResistSpell.size());
    // The last one: a spell's name may hold the marker's text, the result does not.
    const size_t r = spellAndResult.rfind(format.spellResistResult);
    if (r == npos)
        return parsed;
    parsed.name = Trim(rest.substr(0, s));
    parsed.spell = Trim(spellAndResult.substr(0, r));
    parsed.result = Trim(spellAndResult.substr(r + format.spellResistResult.size()));
    if (!parsed.name.empty() && !parsed.spell.empty() && !parsed.result.empty())
        parsed.rejection = {};
    return parsed;
}

std::string_view RecordParser::ParseDominated(const RecordContext& record) const
{
    const LogFormat& format = config_.format;
    const std::string_view body = record.body;
    if (format.dominatedStart.empty() || !body.starts_with(format.dominatedStart) ||
        body.size() <= format.dominatedStart.size() || body[format.dominatedStart.size()] != ' ')
        return {};
    std::string_view name = body.substr(format.dominatedStart.size());
    if (!format.dominatedEnd.empty() && name.ends_with(format.dominatedEnd))
        name.remove_suffix(format.dominatedEnd.size());
    return Trim(name);
}

std::string_view RecordParser::PartySpeaker(const RecordContext& record) const
{
    const LogFormat& format = config_.format;
    if (format.partyChat.empty() || format.recordDeliminator.empty())
        return {};
    const size_t tag = record.body.find(format.partyChat);
    if (tag == std::string_view::npos)
        return {};
    std::string_view speaker = TrimRight(record.body.substr(0, tag));
    if (!speaker.ends_with(format.recordDeliminator))
        return {};
    speaker = Trim(speaker.substr(0, speaker.size() - format.recordDeliminator.size()));
    // "Name: [Tell] [Party] ..." is no party chat of Name's.
    if (speaker.find(format.recordDeliminator) != std::string_view::npos ||
        speaker.find('[') != std::string_view::npos)
        return {};
    return speaker;
}

} // namespace tarvik
