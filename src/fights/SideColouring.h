#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvik {

// Who fought whom: the weight of an edge counts the attacks, damage and kills
// between two characters, either way.
struct BlowEdge {
    int32_t a = 0;
    int32_t b = 0;
    int64_t weight = 0;
};

// Your side, the enemy, or neither (no combat that reaches your side).
enum class Colour : int8_t { Enemy = -1, None = 0, Yours = 1 };

// Splits the characters 0..nodeCount-1 into your side and the enemy. Seeds
// are your side and stay so. Every other character gets the colour opposite
// to the weighted majority of those it fought: one that fought your side more
// than it fought enemies is an enemy, one that fought enemies more is on your
// side. The characters with the clearest majority are decided first, then
// every decision is checked again against all its neighbours until none
// changes (a few rounds at most), so that a few blows across the line (an
// area spell, a charmed character) never outweigh many.
std::vector<Colour> ColourSides(size_t nodeCount, const std::vector<BlowEdge>& edges,
                                const std::vector<bool>& seeds);

} // namespace tarvik
