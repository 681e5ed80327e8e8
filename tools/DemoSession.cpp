#include "DemoSession.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <utility>

namespace tarvik {

namespace {

enum DamageType {
    Physical,
    Magical,
    Acid,
    Cold,
    Divine,
    Electrical,
    Fire,
    Negative,
    Positive,
    Sonic,
    Pure,
    TypeCount
};
const std::array<const char*, TypeCount> TypeNames = {
    "Physical",        "Magical",         "Acid",  "Cold", "Divine", "Electrical", "Fire",
    "Negative Energy", "Positive Energy", "Sonic", "Pure"};

const std::array<const char*, 7> Weekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const std::array<const char*, 12> Months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

enum class SaveKind { Fort, Reflex, Will };

// A spell as the fights use it: its damage, and the save that halves it
// (or, for a death spell, decides it).
struct SpellPlan {
    const char* name;
    int type = Magical;
    int dice = 0;
    int sides = 6;
    int bonus = 0;
    SaveKind save = SaveKind::Reflex;
    const char* saveText = nullptr; // "Reflex Save vs. Fire"; none: no save
    int dc = 0;
    int targets = 1; // how many of the other side it reaches
    bool deathSpell = false;
};

const SpellPlan Fireball{"Fireball", Fire, 15, 6, 0, SaveKind::Reflex, "Reflex Save vs. Fire",
                         24,         4};
const SpellPlan MissileStorm{
    "Isaac's Greater Missile Storm", Magical, 6, 6, 0, SaveKind::Reflex, nullptr, 0, 3};
const SpellPlan MagicMissile{"Magic Missile", Magical, 3, 4, 3, SaveKind::Reflex, nullptr, 0, 1};
const SpellPlan LightningBolt{
    "Lightning Bolt", Electrical, 8, 6, 0, SaveKind::Reflex, "Reflex Save vs. Electricity", 19, 3};
const SpellPlan WizardConeOfCold{"Cone of Cold",         Cold, 15, 6, 0, SaveKind::Reflex,
                                 "Reflex Save vs. Cold", 24,   3};
const SpellPlan ConeOfCold{"Cone of Cold",         Cold, 10, 6, 0, SaveKind::Reflex,
                           "Reflex Save vs. Cold", 21,   3};
const SpellPlan PhantasmalKiller{"Phantasmal Killer",        Magical, 4, 6,   6, SaveKind::Will,
                                 "Will Save vs. Mind Spell", 26,      1, true};
const SpellPlan HellFireball{"Fireball", Fire, 10, 6, 0, SaveKind::Reflex, "Reflex Save vs. Fire",
                             26,         4};

enum class Role { Fighter, Cleric, Wizard, Rogue, Monster };

struct Fighter {
    std::string name;
    Role role = Role::Monster;
    int maxHp = 0;
    int ac = 0;
    int ab = 0;
    int attacks = 1;
    int dice = 1;
    int sides = 8;
    int bonus = 0;
    int extraType = -1; // one die of an element on every hit
    int extraSides = 0;
    int threat = 20;
    int critMultiplier = 2;
    std::array<int, 3> saves{}; // Fort, Reflex, Will
    std::array<int, TypeCount> immunity{};
    int reduction = 0;  // of physical damage
    int resistance = 0; // of elemental damage
    int concealment = 0;
    const SpellPlan* spell = nullptr;
    int spellEvery = 0; // rounds
    bool evasion = false;
    bool boss = false;
    int experience = 0; // for the kill
    // Who the boss goes for: the party member who hurt it most with a spell.
    bool holdsGrudge = false;
    int opensOn = -1; // the party member it goes for first

