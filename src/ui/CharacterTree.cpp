#include "CharacterTree.h"

#include "analysis/AnalysisData.h"
#include "util/Text.h"

#include <charconv>

namespace tarvik {

namespace {

bool Qualifies(const Character& c, CharacterTree::Category category)
{
    switch (category) {
    case CharacterTree::Category::Kills:
        return c.Kills() > 0;
    case CharacterTree::Category::Deaths:
        return c.Deaths() > 0;
    case CharacterTree::Category::Attacks:
        return c.DamageDealt() > 0;
    case CharacterTree::Category::EnemyAttacks:
        return c.DamageReceived() > 0;
    case CharacterTree::Category::Spells:
        return c.Spells() > 0;
    }
    return false;
}

constexpr CharacterTree::Category AllCategories[] = {
    CharacterTree::Category::Kills, CharacterTree::Category::Deaths,
    CharacterTree::Category::Attacks, CharacterTree::Category::EnemyAttacks,
    CharacterTree::Category::Spells};

} // namespace

const char* CharacterTree::CategoryText(Category category)
{
    switch (category) {
    case Category::Kills:
        return "Kills";
    case Category::Deaths:
        return "Deaths";
    case Category::Attacks:
        return "Attacks";
    case Category::EnemyAttacks:
        return "Enemy Attacks";
    case Category::Spells:
        return "Spells";
    }
    return "";
}

std::string CharacterTree::CharacterKey(CharacterId id)
{
    return "c" + std::to_string(id.value());
}

std::string CharacterTree::CategoryKey(CharacterId id, Category category)
{
    return CharacterKey(id) + " " + CategoryText(category);
}

CharacterTree::KeyInfo CharacterTree::ParseKey(std::string_view key)
{
    KeyInfo info;
    if (key == RootKey) {
        info.level = 0;
        return info;
    }
    if (key.size() < 2 || (key[0] != 'c' && key[0] != 'C'))
        return info;
    const char* first = key.data() + 1;
    const char* last = key.data() + key.size();
    int32_t id = 0;
    auto [ptr, ec] = std::from_chars(first, last, id);
    if (ec != std::errc() || ptr == first)
        return info;
    info.id = CharacterId(id);
    if (ptr == last) {
        info.level = 1;
        return info;
    }
    if (*ptr != ' ')
        return info;
    info.level = 2;
    info.category = ToUpper(std::string_view(ptr + 1, static_cast<size_t>(last - ptr - 1)));
    return info;
}

const CharacterTree::CharacterNode* CharacterTree::Find(CharacterId id) const
{
    const auto at = static_cast<size_t>(id.value());
    if (id.IsNone() || at >= indexById_.size() || indexById_[at] == 0)
        return nullptr;
    return &nodes_[static_cast<size_t>(indexById_[at] - 1)];
}

std::vector<CharacterTree::Addition> CharacterTree::Update(const AnalysisData& data)
{
    std::vector<Addition> additions;
    if (nodes_.empty())
        indexById_.clear();
    for (const auto& character : data.characters) {
        const CharacterId id = character->ID();
        const auto at = static_cast<size_t>(id.value());
        if (at >= indexById_.size())
            indexById_.resize(at + 1, 0);
        Addition addition;
        addition.id = id;
        if (indexById_[at] == 0) {
            CharacterNode node;
            node.id = id;
            node.key = CharacterKey(id);
            node.text = character->Name();
            nodes_.push_back(std::move(node));
            indexById_[at] = static_cast<int32_t>(nodes_.size());
            addition.characterAdded = true;
        }
        CharacterNode& node = nodes_[static_cast<size_t>(indexById_[at] - 1)];
        for (Category category : AllCategories) {
            if (!Qualifies(*character, category))
                continue;
            bool present = false;
            for (Category existing : node.categories)
                present = present || existing == category;
            if (!present) {
                node.categories.push_back(category);
                addition.categoriesAdded.push_back(category);
            }
        }
        node.bold = character->IsPartyMember();
        node.blue = id == data.userCharacterId;
        if (addition.characterAdded || !addition.categoriesAdded.empty())
            additions.push_back(std::move(addition));
    }
    return additions;
}

void CharacterTree::RefreshMarks(const AnalysisData& data)
{
    for (auto& node : nodes_) {
        const Character* character = data.characters.At(node.id);
        node.bold = character && character->IsPartyMember();
        node.blue = node.id == data.userCharacterId;
    }
}

} // namespace tarvik
