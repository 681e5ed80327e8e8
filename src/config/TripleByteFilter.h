#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tarvik {

// Finds where one of many identifiers may begin in a text by their first
// three bytes: each byte's two nibbles pick, through vector byte shuffles,
// the buckets of identifiers that may hold it at that offset, sixteen or
// thirty-two places at a time (the "Teddy" method of Hyperscan). Candidates
// still have to be compared.
class TripleByteFilter {
public:
    static constexpr int Buckets = 8;

    // How many places one step looks at: byte by byte, SSSE3 or AVX2. All
    // give the same places.
    enum class Width : uint8_t { Portable, Sixteen, ThirtyTwo };
    // The widest this processor runs.
    static Width Widest();
    explicit TripleByteFilter(Width width = Widest());

    Width UsedWidth() const { return width_; }
    void Clear();
    // Marks the bytes an identifier may have at offsets 0 to 2 (every case
    // of each) for bucket.
    void Add(const std::vector<unsigned char> (&offsetBytes)[3], int bucket);

    // Calls onPlace(place) for each place, in order, where some bucket
    // accepts the three bytes there, until it returns false.
    template <class OnPlace>
    void Scan(std::string_view text, OnPlace&& onPlace) const
    {
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        for (size_t chunk = 0; chunk + 3 <= text.size(); chunk += ChunkSize) {
            for (uint64_t found = ChunkPlaces(bytes, text.size(), chunk); found != 0;
                 found &= found - 1) {
                if (!onPlace(chunk + static_cast<size_t>(std::countr_zero(found))))
                    return;
            }
        }
    }

    // Tables of one offset: which buckets accept a byte by its low nibble,
    // and by its high one.
    struct NibbleTables {
        alignas(16) uint8_t low[3][16] = {};
        alignas(16) uint8_t high[3][16] = {};
    };

private:
    // Places are gathered a chunk at a time, so the tables stay in registers
    // through the vector work and one call serves a whole record body.
    static constexpr size_t ChunkSize = 64;

    // Bit n: the place chunk + n is accepted. Places whose three bytes run
    // past size are not.
    uint64_t ChunkPlaces(const unsigned char* bytes, size_t size, size_t chunk) const;

    Width width_;
    NibbleTables tables_;
};

} // namespace tarvik
