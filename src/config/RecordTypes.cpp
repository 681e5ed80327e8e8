#include "RecordTypes.h"

#include "util/Text.h"

#include <algorithm>

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

void RecordTypes::PrefixTable::Clear()
{
    table_.clear();
    mask_ = 0;
    patterns_.clear();
    building_.clear();
}

void RecordTypes::PrefixTable::Add(uint32_t key, int32_t pattern)
{
    const auto [found, added] = building_.try_emplace(key, static_cast<int32_t>(patterns_.size()));
    if (added)
        patterns_.emplace_back();
    patterns_[static_cast<size_t>(found->second)].push_back(pattern);
}

namespace {

uint32_t SlotHash(uint32_t key)
{
    return (key * 0x85EBCA6Bu) >> 7;
}

// Identifiers are stored folded: the key of their first width bytes.
uint32_t FoldedKey(const unsigned char* p, size_t width, const unsigned char* fold)
{
    uint32_t key = 0;
    for (size_t k = 0; k < width; ++k)
        key |= uint32_t{fold[p[k]]} << (8 * k);
    return key;
}

} // namespace

void RecordTypes::PrefixTable::Finish()
{
    size_t capacity = 16;
    while (capacity < building_.size() * 4)
        capacity *= 2;
    table_.assign(capacity, Entry{});
    mask_ = static_cast<unsigned>(capacity - 1);
    for (const auto& [key, slot] : building_) {
        uint32_t h = SlotHash(key);
        while (table_[h & mask_].slot >= 0)
            ++h;
        table_[h & mask_] = {key, slot};
    }
    building_.clear();
}

const std::vector<int32_t>* RecordTypes::PrefixTable::Find(uint32_t key) const
{
    if (table_.empty())
        return nullptr;
    for (uint32_t h = SlotHash(key);; ++h) {
        const Entry& entry = table_[h & mask_];
        if (entry.slot < 0)
            return nullptr; // a filter let a stranger through
        if (entry.key == key)
            return &patterns_[static_cast<size_t>(entry.slot)];
    }
}

void RecordTypes::Build(TripleByteFilter::Width widest)
{
    patterns_.clear();
    texts_.clear();
    emptyPattern_ = -1;
    pairFilter_.assign(65536 / 64, 0);
    pairs_.Clear();
    tripleFilter_ = TripleByteFilter(widest);
    triples_.Clear();
    std::fill(std::begin(singleByte_), std::end(singleByte_), 0);
    hasSingleByte_ = false;
    // The bytes that fold to each byte: the cases an identifier's bytes may
    // take in a body.
    std::vector<unsigned char> variants[256];
    for (unsigned b = 0; b < 256; ++b)
        variants[static_cast<unsigned char>(ToLowerChar(static_cast<char>(b)))].push_back(
            static_cast<unsigned char>(b));
    const auto* fold = reinterpret_cast<const unsigned char*>(LowerTable());
    std::unordered_map<uint32_t, int> bucketOfTriple;
    for (size_t t = 0; t < types_.size(); ++t) {
        const auto& identifiers = types_[t].Identifiers();
        for (size_t i = 0; i < identifiers.size(); ++i) {
            const auto p = static_cast<int32_t>(patterns_.size());
            const std::string& text = identifiers[i];
            patterns_.push_back({static_cast<uint32_t>(t), static_cast<uint32_t>(i),
                                 static_cast<uint32_t>(texts_.size()),
                                 static_cast<uint32_t>(text.size())});
            texts_ += text;
            const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
            if (text.empty()) {
                if (emptyPattern_ < 0)
                    emptyPattern_ = p;
            } else if (text.size() == 1) {
                for (const unsigned char b : variants[bytes[0]]) {
                    if (singleByte_[b] == 0)
                        singleByte_[b] = p + 1;
                }
                hasSingleByte_ = true;
            } else if (text.size() == 2) {
                for (const unsigned a : variants[bytes[0]]) {
                    for (const unsigned b : variants[bytes[1]]) {
                        const unsigned raw = a | (b << 8);
                        pairFilter_[raw >> 6] |= uint64_t{1} << (raw & 63);
                    }
                }
                pairs_.Add(FoldedKey(bytes, 2, fold), p);
            } else {
                const uint32_t key = FoldedKey(bytes, 3, fold);
                // Identifiers that begin alike share a bucket.
                const auto [found, added] = bucketOfTriple.try_emplace(
                    key, static_cast<int>(bucketOfTriple.size() % TripleByteFilter::Buckets));
                if (added)
                    tripleFilter_.Add({variants[bytes[0]], variants[bytes[1]], variants[bytes[2]]},
                                      found->second);
                triples_.Add(key, p);
            }
        }
    }
    pairs_.Finish();
    triples_.Finish();
    built_ = true;
}

