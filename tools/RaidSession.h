#pragma once

#include "Battle.h"
#include "Creature.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// A raid as a current server writes it: a party of four with iterative
// attacks, haste and on-hit damage against one boss, fight after fight.
// What a reader should make of the boss follows from its parameters alone.
struct RaidPlan {
    Creature boss;
    std::vector<Creature> party; // the log's owner first: a fighter
    int fights = 3;
    uint64_t seed = 7;
};
// The boss: AC 58, attacks 69 / 69 / 64 / 59 / 54 (haste), 25% Physical,
// 100% Cold, 10% Fire and 50% Acid immunity, damage reduction 10, Fire
// resistance 5, Epic Dodge on one hit in ten, immune to critical hits and
// sneak attacks.
Creature RaidBoss();
// The owner is immune to the boss's "Hammer of the Gods".
std::vector<Creature> RaidParty();
RaidPlan DefaultRaid();

struct RaidLog {
    std::string name; // nwclientLog1.txt
    std::string contents;
    BattleTruth truth;
};
RaidLog WriteRaid(const RaidPlan& plan);

} // namespace tarvik
