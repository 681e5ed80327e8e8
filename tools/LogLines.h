#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The game's damage types, in the order its damage records list them.
enum DamageType {
    Physical,
    Magical,
    Acid,
    Cold,
    Divine,
    Electrical,
    Fire,
    NegativeEnergy,
    PositiveEnergy,
    Sonic,
    Pure,
    DamageTypeCount
};
// "Negative Energy"
const char* DamageTypeName(int type);

// The client that writes a log: the classic one pads the day of its stamps
// with a zero, the Enhanced Edition with a blank.
enum class LogClient { Classic, EnhancedEdition };

struct StampTime {
    int weekday = 0; // 0 is Sunday
    int month = 1;   // 1 is January
    int day = 1;
    int64_t secondOfDay = 0;
};

// The day of the week of a date, 0 for Sunday.
int WeekdayOf(int year, int month, int day);

// Writes the lines of a game log as its client does: the stamp, the record's
// body, the line end.
class LogLineWriter {
public:
    LogLineWriter(LogClient client, std::string_view lineEnd)
        : client_(client)
        , lineEnd_(lineEnd)
    {
    }

    // "[CHAT WINDOW TEXT] [Sat Oct 03 19:34:12] "
    std::string Stamp(const StampTime& time) const;
    void Dated(std::string& out, const StampTime& time, std::string_view body) const;
    // A line without a stamp: engine noise, continuations, blank lines.
    void Undated(std::string& out, std::string_view text) const;

private:
    LogClient client_;
    std::string lineEnd_;
};

// A d20 roll as a record shows it: "14 + 27 = 41" (a negative bonus as "3 - 2 = 1").
struct D20 {
    int die = 1;
    int bonus = 0;
    int total = 1;
};
inline D20 Rolled(int die, int bonus)
{
    return {die, bonus, die + bonus};
}

struct DamagePart {
    int amount = 0;
    std::string_view type; // "Fire"
};

// The record bodies, each in the shape the game writes. descriptions are
// the leading ones of an attack ("Off Hand : "), each ending in " : ".
std::string AttackBody(std::string_view descriptions, std::string_view attacker,
                       std::string_view defender, std::string_view result, D20 roll,
                       const D20* threat = nullptr);
std::string SpecialAttackBody(std::string_view attacker, std::string_view special,
                              std::string_view defender, std::string_view result, D20 roll);
// The total is the sum of the parts.
std::string DamageBody(std::string_view attacker, std::string_view defender,
                       const std::vector<DamagePart>& parts);
std::string ImmunityBody(std::string_view defender, int amount, std::string_view type);
// kind: "Resistance" or "Reduction".
std::string AbsorbBody(std::string_view defender, std::string_view kind, int amount);
std::string EpicDodgeBody(std::string_view defender);
// subject may carry a leading description ("Improved Evasion : Brenna"), save
// one of its own ("Evasion : Reflex Save vs. Fire").
std::string SaveBody(std::string_view subject, std::string_view save, bool success, D20 roll,
                     int dc);
std::string HealedBody(std::string_view patient, int amount);
std::string KilledBody(std::string_view killer, std::string_view victim);
std::string ExperienceBody(int amount);
// "casting" when the cast begins, "casts" when it completes.
std::string CastingBody(std::string_view caster, std::string_view spell, bool completes);
std::string InitiativeBody(std::string_view name, D20 roll);
std::string PartyBody(std::string_view name, bool joins);

} // namespace tarvik