RecordTypes::Match RecordTypes::AskEachType(std::string_view body) const
{
    const std::string lower = ToLower(body);
    for (size_t t = 0; t < types_.size(); ++t) {
        for (const std::string& identifier : types_[t].Identifiers()) {
            if (const size_t at = tarvik::Find(lower, identifier); at != std::string_view::npos)
                return {&types_[t], kinds_[t], identifier, at};
        }
    }
    return {};
}

void RecordTypes::Compare(const std::vector<int32_t>& candidates, std::string_view body,
                          size_t place, size_t known, int32_t& best, size_t& at) const
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(body.data()) + place;
    const size_t left = body.size() - place;
    const auto* fold = reinterpret_cast<const unsigned char*>(LowerTable());
    for (const int32_t p : candidates) {
        if (p >= best)
            return; // the rest of the list has lower priority
        const Pattern& pattern = patterns_[static_cast<size_t>(p)];
        if (pattern.size > left)
            continue;
        const char* text = texts_.data() + pattern.textAt;
        size_t k = known;
        while (k < pattern.size && static_cast<char>(fold[bytes[k]]) == text[k])
            ++k;
        if (k == pattern.size) {
            best = p;
            at = place;
            return;
        }
    }
}

void RecordTypes::ScanPairs(std::string_view body, int32_t& best, size_t& at) const
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(body.data());
    const auto* fold = reinterpret_cast<const unsigned char*>(LowerTable());
    const uint64_t* filter = pairFilter_.data();
    for (size_t i = 0; i + 2 <= body.size() && best > 0; ++i) {
        const unsigned raw = bytes[i] | (unsigned{bytes[i + 1]} << 8);
        if (((filter[raw >> 6] >> (raw & 63)) & 1) == 0)
            continue;
        if (const std::vector<int32_t>* candidates = pairs_.Find(FoldedKey(bytes + i, 2, fold)))
            Compare(*candidates, body, i, 2, best, at);
    }
}

void RecordTypes::ScanTriples(std::string_view body, int32_t& best, size_t& at) const
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(body.data());
    const auto* fold = reinterpret_cast<const unsigned char*>(LowerTable());
    tripleFilter_.Scan(body, [&](size_t place) {
        if (const std::vector<int32_t>* candidates =
                triples_.Find(FoldedKey(bytes + place, 3, fold)))
            Compare(*candidates, body, place, 3, best, at);
        return best > 0;
    });
}

RecordTypes::Match RecordTypes::Classify(std::string_view body) const
{
    if (!built_)
        return AskEachType(body);
    if (patterns_.empty() || body.empty())
        return {};
    int32_t best = emptyPattern_ >= 0 ? emptyPattern_ : INT32_MAX;
    size_t at = 0;
    if (hasSingleByte_) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(body.data());
        for (size_t i = 0; i < body.size(); ++i) {
            if (const int32_t single = singleByte_[bytes[i]]; single != 0 && single - 1 < best) {
                best = single - 1;
                at = i;
            }
        }
    }
    if (!pairs_.Empty())
        ScanPairs(body, best, at);
    if (!triples_.Empty())
        ScanTriples(body, best, at);
    if (best == INT32_MAX)
        return {};
    const Pattern& pattern = patterns_[static_cast<size_t>(best)];
    Match match;
    match.type = &types_[pattern.type];
    match.kind = kinds_[pattern.type];
    match.identifier = match.type->Identifiers()[pattern.identifier];
    match.position = at;
    return match;
}

} // namespace tarvik
