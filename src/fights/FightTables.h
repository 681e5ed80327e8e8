#pragma once

#include "FightTracker.h"
#include "FightViews.h"
#include "TargetViews.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

// The fights, per-character and target tables as rows of texts, each cell
// with the number it sorts by, so that every grid showing them sorts the
// same way and says the same.

struct TableColumn {
    std::string header;
    bool numeric = false; // right-aligned; a cell without a number is unknown
    std::string tip;
};

struct TableCell {
    std::string text;
    // What the cell sorts by; unset sorts by the text (or, in a numeric
    // column, as unknown, below the others).
    std::optional<double> number;

    friend bool operator==(const TableCell&, const TableCell&) = default;
};

struct TableRow {
    int64_t key = 0;         // the same row across updates: a fight index, a character ID
    bool emphasized = false; // the running fight
    std::vector<TableCell> cells;

    friend bool operator==(const TableRow&, const TableRow&) = default;
};

// Fights: #, start, duration, name, your DPS, party DPS, damage taken by your
// side, deaths on your side. Keyed by the fight's index.
enum FightColumn : int {
    FightNumberColumn,
    FightStartColumn,
    FightDurationColumn,
    FightNameColumn,
    FightYourDpsColumn,
    FightPartyDpsColumn,
    FightTakenColumn,
    FightDeathsColumn,
};
std::vector<TableColumn> FightColumns();
TableRow FightTableRow(const Fight& fight, const Roster& roster, bool running);

// One fight's characters: name, side, damage, DPS, active DPS, hit %, crits,
// damage taken, healing, kills, deaths. Keyed by character ID.
enum FightCharacterColumn : int {
    CharacterNameColumn,
    CharacterSideColumn,
    CharacterDamageColumn,
    CharacterDpsColumn,
    CharacterActiveDpsColumn,
    CharacterHitColumn,
    CharacterCritsColumn,
    CharacterTakenColumn,
    CharacterHealingColumn,
    CharacterKillsColumn,
    CharacterDeathsColumn,
};
std::vector<TableColumn> FightCharacterColumns();
TableRow FightCharacterTableRow(const FightCharacterRow& row);

// Targets: name, AC, AB, one column per configured save type and "Other",
// immunities, special immunities, reductions, damage taken. Keyed by
// character ID.
enum TargetColumn : int { TargetNameColumn, TargetAcColumn, TargetAbColumn, TargetFirstSaveColumn };
std::vector<TableColumn> TargetColumns(const Roster& roster);
TableRow TargetTableRow(const TargetRow& row, const Roster& roster);

// Damage a character took by attacker: name, side, damage, share, DPS.
// Keyed by the attacker's ID.
enum AttackerDamageColumn : int {
    AttackerNameColumn,
    AttackerSideColumn,
    AttackerDamageColumn,
    AttackerShareColumn,
    AttackerDpsColumn,
};
std::vector<TableColumn> AttackerDamageColumns();
TableRow AttackerDamageTableRow(const AttackerDamageRow& row);

} // namespace tarvik
