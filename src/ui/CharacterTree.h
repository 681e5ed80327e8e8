#pragma once

#include "model/Indices.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

struct AnalysisData;

// The character tree as data: one node per character keyed "c" + ID, with
// category nodes in the order in which they first qualified. Nodes are only
// ever added; the window mirrors what Update reports.
class CharacterTree {
public:
    enum class Category { Kills, Deaths, Attacks, EnemyAttacks, Spells };
    static constexpr const char* RootKey = "Statistics";

    struct CharacterNode {
        CharacterId id;
        std::string key;  // "c17"
        std::string text; // the character's name
        std::vector<Category> categories;
        bool bold = false; // a party member
        bool blue = false; // the user's own character
    };

    struct Addition {
        CharacterId id;
        bool characterAdded = false;
        std::vector<Category> categoriesAdded;
    };

    // Brings the tree up to date with the characters; returns what was added.
    std::vector<Addition> Update(const AnalysisData& data);
    // Refreshes bold and blue from the characters without adding nodes.
    void RefreshMarks(const AnalysisData& data);
    void Clear()
    {
        nodes_.clear();
        indexById_.clear();
    }
    bool Empty() const { return nodes_.empty(); }

    const std::vector<CharacterNode>& Nodes() const { return nodes_; }
    const CharacterNode* Find(CharacterId id) const;

    static std::string CharacterKey(CharacterId id);
    static std::string CategoryKey(CharacterId id, Category category);
    static const char* CategoryText(Category category);

    // What a key names: its level (0 root, 1 character, 2 category), the
    // character's ID and the category text in upper case.
    struct KeyInfo {
        int level = -1;
        CharacterId id;
        std::string category;
    };
    static KeyInfo ParseKey(std::string_view key);

private:
    std::vector<CharacterNode> nodes_; // in character order
    std::vector<int32_t> indexById_;   // the ID's value -> position + 1
};

} // namespace tarvik