    // During a fight.
    int hp = 0;
    bool alive = true;
    double nextAction = 0;
    int round = 0;
    int target = -1;
    int grudge = -1;
};

Fighter Monster(std::string name, int hp, int ac, int ab, int attacks, int dice, int sides,
                int bonus, std::array<int, 3> saves, int experience)
{
    Fighter m;
    m.name = std::move(name);
    m.maxHp = hp;
    m.ac = ac;
    m.ab = ab;
    m.attacks = attacks;
    m.dice = dice;
    m.sides = sides;
    m.bonus = bonus;
    m.saves = saves;
    m.experience = experience;
    return m;
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

class Demo {
public:
    explicit Demo(uint64_t seed)
        : state_(seed)
    {
    }

    std::vector<DemoLog> Write();

private:
    uint64_t Next()
    {
        // splitmix64, as the log generator: the same everywhere.
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return n <= 1 ? 0 : static_cast<int>(Next() % static_cast<uint64_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    int Roll(int count, int sides)
    {
        int sum = 0;
        for (int i = 0; i < count; ++i)
            sum += 1 + Below(sides);
        return sum;
    }
    template <class T>
    const T& Pick(const std::vector<T>& items)
    {
        return items[static_cast<size_t>(Below(static_cast<int>(items.size())))];
    }

    // Output.
    void StartLog(bool classic, int year, int month, int day, int64_t second);
    DemoLog EndLog(std::string name);
    std::string Stamp() const;
    void Line(const std::string& body) { out_ += Stamp() + body + end_; }
    void Raw(const std::string& text) { out_ += text + end_; }
    void Wait(int64_t seconds);

    // The party and its evenings.
    void MakeParty();
    Fighter& Hero(int index) { return fighters_[static_cast<size_t>(index)]; }
    void JoinParty();
    void Buffs();
    void Chat(const std::vector<std::string>& lines);
    void Loot();
    void Travel(int minutes);
    void Rest();
    void RaiseTheDead();
    void LevelUp();
    void Battle(std::vector<Fighter> monsters);
    std::vector<Fighter> Encounter(const std::string& kind);
    // Fights with the walks, buffs, loot and rests between them.
    void Evening(const std::vector<std::string>& encounters);

    // One fight's actions.
    bool SideAlive(bool heroes) const;
    int ChooseTarget(int index);
    void Act(int index);
    void Attack(int attacker, int defender, const std::string& prefix);
    void Damage(int attacker, int defender, std::array<int, TypeCount> amounts);
    void Kill(int attacker, int defender);
    void Cast(int caster, const SpellPlan& spell);
    void Heal(int caster, int patient, const char* spellName, int amount);
    bool Save(int index, const SpellPlan& spell);

    bool IsHero(int index) const { return index < partySize_; }
    std::string& NameOf(int index) { return fighters_[static_cast<size_t>(index)].name; }

    uint64_t state_;
    std::string out_;
    const char* end_ = "\r\n";
    bool classic_ = true;
    int year_ = 2026;
    int month_ = 10;
    int day_ = 3;
    int64_t second_ = 0;

    std::vector<Fighter> fighters_; // the party first, then the fight's monsters
    int partySize_ = 0;
    int experience_ = 0;
    int level_ = 13;
    bool leveled_ = false;
    // Spells land a moment after they are cast.
    struct Pending {
        int64_t at;
        std::function<void()> action;
    };
    std::vector<Pending> pending_;
    int64_t fightSecond_ = 0;
};

void Demo::StartLog(bool classic, int year, int month, int day, int64_t second)
{
    out_.clear();
    classic_ = classic;
    end_ = classic ? "\r\n" : "\n";
    year_ = year;
    month_ = month;
    day_ = day;
    second_ = second;
}

DemoLog Demo::EndLog(std::string name)
{
    return {std::move(name), std::exchange(out_, {})};
}

std::string Demo::Stamp() const
{
    const int64_t days = DaysFromCivil(year_, month_, day_);
    const auto weekday = static_cast<size_t>(((days % 7) + 11) % 7); // 1970-01-01 was a Thursday
    const int h = static_cast<int>(second_ / 3600);
    const int m = static_cast<int>(second_ / 60 % 60);
    const int s = static_cast<int>(second_ % 60);
    char buffer[64];
    // The classic client pads the day with a zero, the Enhanced Edition with a blank.
    std::snprintf(buffer, sizeof buffer,
                  classic_ ? "[CHAT WINDOW TEXT] [%s %s %02d %02d:%02d:%02d] "
                           : "[CHAT WINDOW TEXT] [%s %s %2d %02d:%02d:%02d] ",
                  Weekdays[weekday], Months[static_cast<size_t>(month_ - 1)], day_, h, m, s);
    return buffer;
}

void Demo::Wait(int64_t seconds)
{
    second_ += seconds;
    // The evenings end before midnight; a day's roll-over is not needed.
    second_ = std::min<int64_t>(second_, 86399);
}

void Demo::MakeParty()
{
    Fighter aldric;
    aldric.name = "Aldric Voss";
    aldric.role = Role::Fighter;
    aldric.maxHp = 196;
    aldric.ac = 35;
    aldric.ab = 29;
    aldric.attacks = 5;
    aldric.dice = 2;
    aldric.sides = 6;
    aldric.bonus = 20;
    aldric.extraType = Fire;
    aldric.extraSides = 6;
    aldric.threat = 17;
    aldric.saves = {17, 9, 8};
    aldric.resistance = 5;

    Fighter brenna;
    brenna.name = "Brenna Tal";
    brenna.role = Role::Cleric;
    brenna.maxHp = 138;
    brenna.ac = 31;
    brenna.ab = 21;
    brenna.attacks = 3;
    brenna.dice = 1;
    brenna.sides = 8;
    brenna.bonus = 10;
    brenna.extraType = Divine;
    brenna.extraSides = 6;
    brenna.saves = {15, 8, 17};

    Fighter mirek;
    mirek.name = "Mirek the Grey";
    mirek.role = Role::Wizard;
    mirek.maxHp = 70;
    mirek.ac = 19;
    mirek.ab = 15;
    mirek.attacks = 1;
    mirek.dice = 1;
    mirek.sides = 8;
    mirek.saves = {8, 10, 16};
    mirek.concealment = 20;
    mirek.reduction = 5; // Stoneskin

    Fighter sefa;
    sefa.name = "Sefa Dunmoor";
    sefa.role = Role::Rogue;
    sefa.maxHp = 112;
    sefa.ac = 32;
    sefa.ab = 25;
    sefa.attacks = 5;
    sefa.dice = 1;
    sefa.sides = 6;
    sefa.bonus = 10;
    sefa.threat = 18;
    sefa.saves = {9, 20, 8};
    sefa.evasion = true;

    fighters_ = {aldric, brenna, mirek, sefa};
    partySize_ = 4;
    for (Fighter& hero : fighters_)
        hero.hp = hero.maxHp;
}

void Demo::JoinParty()
{
    for (int i = 1; i < partySize_; ++i) {
        Line(NameOf(i) + " has joined the party.");
        Wait(1 + Below(20));
    }
}

void Demo::Buffs()
{
    const std::vector<std::pair<int, const char*>> buffs = {
        {1, "Bless"}, {1, "Divine Favor"}, {2, "Mage Armor"},  {2, "Stoneskin"},
        {2, "Haste"}, {2, "Displacement"}, {3, "Invisibility"}};
    for (const auto& [hero, spell] : buffs) {
        if (!Hero(hero).alive || Chance(25))
            continue;
        Line(NameOf(hero) + " casting " + spell);
        Wait(2);
        Line(NameOf(hero) + " casts " + spell);
        Wait(Below(2));
    }
}

void Demo::Chat(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        Line(line);
        Wait(2 + Below(9));
    }
}

void Demo::Loot()
{
    const std::vector<std::string> items = {
        "Potion of Cure Serious Wounds", "Scroll",    "Ogre Tooth",     "Ruby",
        "Cloak of Protection +2",        "Arrows +1", "Duergar Waraxe", "Bag of Holding"};
    const int count = 2 + Below(4);
    for (int i = 0; i < count; ++i) {
        Line("Acquired " + std::to_string(10 + Below(400)) + "GP");
        Wait(Below(3));
        if (Chance(60)) {
            Line("Acquired Item: " + Pick(items));
            Wait(1 + Below(4));
        }
    }
}

void Demo::Travel(int minutes)
{
    // The long walks between fights: chat, the server, other players.
    const std::vector<std::string> noise = {
        "Weapon equipped as a one-handed weapon.",
        "[Server] You are now in a No PVP area.",
        "[Server] You are now in a PVP area.",
        "Halgroth : [Shout] LFG ogre caves, lvl 13 cleric",
        "Luminousdove has left as a player..",
        "Halgroth has joined as a player..",
        "Sefa Dunmoor : [Party] trap ahead, hold on",
        "Take 20 : Sefa Dunmoor : Disable Trap : *success* : (20 + 24 = 44 vs. DC: 35)",
        "Brenna Tal: [Party] mana check? I have 3 heals left",
        "Mirek the Grey: [Party] resting after this one please",
        "Aldric Voss: [Party] follow me, stairs on the left",
        "Constantine: [Whisper] anyone selling cure potions?",
        "Sefa Dunmoor : [Tell] meet you at the gate",
        "Aldric Voss : Search : *success* : (12 + 14 = 26 vs. DC: 25)",
        "Resting.",
        "* Battle Cry - from: Aldric Voss - wore off *"};
    const int lines = minutes * 12 + Below(6);
    for (int i = 0; i < lines; ++i) {
        Line(Pick(noise));
        Wait(3 + Below(12));
    }
}

void Demo::Rest()
{
    Line("Aldric Voss: [Party] rest here");
    Wait(3);
    Line("Resting.");
    Wait(30 + Below(20));
    for (Fighter& hero : fighters_) {
        if (hero.alive)
            hero.hp = hero.maxHp;
    }
}

void Demo::RaiseTheDead()
{
    for (int i = 0; i < partySize_; ++i) {
        if (Hero(i).alive)
            continue;
        if (i == 1 || !Hero(1).alive) {
            // Nobody to raise the cleric: a scroll does it.
            Line(NameOf(i) + ": [Party] back soon, using my last scroll");
            Wait(20 + Below(20));
        } else {
            Line("Brenna Tal casting Raise Dead");
            Wait(2);
            Line("Brenna Tal casts Raise Dead");
            Wait(2);
            Line(NameOf(i) + ": [Party] thanks Bren");
        }
        Hero(i).alive = true;
        Hero(i).hp = Hero(i).maxHp / 2;
        Wait(3 + Below(5));
    }
}

void Demo::LevelUp()
{
    // The game writes nothing when a character levels; the party hears of
    // it, and the attack rolls show the better bonus from then on.
    ++level_;
    leveled_ = true;
    Line("Aldric Voss: [Party] DING! level " + std::to_string(level_) + ", give me a minute");
    Wait(40 + Below(30));
    Hero(0).ab += 1;
    Hero(0).maxHp += 12;
    Hero(0).hp = Hero(0).maxHp;
    Line("Brenna Tal: [Party] grats!");
    Wait(5);
    Line("Aldric Voss: [Party] done, +1 attack. let's go");
    Wait(10);
}

bool Demo::SideAlive(bool heroes) const
{
    for (size_t i = 0; i < fighters_.size(); ++i) {
        if (fighters_[i].alive && (static_cast<int>(i) < partySize_) == heroes)
            return true;
    }
    return false;
}

int Demo::ChooseTarget(int index)
{
    Fighter& self = fighters_[static_cast<size_t>(index)];
    if (self.target >= 0 && fighters_[static_cast<size_t>(self.target)].alive)
        return self.target;
    std::vector<int> choices;
    if (IsHero(index)) {
        // The party kills the small ones first and the boss last, all on
        // the same one.
        int best = -1;
        for (int i = partySize_; i < static_cast<int>(fighters_.size()); ++i) {
            const Fighter& m = fighters_[static_cast<size_t>(i)];
            if (!m.alive)
                continue;
            if (best < 0 || (fighters_[static_cast<size_t>(best)].boss && !m.boss) ||
                (m.boss == fighters_[static_cast<size_t>(best)].boss &&
                 m.hp < fighters_[static_cast<size_t>(best)].hp))
                best = i;
        }
        self.target = best;
        return best;
    }
    if (self.grudge >= 0 && fighters_[static_cast<size_t>(self.grudge)].alive)
        return self.target = self.grudge;
    for (int i = 0; i < partySize_; ++i) {
        if (Hero(i).alive)
            choices.push_back(i);
    }
    if (choices.empty())
        return -1;
    // The fighter holds most of them.
    if (Hero(0).alive && Chance(55))
        return self.target = 0;
    return self.target = Pick(choices);
}

bool Demo::Save(int index, const SpellPlan& spell)
{
    Fighter& f = fighters_[static_cast<size_t>(index)];
    const int bonus = f.saves[static_cast<size_t>(spell.save)];
    const int roll = 1 + Below(20);
    const bool success = roll == 20 || (roll != 1 && roll + bonus >= spell.dc);
    const std::string evasion = spell.save == SaveKind::Reflex && f.evasion ? "Evasion : " : "";
    Line(f.name + " : " + evasion + spell.saveText + " : *" + (success ? "success" : "failure") +
         "* : (" + std::to_string(roll) + " + " + std::to_string(bonus) + " = " +
         std::to_string(roll + bonus) + " vs. DC: " + std::to_string(spell.dc) + ")");
    return success;
}

void Demo::Cast(int caster, const SpellPlan& spell)
{
    Line(NameOf(caster) + " casting " + spell.name);
    pending_.push_back({fightSecond_ + 2, [this, caster, &spell] {
                            if (!fighters_[static_cast<size_t>(caster)].alive)
                                return;
                            Line(NameOf(caster) + " casts " + spell.name);
                            std::vector<int> targets;
                            const int first = IsHero(caster) ? partySize_ : 0;
                            const int last =
                                IsHero(caster) ? static_cast<int>(fighters_.size()) : partySize_;
                            const int main = ChooseTarget(caster);
                            if (main >= 0)
                                targets.push_back(main);
                            for (int i = first; i < last; ++i) {
                                if (static_cast<int>(targets.size()) >= spell.targets)
                                    break;
                                if (i != main && fighters_[static_cast<size_t>(i)].alive)
                                    targets.push_back(i);
                            }
                            for (const int t : targets) {
                                Fighter& target = fighters_[static_cast<size_t>(t)];
                                if (!target.alive)
                                    continue;
                                int amount = Roll(spell.dice, spell.sides) + spell.bonus;
                                if (spell.saveText) {
                                    const bool saved = Save(t, spell);
                                    if (spell.deathSpell && saved)
                                        continue;
                                    if (saved)
                                        amount = target.evasion ? 0 : amount / 2;
                                }
                                if (amount == 0)
                                    continue;
                                std::array<int, TypeCount> amounts{};
                                amounts[static_cast<size_t>(spell.type)] = amount;
                                // A wizard's fireball makes the boss angry at him.
                                if (target.holdsGrudge && IsHero(caster))
                                    target.grudge = caster;
                                Damage(caster, t, amounts);
                            }
                        }});
}

void Demo::Heal(int caster, int patient, const char* spellName, int amount)
{
    Line(NameOf(caster) + " casting " + spellName);
    pending_.push_back({fightSecond_ + 2, [this, caster, patient, spellName, amount] {
                            Fighter& p = fighters_[static_cast<size_t>(patient)];
                            if (!fighters_[static_cast<size_t>(caster)].alive || !p.alive)
                                return;
                            Line(NameOf(caster) + " casts " + spellName);
                            const int healed = std::min(amount, p.maxHp - p.hp);
                            p.hp += healed;
                            Line(p.name + " : Healed " + std::to_string(healed) + " hit points.");
                        }});
}

void Demo::Damage(int attacker, int defender, std::array<int, TypeCount> amounts)
{
    Fighter& d = fighters_[static_cast<size_t>(defender)];
    std::array<int, TypeCount> shown = amounts;
    std::array<int, TypeCount> immune{};
    for (size_t t = 0; t < TypeCount; ++t) {
        if (amounts[t] > 0 && d.immunity[t] > 0) {
            immune[t] = amounts[t] * d.immunity[t] / 100;
            shown[t] -= immune[t];
        }
    }
    int reduced = 0;
    if (d.reduction > 0 && d.immunity[Physical] == 0 && shown[Physical] > 0) {
        reduced = std::min(shown[Physical], d.reduction);
        shown[Physical] -= reduced;
    }
    int resisted = 0;
    for (size_t t = Acid; t < TypeCount && d.resistance > 0; ++t) {
        if (t != Divine && t != Pure && d.immunity[t] == 0 && shown[t] > 0) {
            resisted = std::min(shown[t], d.resistance);
            shown[t] -= resisted;
            break;
        }
    }
    int total = 0;
    std::string parts;
    for (size_t t = 0; t < TypeCount; ++t) {
        if (amounts[t] <= 0)
            continue;
        total += shown[t];
        parts += (parts.empty() ? "" : " ") + std::to_string(shown[t]) + " " + TypeNames[t];
    }
    Line(NameOf(attacker) + " damages " + d.name + ": " + std::to_string(total) + " (" + parts +
         ")");
    for (size_t t = 0; t < TypeCount; ++t) {
        if (immune[t] > 0)
            Line(d.name + " : Damage Immunity absorbs " + std::to_string(immune[t]) +
                 " point(s) of " + TypeNames[t]);
    }
    if (reduced > 0)
        Line(d.name + " : Damage Reduction absorbs " + std::to_string(reduced) + " damage");
    if (resisted > 0)
        Line(d.name + " : Damage Resistance absorbs " + std::to_string(resisted) + " damage");
    d.hp -= total;
    if (d.hp <= 0 && d.alive)
        Kill(attacker, defender);
}

void Demo::Kill(int attacker, int defender)
{
    Fighter& d = fighters_[static_cast<size_t>(defender)];
    d.alive = false;
    Line(NameOf(attacker) + " killed " + d.name);
    if (!IsHero(defender) && d.experience > 0) {
        const int gained = d.experience + Below(d.experience / 5 + 1);
        experience_ += gained;
        Line("Experience Points Gained:  " + std::to_string(gained));
    }
    if (IsHero(defender) && defender != 0 && Chance(70)) {
        pending_.push_back({fightSecond_ + 1 + Below(3), [this, defender] {
                                Line(NameOf(defender) + ": [Party] " +
                                     (Chance(50) ? "dead, sorry" : "ugh. down"));
                            }});
    }
}

void Demo::Attack(int attacker, int defender, const std::string& prefix)
{
    Fighter& a = fighters_[static_cast<size_t>(attacker)];
    Fighter& d = fighters_[static_cast<size_t>(defender)];
    const int roll = 1 + Below(20);
    const int total = roll + a.ab;
    std::string line = prefix + a.name + " attacks " + d.name + " : ";
    const std::string rollText =
        "(" + std::to_string(roll) + " + " + std::to_string(a.ab) + " = " + std::to_string(total);
    if (d.concealment > 0 && Chance(d.concealment)) {
        Line(line + "*target concealed: " + std::to_string(d.concealment) + "%* : " + rollText +
             ")");
        return;
    }
    const bool hit = roll == 20 || (roll != 1 && total >= d.ac);
    if (!hit) {
        // A few of the misses are parried by the rogue.
        const bool parried = defender == 3 && Chance(10);
        Line(line + (parried ? "*parried* : " : "*miss* : ") + rollText + ")");
        return;
    }
    bool critical = false;
    std::string threat;
    if (roll >= a.threat) {
        const int second = 1 + Below(20);
        critical = second == 20 || (second != 1 && second + a.ab >= d.ac);
        threat = " : Threat Roll: " + std::to_string(second) + " + " + std::to_string(a.ab) +
                 " = " + std::to_string(second + a.ab);
    }
    Line(line + (critical ? "*critical hit* : " : "*hit* : ") + rollText + threat + ")");
    std::array<int, TypeCount> amounts{};
    amounts[Physical] = (Roll(a.dice, a.sides) + a.bonus) * (critical ? a.critMultiplier : 1);
    if (prefix.find("Sneak Attack") != std::string::npos)
        amounts[Physical] += Roll(8, 6);
    if (a.extraType >= 0)
        amounts[static_cast<size_t>(a.extraType)] += Roll(1, a.extraSides);
    if (critical && a.role == Role::Fighter)
        Line("Devastating Critical Hit!");
    Damage(attacker, defender, amounts);
}

void Demo::Act(int index)
{
    Fighter& self = fighters_[static_cast<size_t>(index)];
    const bool roundStart = self.round % self.attacks == 0;
    const int roundNumber = self.round / self.attacks;
    ++self.round;
    const int target = ChooseTarget(index);
    if (target < 0)
        return;

    if (roundStart && self.role == Role::Cleric) {
        // The cleric heals whoever needs it most, before anything else.
        int patient = -1;
        for (int i = 0; i < partySize_; ++i) {
            const Fighter& h = Hero(i);
            if (h.alive && h.hp * 100 < h.maxHp * 55 &&
                (patient < 0 || h.hp * Hero(patient).maxHp < Hero(patient).hp * h.maxHp))
                patient = i;
        }
        if (patient >= 0) {
            const bool heal = Hero(patient).hp * 100 < Hero(patient).maxHp * 25;
            Heal(index, patient, heal ? "Heal" : "Cure Critical Wounds",
                 heal ? 150 : Roll(4, 8) + 30);
            self.round += self.attacks - 1;
            return;
        }
    }
    if (roundStart && self.role == Role::Wizard && roundNumber % 2 == 0) {
        const SpellPlan* rotation[] = {&Fireball, &MissileStorm, &WizardConeOfCold};
        Cast(index, *rotation[roundNumber / 2 % 3]);
        self.round += self.attacks - 1;
        return;
    }
    // Monsters open with steel and cast every few rounds after.
    if (roundStart && self.spell && self.spellEvery > 0 && roundNumber > 0 &&
        roundNumber % self.spellEvery == 0) {
        Cast(index, *self.spell);
        self.round += self.attacks - 1;
        return;
    }
    std::string prefix;
    if (self.role == Role::Rogue) {
        if (self.round % self.attacks == 0)
            prefix += "Off Hand : ";
        // Flanking with the fighter gives sneak attacks.
        if (Hero(0).alive && Hero(0).target == target && Chance(60))
            prefix += "Sneak Attack : ";
    }
    if (self.role == Role::Fighter && Chance(4)) {
        const int roll = 1 + Below(20);
        Line(self.name + " attempts Knockdown on " + NameOf(target) + " : *" +
             (Chance(50) ? "resisted" : "failed") + "* : (" + std::to_string(roll) + " + " +
             std::to_string(self.ab) + " = " + std::to_string(roll + self.ab) + ")");
        return;
    }
    Attack(index, target, prefix);
}

void Demo::Battle(std::vector<Fighter> monsters)
{
    fighters_.resize(static_cast<size_t>(partySize_));
    for (Fighter& m : monsters) {
        m.hp = m.maxHp;
        fighters_.push_back(std::move(m));
    }
    for (size_t i = 0; i < fighters_.size(); ++i) {
        Fighter& f = fighters_[i];
        f.target = -1;
        f.grudge = f.opensOn;
        f.round = 0;
        // Initiative: who acts when in the first round.
        f.nextAction = Below(60) / 10.0;
    }
    // Only the log's owner sees their own initiative.
    const int initiative = 1 + Below(20);
    Line("Aldric Voss : Initiative Roll : " + std::to_string(initiative + 4) + " : (" +
         std::to_string(initiative) + " + 4 = " + std::to_string(initiative + 4) + ")");
    pending_.clear();
    for (fightSecond_ = 0; fightSecond_ < 400; ++fightSecond_) {
        for (size_t p = 0; p < pending_.size();) {
            if (pending_[p].at <= fightSecond_) {
                auto action = std::move(pending_[p].action);
                pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(p));
                action();
            } else {
                ++p;
            }
        }
        for (size_t i = 0; i < fighters_.size(); ++i) {
            while (fighters_[i].alive &&
                   fighters_[i].nextAction <= static_cast<double>(fightSecond_)) {
                Fighter& f = fighters_[i];
                f.nextAction += 6.0 / f.attacks;
                if (SideAlive(true) && SideAlive(false))
                    Act(static_cast<int>(i));
            }
        }
        if (!SideAlive(true) || !SideAlive(false))
            break;
        Wait(1);
    }
    Wait(2);
    // What was still under way (a last word in the party channel) ends now.
    for (int i = 0; i < 4 && !pending_.empty(); ++i) {
        std::vector<Pending> last = std::exchange(pending_, {});
        for (const Pending& p : last)
            p.action();
    }
    pending_.clear();
    fighters_.resize(static_cast<size_t>(partySize_));
}

std::vector<Fighter> Demo::Encounter(const std::string& kind)
{
    std::vector<Fighter> group;
    auto add = [&](int count, Fighter m) {
        // The party deals epic damage: fights of half a minute to two.
        m.maxHp = m.boss ? m.maxHp * 3 / 2 : m.maxHp * 3;
        for (int i = 0; i < count; ++i)
            group.push_back(m);
    };
    if (kind == "goblins") {
        add(6, Monster("Goblin Skirmisher", 70, 20, 12, 1, 1, 8, 3, {6, 8, 3}, 40));
        Fighter shaman = Monster("Goblin Shaman", 110, 18, 9, 1, 1, 6, 1, {5, 6, 10}, 60);
        shaman.spell = &MagicMissile;
        shaman.spellEvery = 2;
        add(2, shaman);
    } else if (kind == "wolves") {
        add(4, Monster("Dire Wolf", 190, 24, 18, 1, 2, 6, 8, {12, 12, 6}, 80));
    } else if (kind == "bears") {
        add(2, Monster("Legendary Bear", 420, 27, 24, 3, 2, 6, 10, {18, 12, 8}, 220));
    } else if (kind == "duergar") {
        Fighter veteran = Monster("Duergar Veteran", 230, 29, 21, 2, 2, 6, 9, {14, 8, 9}, 110);
        veteran.resistance = 5;
        add(4, veteran);
        Fighter mage = Monster("Duergar Mage", 170, 22, 12, 1, 1, 6, 2, {8, 9, 15}, 140);
        mage.spell = &LightningBolt;
        mage.spellEvery = 2;
        mage.resistance = 5;
        add(2, mage);
    } else if (kind == "ogres") {
        Fighter chief = Monster("Ogre Chieftain", 900, 31, 27, 3, 2, 8, 18, {21, 9, 10}, 600);
        chief.boss = true;
        chief.threat = 19;
        chief.critMultiplier = 3;
        chief.holdsGrudge = true;
        chief.reduction = 5;
        add(1, chief);
        add(1, Monster("Ogre Brute", 320, 25, 21, 2, 2, 8, 10, {16, 6, 6}, 150));
        Fighter mage = Monster("Ogre Mage", 260, 23, 16, 1, 1, 8, 4, {12, 9, 14}, 200);
        mage.spell = &ConeOfCold;
        mage.spellEvery = 3;
        mage.immunity[Cold] = 50;
        add(1, mage);
    } else if (kind == "spiders") {
        Fighter spider = Monster("Cave Spider", 150, 23, 17, 1, 1, 8, 6, {10, 10, 4}, 70);
        spider.extraType = Acid;
        spider.extraSides = 6;
        add(6, spider);
    } else if (kind == "guardians") {
        Fighter golem = Monster("Electrical Golem", 600, 30, 22, 2, 2, 10, 10, {14, 5, 5}, 300);
        golem.immunity[Electrical] = 100;
        golem.immunity[Fire] = 25;
        golem.reduction = 10;
        golem.boss = true;
        golem.extraType = Electrical;
        golem.extraSides = 8;
        add(1, golem);
        Fighter elemental = Monster("Fire Elemental", 260, 26, 19, 2, 2, 8, 6, {15, 17, 8}, 160);
        elemental.immunity[Fire] = 100;
        elemental.extraType = Fire;
        elemental.extraSides = 6;
        add(2, elemental);
    } else if (kind == "undead") {
        Fighter mummy = Monster("Epic Mummy Warrior", 330, 28, 22, 2, 2, 6, 10, {12, 8, 14}, 180);
        mummy.immunity[Cold] = 100;
        mummy.immunity[Negative] = 100;
        mummy.reduction = 5;
        mummy.extraType = Negative;
        mummy.extraSides = 6;
        add(2, mummy);
        add(4, Monster("Cursed Corpse Eater", 170, 24, 18, 1, 2, 6, 6, {10, 7, 8}, 90));
    } else if (kind == "coven") {
        Fighter witch = Monster("Kil'iak Witch", 650, 27, 18, 1, 1, 6, 4, {13, 12, 22}, 500);
        witch.boss = true;
        witch.spell = &PhantasmalKiller;
        witch.spellEvery = 1;
        witch.concealment = 20;
        witch.immunity[Sonic] = 50;
        add(1, witch);
        add(3, Monster("Kil'iak Warrior", 260, 27, 21, 2, 1, 12, 9, {14, 9, 9}, 140));
    } else if (kind == "drow") {
        add(4, Monster("Di'Rancor Guard", 240, 30, 23, 2, 1, 8, 8, {12, 15, 12}, 150));
        Fighter priestess =
            Monster("Fei-ungan Priestess", 300, 26, 18, 1, 1, 6, 4, {14, 11, 19}, 260);
        priestess.spell = &LightningBolt;
        priestess.spellEvery = 2;
        priestess.immunity[Electrical] = 50;
        add(1, priestess);
    } else if (kind == "draconic") {
        Fighter warlord = Monster("Draconic Warlord", 1500, 34, 29, 3, 2, 6, 12, {20, 16, 16}, 900);
        warlord.boss = true;
        warlord.extraType = Acid;
        warlord.extraSides = 10;
        warlord.immunity[Acid] = 100;
        warlord.immunity[Fire] = 25;
        warlord.reduction = 10;
        warlord.holdsGrudge = true;
        add(1, warlord);
        Fighter warrior = Monster("Draconic Warrior", 280, 29, 24, 2, 2, 6, 10, {15, 12, 10}, 200);
        warrior.immunity[Acid] = 50;
        add(2, warrior);
    } else if (kind == "fiend") {
        Fighter fiend =
            Monster("Hellspawn Pit Fiend", 900, 37, 33, 3, 2, 8, 14, {24, 20, 22}, 1200);
        fiend.boss = true;
        fiend.threat = 19;
        fiend.extraType = Fire;
        fiend.extraSides = 12;
        fiend.immunity[Fire] = 100;
        fiend.immunity[Cold] = 50;
        fiend.reduction = 10;
        fiend.spell = &HellFireball;
        fiend.spellEvery = 3;
        fiend.opensOn = 0;
        add(1, fiend);
        Fighter hellspawn = Monster("Hellspawn", 200, 26, 20, 2, 1, 10, 8, {13, 12, 11}, 150);
        hellspawn.immunity[Fire] = 50;
        add(1, hellspawn);
    }
    return group;
}

void Demo::Evening(const std::vector<std::string>& encounters)
{
    for (size_t i = 0; i < encounters.size(); ++i) {
        Travel(3 + Below(4));
        if (Chance(70))
            Buffs();
        Battle(Encounter(encounters[i]));
        Loot();
        RaiseTheDead();
        if (i % 2 == 1)
            Rest();
    }
}

std::vector<DemoLog> Demo::Write()
{
    std::vector<DemoLog> logs;
    MakeParty();

    // 1: Saturday evening in the hills, written by the classic client.
    StartLog(true, 2026, 10, 3, 19 * 3600 + 34 * 60 + 12);
    Line("[Server] Welcome to the Vale of Tarn. Server time is 19:34.");
    Wait(6);
    JoinParty();
    Chat({"Aldric Voss: [Party] evening all. goblin camp first, then the ogre caves?",
          "Brenna Tal: [Party] sounds good",
          "Mirek the Grey: [Party] I have fireballs memorised, keep out of the middle",
          "Sefa Dunmoor: [Party] I\x92ll scout ahead"});
    Evening({"goblins", "wolves", "duergar", "spiders", "drow"});
    Chat({"Sefa Dunmoor: [Party] big one inside. Chieftain and his guard",
          "Aldric Voss: [Party] Mirek, careful with the fireballs. he hates casters",
          "Mirek the Grey: [Party] I\x92ll be fine"});
    Buffs();
    Battle(Encounter("ogres"));
    Loot();
    Chat({"Aldric Voss: [Party] chieftain down!", "Brenna Tal: [Party] Mirek, told you"});
    RaiseTheDead();
    LevelUp();
    Rest();
    Evening({"bears", "goblins", "wolves"});
    Chat({"Mirek the Grey: [Party] I\x92m out of spells. same time next week?",
          "Aldric Voss: [Party] yes. good run all", "Brenna Tal has left the party.",
          "Mirek the Grey has left the party.", "Sefa Dunmoor has left the party."});
    logs.push_back(EndLog("nwclientLog1.txt"));

    // 2 and 3: a month later, with the Enhanced Edition. Its engine
    // lines and session headers are left out: they carry no timestamp, and
    // the analysis lists such lines as unusable, which a demo should not show.
    StartLog(false, 2026, 11, 1, 19 * 3600 + 58 * 60 + 40);
    Line("[Server] Welcome back to the Vale of Tarn.");
    Wait(30);
    JoinParty();
    Chat({"Aldric Voss: [Party] the Sunken Halls tonight. golems and worse",
          "Sefa Dunmoor: [Party] bring fire and cold, not lightning",
          "Mirek the Grey: [Party] the golems take nothing from electricity"});
    Evening({"guardians", "undead", "bears", "spiders", "duergar", "coven"});
    Chat({"Brenna Tal: [Party] the witch is gone. calling it a night",
          "Aldric Voss: [Party] same time next week, the pit"});
    logs.push_back(EndLog("nwclientLog2.txt"));

    StartLog(false, 2026, 11, 7, 20 * 3600 + 2 * 60 + 5);
    Line("[Server] Welcome back to the Vale of Tarn.");
    Wait(25);
    JoinParty();
    Evening({"drow", "wolves", "duergar", "draconic", "undead"});
    Chat({"Sefa Dunmoor: [Party] it\x92s down there. a pit fiend, I\x92m sure of it",
          "Aldric Voss: [Party] I\x92ll hold it. Bren, keep me up",
          "Brenna Tal: [Party] I\x92ll try"});
    Buffs();
    Battle(Encounter("fiend"));
    Loot();
    RaiseTheDead();
    Chat({"Aldric Voss: [Party] that was close. well played", "Mirek the Grey: [Party] gg",
          "Sefa Dunmoor: [Party] gg all, loot split tomorrow"});
    logs.push_back(EndLog("nwclientLog3.txt"));
    return logs;
}

} // namespace

std::vector<DemoLog> WriteDemoSession(uint64_t seed)
{
    return Demo(seed).Write();
}

} // namespace tarvik
