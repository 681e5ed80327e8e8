#include "RecordTypes.h"

#include "util/Text.h"

#include <algorithm>
#include <cstring>

namespace tarvik {

bool RecordTypes::Add(RecordType type)
{
    if (!byName_.try_emplace(ToLower(type.Name()), types_.size()).second)
        return false;
    kinds_.push_back(RecordKindFromName(type.Name()));
    types_.push_back(std::move(type));
    built_ = false;
    return true;
}

const RecordType* RecordTypes::Find(std::string_view name) const
{
    const auto found = byName_.find(ToLower(name));
    return found == byName_.end() ? nullptr : &types_[found->second];
}

void RecordTypes::Build()
{
    patterns_.clear();
    emptyPattern_ = -1;
    bigramFilter_.assign(65536 / 64, 0);
    bigramPatterns_.clear();
    std::fill(std::begin(singleByte_), std::end(singleByte_), 0);
    hasSingleByte_ = false;
    // The bytes that fold to each byte: the case variants an identifier's
    // first two bytes may take in a body.
    std::vector<unsigned char> variants[256];
    for (unsigned b = 0; b < 256; ++b)
        variants[static_cast<unsigned char>(ToLowerChar(static_cast<char>(b)))].push_back(
            static_cast<unsigned char>(b));
    std::vector<int32_t> slotOfKey(65536, -1);
    std::vector<unsigned> bigrams;
    for (size_t t = 0; t < types_.size(); ++t) {
        const auto& identifiers = types_[t].Identifiers();
        for (size_t i = 0; i < identifiers.size(); ++i) {
            const auto p = static_cast<int32_t>(patterns_.size());
            patterns_.push_back({static_cast<uint32_t>(t), static_cast<uint32_t>(i)});
            const std::string& text = identifiers[i];
            const auto first = static_cast<unsigned char>(text.empty() ? 0 : text[0]);
            if (text.empty()) {
                if (emptyPattern_ < 0)
                    emptyPattern_ = p;
            } else if (text.size() == 1) {
                // Identifiers are stored folded; any case of the byte matches.
                for (const unsigned char b : variants[first]) {
                    if (singleByte_[b] == 0)
                        singleByte_[b] = p + 1;
                }
                hasSingleByte_ = true;
            } else {
                const auto second = static_cast<unsigned char>(text[1]);
                for (const unsigned a : variants[first]) {
                    for (const unsigned b : variants[second]) {
                        // Keyed as a little-endian load of the two bytes reads them.
                        const unsigned raw = a | (b << 8);
                        bigramFilter_[raw >> 6] |= uint64_t{1} << (raw & 63);
                    }
                }
                const unsigned key = (unsigned{first} << 8) | second;
                if (slotOfKey[key] < 0) {
                    slotOfKey[key] = static_cast<int32_t>(bigrams.size());
                    bigrams.push_back(key);
                    bigramPatterns_.emplace_back();
                }
                bigramPatterns_[static_cast<size_t>(slotOfKey[key])].push_back(p);
            }
        }
    }
    size_t capacity = 16;
    while (capacity < bigrams.size() * 4)
        capacity *= 2;
    slotTable_.assign(capacity, SlotEntry{});
    slotMask_ = static_cast<unsigned>(capacity - 1);
    for (size_t slot = 0; slot < bigrams.size(); ++slot) {
        unsigned h = (bigrams[slot] * 40503u) >> 4;
        while (slotTable_[h & slotMask_].slot >= 0)
            ++h;
        slotTable_[h & slotMask_] = {static_cast<uint16_t>(bigrams[slot]),
                                     static_cast<int32_t>(slot)};
    }
    built_ = true;
}

int32_t RecordTypes::SlotOf(unsigned bigram) const
{
    // Only asked for bigrams the filter holds, so the probe always ends.
    unsigned h = (bigram * 40503u) >> 4;
    while (slotTable_[h & slotMask_].bigram != bigram || slotTable_[h & slotMask_].slot < 0)
        ++h;
    return slotTable_[h & slotMask_].slot;
}

RecordTypes::Match RecordTypes::AskEachType(std::string_view body) const
{
    const std::string lower = ToLower(body);
    for (size_t t = 0; t < types_.size(); ++t) {
        for (const std::string& identifier : types_[t].Identifiers()) {
            if (tarvik::Find(lower, identifier) != std::string_view::npos)
                return {&types_[t], kinds_[t], identifier};
        }
    }
    return {};
}

RecordTypes::Match RecordTypes::Classify(std::string_view body) const
{
    if (!built_)
        return AskEachType(body);
    if (patterns_.empty() || body.empty())
        return {};
    int32_t best = emptyPattern_ >= 0 ? emptyPattern_ : INT32_MAX;
    const size_t size = body.size();
    const auto* bytes = reinterpret_cast<const unsigned char*>(body.data());
    const uint64_t* filter = bigramFilter_.data();
    const auto* fold = reinterpret_cast<const unsigned char*>(LowerTable());
    if (hasSingleByte_) {
        for (size_t i = 0; i < size; ++i) {
            if (const int32_t single = singleByte_[bytes[i]]; single != 0 && single - 1 < best)
                best = single - 1;
        }
    }
    for (size_t i = 0; i + 1 < size && best > 0; ++i) {
        uint16_t raw;
        std::memcpy(&raw, bytes + i, sizeof raw);
        const unsigned pair = raw;
        const unsigned a = pair & 0xFF, b = pair >> 8;
        if ((filter[pair >> 6] & (uint64_t{1} << (pair & 63))) == 0)
            continue;
        const unsigned key = (static_cast<unsigned>(fold[a]) << 8) | fold[b];
        for (const int32_t p : bigramPatterns_[static_cast<size_t>(SlotOf(key))]) {
            if (p >= best)
                break; // the rest of this list has lower priority
            const Pattern& pattern = patterns_[static_cast<size_t>(p)];
            const std::string& text = types_[pattern.type].Identifiers()[pattern.identifier];
            if (text.size() > size - i)
                continue;
            size_t k = 2;
            while (k < text.size() && static_cast<char>(fold[bytes[i + k]]) == text[k])
                ++k;
            if (k == text.size()) {
                best = p;
                break;
            }
        }
    }
    if (best == INT32_MAX)
        return {};
    const Pattern& pattern = patterns_[static_cast<size_t>(best)];
    Match match;
    match.type = &types_[pattern.type];
    match.kind = kinds_[pattern.type];
    match.identifier = match.type->Identifiers()[pattern.identifier];
    return match;
}

} // namespace tarvik
