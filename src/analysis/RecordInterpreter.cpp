#include "RecordInterpreter.h"

namespace tarvik {

RecordInterpreter::RecordInterpreter(const AnalysisConfig& config, const RecordTargets& targets)
    : types_(config.recordTypes)
    , parser_(config)
    , recorder_(parser_, targets)
{
}

void RecordInterpreter::Continuation(const ContinuationLine& line)
{
    recorder_.Continuation(line);
    const RecordTypes::Match match = types_.Classify(line.text);
    if (!match || match.kind != RecordKind::Immunity)
        return;
    const RecordContext record{line.text,        line.text,      match.kind,
                               match.identifier, match.position, line.date};
    recorder_.Immunity(record, parser_.ParseImmunity(record));
}

Error RecordInterpreter::Interpret(const RecordContext& record)
{
    switch (record.kind) {
    case RecordKind::Chat:
        recorder_.Chat(record);
        return {};
    case RecordKind::Attack:
        return recorder_.Attack(record, parser_.ParseAttack(record));
    case RecordKind::Damage:
        return recorder_.Damage(record, parser_.ParseDamage(record));
    case RecordKind::Casting:
        return recorder_.Casting(record, parser_.ParseCasting(record));
    case RecordKind::Healing:
        return recorder_.Healing(record, parser_.ParseHealing(record));
    case RecordKind::Resist:
        return recorder_.Absorb(record, parser_.ParseAbsorb(record));
    case RecordKind::Save:
        return recorder_.Save(record, parser_.ParseSave(record));
    case RecordKind::Kill:
        return recorder_.Kill(record, parser_.ParseKill(record));
    case RecordKind::Experience:
        return recorder_.Experience(record, parser_.ParseExperience(record));
    case RecordKind::Character:
        recorder_.UserCharacter(record, parser_.ParseCharacter(record));
        return {};
    case RecordKind::PartyJoin:
        recorder_.PartyChange(record, parser_.ParsePartyChange(record, true), true);
        return {};
    case RecordKind::PartyExit:
        recorder_.PartyChange(record, parser_.ParsePartyChange(record, false), false);
        return {};
    case RecordKind::Immunity:
        recorder_.Immunity(record, parser_.ParseImmunity(record));
        return {};
    case RecordKind::SpellResist:
        recorder_.SpellResist(record, parser_.ParseSpellResist(record));
        return {};
    case RecordKind::Unknown:
        break;
    }
    return {};
}

void RecordInterpreter::InterpretUnclassified(const RecordContext& record)
{
    if (const std::string_view pet = parser_.ParseDominated(record); !pet.empty())
        recorder_.Dominated(pet);
}

} // namespace tarvik
