#include "RecapView.h"

#include "util/NumberFormat.h"
#include "util/Text.h"

#include <algorithm>

namespace tarvik {

namespace {

constexpr size_t None = static_cast<size_t>(-1);

bool Between(const std::vector<RecapEvent>& events, size_t from, size_t to)
{
    for (size_t i = from; i < to; ++i) {
        if (events[i].kind == RecapKind::Damage || events[i].kind == RecapKind::Healing)
            return false;
    }
    return true;
}

// The damage event a save or absorb at i belongs to, looking first above
// (above = true) or first below; None when it stands alone.
size_t BlowOf(const std::vector<RecapEvent>& events, size_t i, bool aboveFirst)
{
    auto above = [&]() -> size_t {
        for (size_t j = i; j-- > 0;) {
            if (events[j].second != events[i].second)
                return None;
            if (events[j].kind == RecapKind::Damage)
                return Between(events, j + 1, i) ? j : None;
        }
        return None;
    };
    auto below = [&]() -> size_t {
        for (size_t k = i + 1; k < events.size(); ++k) {
            if (events[k].second != events[i].second)
                return None;
            if (events[k].kind == RecapKind::Damage)
                return Between(events, i + 1, k) ? k : None;
        }
        return None;
    };
    const size_t first = aboveFirst ? above() : below();
    return first != None ? first : aboveFirst ? below() : above();
}

std::string AbsorbText(const RecapAbsorb& absorb, const Roster& roster)
{
    const std::string amount = FormatThousands(absorb.amount);
    return !absorb.damageType.IsNone() ? amount + " " + roster.DamageTypeName(absorb.damageType)
                                       : amount + " by resistance or reduction";
}

std::string SaveText(const RecapSave& save, const Roster& roster)
{
    std::string text = roster.SaveTypeName(save.saveType) + " save " +
                       (save.success ? "succeeded: " : "failed: ") + std::to_string(save.total);
    if (save.dc >= 0)
        text += " vs. DC " + std::to_string(save.dc);
    return text;
}

std::string LineText(const RecapLine& line, const Roster& roster)
{
    switch (line.kind) {
    case RecapLineKind::Blow: {
        std::string text =
            FormatThousands(line.amount) + " damage from " + roster.NameOf(line.source);
        std::vector<std::string> parts;
        int64_t shown = 0;
        for (const auto& type : line.types) {
            parts.push_back(FormatThousands(type.amount) + " " + roster.DamageTypeName(type.type));
            shown += type.amount;
        }
        if (shown != line.amount && !parts.empty())
            parts.emplace_back("...");
        if (!parts.empty())
            text += " (" + JoinTexts(parts, ", ") + ")";
        if (!line.absorbs.empty()) {
            parts.clear();
            for (const RecapAbsorb& absorb : line.absorbs)
                parts.push_back(AbsorbText(absorb, roster));
            text += "; absorbed " + JoinTexts(parts, ", ");
        }
        for (const RecapSave& save : line.saves)
            text += "; " + SaveText(save, roster);
        return line.killingBlow ? "Killing blow: " + text : text;
    }
    case RecapLineKind::Healing:
        return line.ticks > 1 ? "Healed " + FormatThousands(line.amount) + " in " +
                                    std::to_string(line.ticks) + " ticks"
                              : "Healed " + FormatThousands(line.amount);
    case RecapLineKind::Immunity:
        return "Immunity absorbed " + AbsorbText(line.absorbs.front(), roster);
    case RecapLineKind::Absorb:
        return "Resistance or reduction absorbed " + FormatThousands(line.absorbs.front().amount);
    case RecapLineKind::Save:
        return SaveText(line.saves.front(), roster);
    }
    return {};
}

RecapLine StartLine(RecapLineKind kind, const RecapEvent& event, int64_t deathSecond)
{
    RecapLine line;
    line.kind = kind;
    line.time = DateOfSecond(event.second).FormatTime();
    line.secondsBefore = deathSecond - event.second;
    return line;
}

} // namespace

RecapView BuildRecap(const DeathRecap& recap, const Roster& roster)
{
    RecapView view;
    view.time = DateOfSecond(recap.second).Format();
    view.victim = roster.NameOf(recap.victim);
    view.killer = roster.NameOf(recap.killer);
    const std::vector<RecapEvent> events = recap.events.Unpack();

    // Which blow each absorb and save joins.
    std::vector<size_t> joins(events.size(), None);
    for (size_t i = 0; i < events.size(); ++i) {
        const RecapKind kind = events[i].kind;
        if ((kind == RecapKind::Immunity || kind == RecapKind::Absorb) && events[i].amount != 0)
            joins[i] = BlowOf(events, i, true);
        else if (kind == RecapKind::Save)
            joins[i] = BlowOf(events, i, false);
    }
    size_t killingEvent = None;
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i].kind != RecapKind::Damage)
            continue;
        if (events[i].source == recap.killer || killingEvent == None ||
            events[killingEvent].source != recap.killer)
            killingEvent = i;
    }

    std::vector<size_t> lineOf(events.size(), None);
    size_t killingLine = None;
    for (size_t i = 0; i < events.size(); ++i) {
        const RecapEvent& event = events[i];
        switch (event.kind) {
        case RecapKind::Damage: {
            RecapLine line = StartLine(RecapLineKind::Blow, event, recap.second);
            line.source = event.source;
            line.amount = event.amount;
            line.types.assign(event.types.begin(), event.types.begin() + event.typeCount);
            line.killingBlow = i == killingEvent;
            if (line.killingBlow)
                killingLine = view.lines.size();
            lineOf[i] = view.lines.size();
            view.lines.push_back(std::move(line));
            break;
        }
        case RecapKind::Healing:
            if (!view.lines.empty() && view.lines.back().kind == RecapLineKind::Healing) {
                view.lines.back().amount += event.amount;
                ++view.lines.back().ticks;
            } else {
                RecapLine line = StartLine(RecapLineKind::Healing, event, recap.second);
                line.amount = event.amount;
                line.ticks = 1;
                view.lines.push_back(std::move(line));
            }
            break;
        case RecapKind::Immunity:
        case RecapKind::Absorb:
            if (event.amount != 0 && joins[i] == None) {
                RecapLine line =
                    StartLine(event.kind == RecapKind::Immunity ? RecapLineKind::Immunity
                                                                : RecapLineKind::Absorb,
                              event, recap.second);
                line.absorbs.push_back({event.amount, event.kind == RecapKind::Immunity
                                                          ? event.DamageType()
                                                          : DamageTypeIndex::None()});
                view.lines.push_back(std::move(line));
            }
            break;
        case RecapKind::Save:
            if (joins[i] == None) {
                RecapLine line = StartLine(RecapLineKind::Save, event, recap.second);
                line.saves.push_back({event.SaveType(), event.amount, event.dc, event.success});
                view.lines.push_back(std::move(line));
            }
            break;
        }
    }
    // Absorbs and saves into their blows, once every blow has its line.
    for (size_t i = 0; i < events.size(); ++i) {
        if (joins[i] == None || lineOf[joins[i]] == None)
            continue;
        const RecapEvent& event = events[i];
        RecapLine& line = view.lines[lineOf[joins[i]]];
        if (event.kind == RecapKind::Save)
            line.saves.push_back({event.SaveType(), event.amount, event.dc, event.success});
        else
            line.absorbs.push_back({event.amount, event.kind == RecapKind::Immunity
                                                      ? event.DamageType()
                                                      : DamageTypeIndex::None()});
    }
    for (RecapLine& line : view.lines)
        line.text = LineText(line, roster);

    if (view.lines.size() > MaxRecapLines) {
        const size_t cut = view.lines.size() - MaxRecapLines;
        if (killingLine != None && killingLine < cut) {
            // Keep the killing blow in place of the oldest line kept.
            view.lines[cut] = std::move(view.lines[killingLine]);
        }
        view.lines.erase(view.lines.begin(), view.lines.begin() + static_cast<std::ptrdiff_t>(cut));
    }

    for (const RecapEvent& event : events) {
        if (event.kind != RecapKind::Damage)
            continue;
        auto it = std::find_if(view.byAttacker.begin(), view.byAttacker.end(),
                               [&](const RecapAttacker& a) { return a.attacker == event.source; });
        if (it == view.byAttacker.end()) {
            view.byAttacker.push_back({event.source, roster.NameOf(event.source), 0, 0, 0});
            it = view.byAttacker.end() - 1;
        }
        it->damage += event.amount;
        ++it->blows;
        it->largest = std::max(it->largest, event.amount);
    }
    std::stable_sort(
        view.byAttacker.begin(), view.byAttacker.end(),
        [](const RecapAttacker& a, const RecapAttacker& b) { return a.damage > b.damage; });
    return view;
}

std::string RecapAttackersText(const RecapView& view)
{
    std::vector<std::string> parts;
    for (const RecapAttacker& attacker : view.byAttacker) {
        parts.push_back(attacker.name + " " + FormatThousands(attacker.damage) + " in " +
                        FormatThousands(attacker.blows) +
                        (attacker.blows == 1 ? " blow" : " blows") + " (largest " +
                        FormatThousands(attacker.largest) + ")");
    }
    return parts.empty() ? std::string() : "By attacker: " + JoinTexts(parts, ", ");
}

std::vector<const DeathRecap*> ShownDeaths(const Fight& fight, const Roster& roster)
{
    std::vector<const DeathRecap*> shown;
    for (const DeathRecap& recap : fight.Deaths()) {
        if (roster.OnYourSide(recap.victim))
            shown.push_back(&recap);
    }
    return shown;
}

} // namespace tarvik
