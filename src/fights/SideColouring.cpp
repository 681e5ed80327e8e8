#include "SideColouring.h"

#include <utility>

#include <queue>

namespace tarvik {

namespace {

constexpr int MaxRefinementRounds = 8;

// Neighbours of every node, both ways, in one array.
struct Adjacency {
    std::vector<size_t> start; // node n's neighbours: [start[n], start[n + 1])
    std::vector<std::pair<size_t, int64_t>> neighbours;

    Adjacency(size_t nodeCount, const std::vector<BlowEdge>& edges)
        : start(nodeCount + 1, 0)
    {
        auto valid = [&](const BlowEdge& e) {
            return e.a >= 0 && e.b >= 0 && e.a != e.b && static_cast<size_t>(e.a) < nodeCount &&
                   static_cast<size_t>(e.b) < nodeCount && e.weight > 0;
        };
        for (const BlowEdge& e : edges) {
            if (!valid(e))
                continue;
            ++start[static_cast<size_t>(e.a) + 1];
            ++start[static_cast<size_t>(e.b) + 1];
        }
        for (size_t n = 0; n < nodeCount; ++n)
            start[n + 1] += start[n];
        neighbours.resize(start[nodeCount]);
        std::vector<size_t> next(start.begin(), start.end() - 1);
        for (const BlowEdge& e : edges) {
            if (!valid(e))
                continue;
            const auto a = static_cast<size_t>(e.a);
            const auto b = static_cast<size_t>(e.b);
            neighbours[next[a]++] = {b, e.weight};
            neighbours[next[b]++] = {a, e.weight};
        }
    }
};

// Positive: fought your side more than the enemy.
int64_t Score(const Adjacency& graph, const std::vector<Colour>& colours, size_t node)
{
    int64_t score = 0;
    for (size_t i = graph.start[node]; i < graph.start[node + 1]; ++i) {
        const auto& [other, weight] = graph.neighbours[i];
        score += weight * static_cast<int64_t>(colours[other]);
    }
    return score;
}

Colour Opposite(int64_t score)
{
    return score > 0 ? Colour::Enemy : score < 0 ? Colour::Yours : Colour::None;
}

} // namespace

std::vector<Colour> ColourSides(size_t nodeCount, const std::vector<BlowEdge>& edges,
                                const std::vector<bool>& seeds)
{
    std::vector<Colour> colours(nodeCount, Colour::None);
    std::vector<bool> fixed(nodeCount, false);
    for (size_t n = 0; n < nodeCount && n < seeds.size(); ++n) {
        if (seeds[n]) {
            colours[n] = Colour::Yours;
            fixed[n] = true;
        }
    }
    const Adjacency graph(nodeCount, edges);
    std::vector<int64_t> score(nodeCount, 0);

    // Largest majority first; among equals the lower ID, so that the result
    // does not depend on the order of the edges.
    using Entry = std::pair<int64_t, int64_t>; // |score|, -node
    std::priority_queue<Entry> queue;
    auto touch = [&](size_t node, int64_t delta) {
        score[node] += delta;
        if (!fixed[node] && colours[node] == Colour::None && score[node] != 0)
            queue.emplace(score[node] < 0 ? -score[node] : score[node],
                          -static_cast<int64_t>(node));
    };
    auto decide = [&](size_t node, Colour colour) {
        colours[node] = colour;
        for (size_t i = graph.start[node]; i < graph.start[node + 1]; ++i) {
            const auto& [other, weight] = graph.neighbours[i];
            touch(other, weight * static_cast<int64_t>(colour));
        }
    };
    for (size_t n = 0; n < nodeCount; ++n) {
        if (fixed[n])
            decide(n, Colour::Yours);
    }
    while (!queue.empty()) {
        const auto [magnitude, negNode] = queue.top();
        queue.pop();
        const auto node = static_cast<size_t>(-negNode);
        const int64_t current = score[node] < 0 ? -score[node] : score[node];
        if (colours[node] != Colour::None || current != magnitude || current == 0)
            continue; // decided already, or an outdated entry
        decide(node, Opposite(score[node]));
    }

    for (int round = 0; round < MaxRefinementRounds; ++round) {
        bool changed = false;
        for (size_t n = 0; n < nodeCount; ++n) {
            if (fixed[n] || colours[n] == Colour::None)
                continue;
            const Colour wanted = Opposite(Score(graph, colours, n));
            if (wanted != Colour::None && wanted != colours[n]) {
                colours[n] = wanted;
                changed = true;
            }
        }
        if (!changed)
            break;
    }
    return colours;
}

} // namespace tarvik
