#include "RecordTypes.h"

#include <algorithm>
#include <queue>

#include "util/Text.h"

namespace tarvik {

bool RecordTypes::Add(RecordType type)
{
    if (Find(type.Name()))
        return false;
    kinds_.push_back(RecordKindFromName(type.Name()));
    types_.push_back(std::move(type));
    Build();
    return true;
}

const RecordType* RecordTypes::Find(std::string_view name) const
{
    for (const auto& type : types_) {
        if (EqualsNoCase(type.Name(), name))
            return &type;
    }
    return nullptr;
}

void RecordTypes::Build()
{
    patterns_.clear();
    emptyPattern_ = -1;
    for (size_t t = 0; t < types_.size(); ++t) {
        const auto& identifiers = types_[t].Identifiers();
        for (size_t i = 0; i < identifiers.size(); ++i) {
            if (identifiers[i].empty() && emptyPattern_ < 0)
                emptyPattern_ = static_cast<int32_t>(patterns_.size());
            patterns_.push_back({static_cast<uint16_t>(t), static_cast<uint16_t>(i)});
        }
    }

    // Byte classes: one per distinct folded byte used by an identifier.
    std::fill(std::begin(classOf_), std::end(classOf_), 0);
    classCount_ = 1;
    uint8_t classOfFolded[256] = {};
    for (const auto& pattern : patterns_) {
        for (char c : types_[pattern.type].Identifiers()[pattern.identifier]) {
            auto& cls = classOfFolded[static_cast<unsigned char>(c)];
            if (cls == 0)
                cls = static_cast<uint8_t>(classCount_++);
        }
    }
    for (int b = 0; b < 256; ++b)
        classOf_[b] = classOfFolded[static_cast<unsigned char>(ToLowerChar(static_cast<char>(b)))];

    // Trie.
    std::vector<std::vector<int32_t>> go(1, std::vector<int32_t>(classCount_, -1));
    output_.assign(1, -1);
    for (size_t p = 0; p < patterns_.size(); ++p) {
        const std::string& text = types_[patterns_[p].type].Identifiers()[patterns_[p].identifier];
        if (text.empty())
            continue;
        int32_t state = 0;
        for (char c : text) {
            const int cls = classOfFolded[static_cast<unsigned char>(c)];
            if (go[state][cls] < 0) {
                go[state][cls] = static_cast<int32_t>(go.size());
                go.emplace_back(classCount_, -1);
                output_.push_back(-1);
            }
            state = go[state][cls];
        }
        if (output_[state] < 0)
            output_[state] = static_cast<int32_t>(p);
    }

    // Failure links, breadth first, folded into a complete transition table.
    std::vector<int32_t> fail(go.size(), 0);
    std::queue<int32_t> queue;
    for (int c = 0; c < classCount_; ++c) {
        if (go[0][c] < 0) {
            go[0][c] = 0;
        } else {
            fail[go[0][c]] = 0;
            queue.push(go[0][c]);
        }
    }
    while (!queue.empty()) {
        const int32_t state = queue.front();
        queue.pop();
        const int32_t inherited = output_[fail[state]];
        if (inherited >= 0 && (output_[state] < 0 || inherited < output_[state]))
            output_[state] = inherited;
        for (int c = 0; c < classCount_; ++c) {
            const int32_t target = go[state][c];
            if (target < 0) {
                go[state][c] = go[fail[state]][c];
            } else {
                fail[target] = go[fail[state]][c];
                queue.push(target);
            }
        }
    }

    next_.assign(go.size() * static_cast<size_t>(classCount_), 0);
    for (size_t s = 0; s < go.size(); ++s)
        std::copy(go[s].begin(), go[s].end(), next_.begin() + static_cast<ptrdiff_t>(s * classCount_));
}

RecordTypes::Match RecordTypes::Classify(std::string_view body) const
{
    if (patterns_.empty() || body.empty())
        return {};
    int32_t best = emptyPattern_ >= 0 ? emptyPattern_ : INT32_MAX;
    int32_t state = 0;
    const int32_t* next = next_.data();
    const int32_t* output = output_.data();
    for (char c : body) {
        if (best == 0)
            break;
        state = next[state * classCount_ + classOf_[static_cast<unsigned char>(c)]];
        const int32_t found = output[state];
        if (found >= 0 && found < best)
            best = found;
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
