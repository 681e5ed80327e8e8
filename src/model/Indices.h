#pragma once

#include "util/StrongIndex.h"

#include <cstdint>
#include <type_traits>

namespace tarvik {

class Character;
class Spell;

// An item's ID in a KeyedList: its place in the list, from 1.
template <class Item>
using ListId = StrongIndex<Item, 1>;
using CharacterId = ListId<Character>;
using SpellId = ListId<Spell>;

// A configured damage type, from 0; none for resistance and reduction,
// which name no type.
using DamageTypeIndex = StrongIndex<struct DamageTypeTag, 0>;
// A configured save type, from 1; none when no type matched ("Other").
using SaveTypeIndex = StrongIndex<struct SaveTypeTag, 1>;
// A fight, from 0, in the order fights began.
using FightIndex = StrongIndex<struct FightTag, 0>;

// Held by the million in fights and records: no bigger and no slower to copy
// than the number.
static_assert(sizeof(CharacterId) == sizeof(int32_t) && std::is_trivially_copyable_v<CharacterId>);

} // namespace tarvik
