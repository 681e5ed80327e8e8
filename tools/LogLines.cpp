#include "LogLines.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace tarvik {

namespace {

const std::array<const char*, 7> Weekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const std::array<const char*, 12> Months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

const std::array<const char*, DamageTypeCount> DamageTypeNames = {
    "Physical",        "Magical",         "Acid",  "Cold", "Divine", "Electrical", "Fire",
    "Negative Energy", "Positive Energy", "Sonic", "Pure"};

std::string Text(std::string_view text)
{
    return std::string(text);
}

std::string RollText(D20 roll)
{
    return std::to_string(roll.die) + (roll.bonus < 0 ? " - " : " + ") +
           std::to_string(std::abs(roll.bonus)) + " = " + std::to_string(roll.total);
}

int64_t DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

} // namespace

const char* DamageTypeName(int type)
{
    return DamageTypeNames[static_cast<size_t>(type)];
}

int WeekdayOf(int year, int month, int day)
{
    // 1970-01-01 was a Thursday.
    return static_cast<int>(((DaysFromCivil(year, month, day) % 7) + 11) % 7);
}

std::string LogLineWriter::Stamp(const StampTime& time) const
{
    const int h = static_cast<int>(time.secondOfDay / 3600);
    const int m = static_cast<int>(time.secondOfDay / 60 % 60);
    const int s = static_cast<int>(time.secondOfDay % 60);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer,
                  client_ == LogClient::Classic ? "[CHAT WINDOW TEXT] [%s %s %02d %02d:%02d:%02d] "
                                                : "[CHAT WINDOW TEXT] [%s %s %2d %02d:%02d:%02d] ",
                  Weekdays[static_cast<size_t>(time.weekday % 7)],
                  Months[static_cast<size_t>((time.month + 11) % 12)], time.day, h, m, s);
    return buffer;
}

void LogLineWriter::Dated(std::string& out, const StampTime& time, std::string_view body) const
{
    out += Stamp(time);
    out += body;
    out += lineEnd_;
}

void LogLineWriter::Undated(std::string& out, std::string_view text) const
{
    out += text;
    out += lineEnd_;
}

std::string AttackBody(std::string_view descriptions, std::string_view attacker,
                       std::string_view defender, std::string_view result, D20 roll,
                       const D20* threat)
{
    std::string body = Text(descriptions) + Text(attacker) + " attacks " + Text(defender) + " : *" +
                       Text(result) + "* : (" + RollText(roll);
    if (threat)
        body += " : Threat Roll: " + RollText(*threat);
    return body + ")";
}

std::string SpecialAttackBody(std::string_view attacker, std::string_view special,
                              std::string_view defender, std::string_view result, D20 roll)
{
    return Text(attacker) + " attempts " + Text(special) + " on " + Text(defender) + " : *" +
           Text(result) + "* : (" + RollText(roll) + ")";
}

std::string DamageBody(std::string_view attacker, std::string_view defender,
                       const std::vector<DamagePart>& parts)
{
    int total = 0;
    std::string list;
    for (const DamagePart& part : parts) {
        total += part.amount;
        if (!list.empty())
            list += " ";
        list += std::to_string(part.amount) + " " + Text(part.type);
    }
    return Text(attacker) + " damages " + Text(defender) + ": " + std::to_string(total) + " (" +
           list + ")";
}

std::string ImmunityBody(std::string_view defender, int amount, std::string_view type)
{
    return Text(defender) + " : Damage Immunity absorbs " + std::to_string(amount) +
           " point(s) of " + Text(type);
}

std::string AbsorbBody(std::string_view defender, std::string_view kind, int amount)
{
    return Text(defender) + " : Damage " + Text(kind) + " absorbs " + std::to_string(amount) +
           " damage";
}

std::string EpicDodgeBody(std::string_view defender)
{
    return Text(defender) + " : Epic Dodge : Attack evaded";
}

std::string SaveBody(std::string_view subject, std::string_view save, bool success, D20 roll,
                     int dc)
{
    return Text(subject) + " : " + Text(save) + " : *" + (success ? "success" : "failure") +
           "* : (" + RollText(roll) + " vs. DC: " + std::to_string(dc) + ")";
}

std::string HealedBody(std::string_view patient, int amount)
{
    return Text(patient) + " : Healed " + std::to_string(amount) + " hit points.";
}

std::string KilledBody(std::string_view killer, std::string_view victim)
{
    return Text(killer) + " killed " + Text(victim);
}

std::string ExperienceBody(int amount)
{
    // Two blanks after the colon, as the game writes it.
    return "Experience Points Gained:  " + std::to_string(amount);
}

std::string CastingBody(std::string_view caster, std::string_view spell, bool completes)
{
    return Text(caster) + (completes ? " casts " : " casting ") + Text(spell);
}

std::string InitiativeBody(std::string_view name, D20 roll)
{
    return Text(name) + " : Initiative Roll : " + std::to_string(roll.total) + " : (" +
           RollText(roll) + ")";
}

std::string PartyBody(std::string_view name, bool joins)
{
    return Text(name) + (joins ? " has joined the party." : " has left the party.");
}

} // namespace tarvik
