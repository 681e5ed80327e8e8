#include "Sides.h"

#include "util/Text.h"

namespace tarvik {

bool HasPetPrefix(std::string_view name, const std::vector<std::string>& prefixes)
{
    name = Trim(name);
    for (const std::string& configured : prefixes) {
        const std::string_view prefix = Trim(configured);
        if (prefix.empty() || name.size() <= prefix.size() || name[prefix.size()] != ' ')
            continue;
        if (EqualsNoCase(name.substr(0, prefix.size()), prefix))
            return true;
    }
    return false;
}

SideTable DecideSides(const SideInputs& in)
{
    const int32_t count = in.characters.Count();
    const auto size = static_cast<size_t>(count) + 1;
    SideTable table;
    table.byId.assign(size, Side::Unknown);
    std::vector<bool> seeds(size, false);
    std::vector<bool> vetoed(size, false);
    std::vector<bool> pet(size, false); // dominated, or named like a pet
    for (const std::string& name : in.evidence.DominatedNames()) {
        if (const Character* c = in.characters.Find(name))
            pet[static_cast<size_t>(c->ID().value())] = true;
    }
    // The graph's nodes are the IDs' values; node 0 stands for nobody.
    auto seed = [&](CharacterId id, Side side) {
        const auto index = static_cast<size_t>(id.value());
        if (!id.Within(static_cast<size_t>(count)) || seeds[index] || vetoed[index])
            return;
        seeds[index] = true;
        table.byId[index] = side;
    };
    for (size_t slot = 0; slot < static_cast<size_t>(count); ++slot) {
        const CharacterId id = CharacterId::FromSlot(slot);
        const Character& c = *in.characters.At(id);
        const auto index = static_cast<size_t>(id.value());
        if (HasPetPrefix(c.Name(), in.petPrefixes))
            pet[index] = true;
        const bool inferred = in.evidence.InferredMember(id);
        if (id == in.userId)
            seed(id, Side::You);
        else if (c.IsPartyMember())
            seed(id, !inferred ? Side::Party : pet[index] ? Side::Pet : Side::Ally);
        else if (inferred)
            vetoed[index] = true;
    }
    for (const std::string& name : in.evidence.DominatedNames()) {
        if (const Character* c = in.characters.Find(name))
            seed(c->ID(), Side::Pet);
    }
    for (const std::string& name : in.evidence.PartySpeakers()) {
        if (const Character* c = in.characters.Find(name))
            seed(c->ID(), Side::Ally);
    }

    const std::vector<Colour> colours = ColourSides(size, in.evidence.Edges(), seeds);
    for (size_t id = 1; id < size; ++id) {
        if (seeds[id]) {
            table.anyOnYourSide = true;
            continue;
        }
        switch (colours[id]) {
        case Colour::Yours:
            if (!vetoed[id])
                table.byId[id] = pet[id] ? Side::Pet : Side::Ally;
            break;
        case Colour::Enemy:
            table.byId[id] = Side::Enemy;
            break;
        case Colour::None:
            break;
        }
    }
    return table;
}

const SideTable& Sides::Current(const SideInputs& inputs, uint64_t marksVersion)
{
    const Key key{inputs.characters.Generation(), inputs.characters.Count(), inputs.userId,
                  marksVersion, inputs.evidence.Version()};
    if (!valid_ || !(key == key_)) {
        table_ = DecideSides(inputs);
        key_ = key;
        valid_ = true;
    }
    return table_;
}

} // namespace tarvik
