#include "TripleByteFilter.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TARVIK_TRIPLE_FILTER_VECTOR 1
#endif

namespace tarvik {

namespace {

using Tables = TripleByteFilter::NibbleTables;
constexpr size_t ChunkSize = 64;

uint64_t PortablePlaces(const Tables& tables, const unsigned char* bytes, size_t size, size_t chunk)
{
    uint64_t found = 0;
    const size_t end = std::min(size, chunk + ChunkSize + 2);
    for (size_t i = chunk; i + 3 <= end; ++i) {
        unsigned accepted = 0xFF;
        for (int k = 0; k < 3; ++k) {
            const unsigned char b = bytes[i + k];
            accepted &= tables.low[k][b & 0x0F] & tables.high[k][b >> 4];
        }
        if (accepted != 0)
            found |= uint64_t{1} << (i - chunk);
    }
    return found;
}

#ifdef TARVIK_TRIPLE_FILTER_VECTOR

// A block reads two bytes past its own end. The last places of a text are
// read by a block that ends where the text ends, overlapping the one before,
// or, in a text shorter than a block, from a copy padded with zeros: no read
// past the text, and no place that runs past it.
template <size_t Reads>
struct PaddedTail {
    PaddedTail(const unsigned char* bytes, size_t size, size_t block)
        : inside(block + 3 <= size ? (uint64_t{1} << (size - block - 2)) - 1 : 0)
    {
        if (inside != 0)
            std::memcpy(bytes_, bytes + block, size - block);
    }
    const unsigned char* Bytes() const { return bytes_; }

    uint64_t inside; // the places of the block that lie within the text
private:
    unsigned char bytes_[Reads] = {};
};

struct SixteenTables {
    __m128i low[3];
    __m128i high[3];
};

__attribute__((target("ssse3"), always_inline)) inline uint64_t
SixteenBlock(const unsigned char* p, const SixteenTables& tables)
{
    const __m128i nibble = _mm_set1_epi8(0x0F);
    __m128i accepted = _mm_set1_epi8(-1);
    for (int k = 0; k < 3; ++k) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
        const __m128i byLow = _mm_shuffle_epi8(tables.low[k], _mm_and_si128(bytes, nibble));
        const __m128i byHigh =
            _mm_shuffle_epi8(tables.high[k], _mm_and_si128(_mm_srli_epi16(bytes, 4), nibble));
        accepted = _mm_and_si128(accepted, _mm_and_si128(byLow, byHigh));
    }
    const int none = _mm_movemask_epi8(_mm_cmpeq_epi8(accepted, _mm_setzero_si128()));
    return ~static_cast<unsigned>(none) & 0xFFFFu;
}

__attribute__((target("ssse3"))) uint64_t
SixteenPlaces(const Tables& from, const unsigned char* bytes, size_t size, size_t chunk)
{
    SixteenTables tables;
    for (int k = 0; k < 3; ++k) {
        tables.low[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(from.low[k]));
        tables.high[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(from.high[k]));
    }
    constexpr size_t Block = 16;
    uint64_t found = 0;
    size_t block = chunk;
    for (; block < chunk + ChunkSize && block + Block + 2 <= size; block += Block)
        found |= SixteenBlock(bytes + block, tables) << (block - chunk);
    if (block < chunk + ChunkSize && size >= Block + 2) {
        const size_t last = size - (Block + 2);
        found |= SixteenBlock(bytes + last, tables) >> (block - last) << (block - chunk);
    } else if (block < chunk + ChunkSize) {
        const PaddedTail<Block + 2> tail(bytes, size, block);
        found |= (SixteenBlock(tail.Bytes(), tables) & tail.inside) << (block - chunk);
    }
    return found;
}

// The same with both 128-bit lanes of AVX2 registers: the shuffles stay
// within a lane, so each lane holds the whole tables.
struct ThirtyTwoTables {
    __m256i low[3];
    __m256i high[3];
};

__attribute__((target("avx2"), always_inline)) inline uint64_t
ThirtyTwoBlock(const unsigned char* p, const ThirtyTwoTables& tables)
{
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    __m256i accepted = _mm256_set1_epi8(-1);
    for (int k = 0; k < 3; ++k) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + k));
        const __m256i byLow = _mm256_shuffle_epi8(tables.low[k], _mm256_and_si256(bytes, nibble));
        const __m256i byHigh = _mm256_shuffle_epi8(
            tables.high[k], _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble));
        accepted = _mm256_and_si256(accepted, _mm256_and_si256(byLow, byHigh));
    }
    const int none = _mm256_movemask_epi8(_mm256_cmpeq_epi8(accepted, _mm256_setzero_si256()));
    return ~static_cast<uint32_t>(none);
}

__attribute__((target("avx2"))) uint64_t
ThirtyTwoPlaces(const Tables& from, const unsigned char* bytes, size_t size, size_t chunk)
{
    ThirtyTwoTables tables;
    for (int k = 0; k < 3; ++k) {
        tables.low[k] = _mm256_broadcastsi128_si256(
            _mm_load_si128(reinterpret_cast<const __m128i*>(from.low[k])));
        tables.high[k] = _mm256_broadcastsi128_si256(
            _mm_load_si128(reinterpret_cast<const __m128i*>(from.high[k])));
    }
    constexpr size_t Block = 32;
    uint64_t found = 0;
    size_t block = chunk;
    for (; block < chunk + ChunkSize && block + Block + 2 <= size; block += Block)
        found |= ThirtyTwoBlock(bytes + block, tables) << (block - chunk);
    if (block < chunk + ChunkSize && size >= Block + 2) {
        const size_t last = size - (Block + 2);
        found |= ThirtyTwoBlock(bytes + last, tables) >> (block - last) << (block - chunk);
    } else if (block < chunk + ChunkSize) {
        const PaddedTail<Block + 2> tail(bytes, size, block);
        found |= (ThirtyTwoBlock(tail.Bytes(), tables) & tail.inside) << (block - chunk);
    }
    return found;
}

#endif

} // namespace

TripleByteFilter::Width TripleByteFilter::Widest()
{
#ifdef TARVIK_TRIPLE_FILTER_VECTOR
    if (__builtin_cpu_supports("avx2"))
        return Width::ThirtyTwo;
    if (__builtin_cpu_supports("ssse3"))
        return Width::Sixteen;
#endif
    return Width::Portable;
}

TripleByteFilter::TripleByteFilter(Width width)
    : width_(std::min(width, Widest()))
{
}

void TripleByteFilter::Clear()
{
    tables_ = NibbleTables{};
}

void TripleByteFilter::Add(const std::vector<unsigned char> (&offsetBytes)[3], int bucket)
{
    const auto bit = static_cast<uint8_t>(1u << bucket);
    for (int k = 0; k < 3; ++k) {
        for (const unsigned char b : offsetBytes[k]) {
            tables_.low[k][b & 0x0F] |= bit;
            tables_.high[k][b >> 4] |= bit;
        }
    }
}

uint64_t TripleByteFilter::ChunkPlaces(const unsigned char* bytes, size_t size, size_t chunk) const
{
#ifdef TARVIK_TRIPLE_FILTER_VECTOR
    if (width_ == Width::ThirtyTwo)
        return ThirtyTwoPlaces(tables_, bytes, size, chunk);
    if (width_ == Width::Sixteen)
        return SixteenPlaces(tables_, bytes, size, chunk);
#endif
    return PortablePlaces(tables_, bytes, size, chunk);
}

} // namespace tarvik
