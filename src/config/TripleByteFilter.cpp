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

// Gathers the places of a chunk block by block; places(p) gives those of the
// block at p as bits. Called from the functions below that are compiled for
// the block's instruction set and inline all of it.
template <size_t Block, class BlockPlaces>
uint64_t GatherChunk(const unsigned char* bytes, size_t size, size_t chunk,
                     const BlockPlaces& places)
{
    constexpr size_t Reads = Block + 2;
    uint64_t found = 0;
    size_t block = chunk;
    for (; block < chunk + ChunkSize && block + Reads <= size; block += Block)
        found |= places(bytes + block) << (block - chunk);
    if (block < chunk + ChunkSize && size >= Reads) {
        const size_t last = size - Reads;
        found |= places(bytes + last) >> (block - last) << (block - chunk);
    } else if (block < chunk + ChunkSize) {
        const PaddedTail<Reads> tail(bytes, size, block);
        found |= (places(tail.Bytes()) & tail.inside) << (block - chunk);
    }
    return found;
}

class SixteenBlock {
public:
    __attribute__((target("ssse3"))) explicit SixteenBlock(const Tables& tables)
    {
        for (int k = 0; k < 3; ++k) {
            low_[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(tables.low[k]));
            high_[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(tables.high[k]));
        }
    }
    __attribute__((target("ssse3"))) uint64_t operator()(const unsigned char* p) const
    {
        const __m128i nibble = _mm_set1_epi8(0x0F);
        __m128i accepted = _mm_set1_epi8(-1);
        for (int k = 0; k < 3; ++k) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
            const __m128i byLow = _mm_shuffle_epi8(low_[k], _mm_and_si128(bytes, nibble));
            const __m128i byHigh =
                _mm_shuffle_epi8(high_[k], _mm_and_si128(_mm_srli_epi16(bytes, 4), nibble));
            accepted = _mm_and_si128(accepted, _mm_and_si128(byLow, byHigh));
        }
        const int none = _mm_movemask_epi8(_mm_cmpeq_epi8(accepted, _mm_setzero_si128()));
        return ~static_cast<unsigned>(none) & 0xFFFFu;
    }

private:
    __m128i low_[3];
    __m128i high_[3];
};

// The same with both 128-bit lanes of AVX2 registers: the shuffles stay
// within a lane, so each lane holds the whole tables.
class ThirtyTwoBlock {
public:
    __attribute__((target("avx2"))) explicit ThirtyTwoBlock(const Tables& tables)
    {
        for (int k = 0; k < 3; ++k) {
            low_[k] = _mm256_broadcastsi128_si256(
                _mm_load_si128(reinterpret_cast<const __m128i*>(tables.low[k])));
            high_[k] = _mm256_broadcastsi128_si256(
                _mm_load_si128(reinterpret_cast<const __m128i*>(tables.high[k])));
        }
    }
    __attribute__((target("avx2"))) uint64_t operator()(const unsigned char* p) const
    {
        const __m256i nibble = _mm256_set1_epi8(0x0F);
        __m256i accepted = _mm256_set1_epi8(-1);
        for (int k = 0; k < 3; ++k) {
            const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + k));
            const __m256i byLow = _mm256_shuffle_epi8(low_[k], _mm256_and_si256(bytes, nibble));
            const __m256i byHigh = _mm256_shuffle_epi8(
                high_[k], _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble));
            accepted = _mm256_and_si256(accepted, _mm256_and_si256(byLow, byHigh));
        }
        const int none = _mm256_movemask_epi8(_mm256_cmpeq_epi8(accepted, _mm256_setzero_si256()));
        return ~static_cast<uint32_t>(none);
    }

private:
    __m256i low_[3];
    __m256i high_[3];
};

__attribute__((target("ssse3"), flatten)) uint64_t
SixteenPlaces(const Tables& tables, const unsigned char* bytes, size_t size, size_t chunk)
{
    return GatherChunk<16>(bytes, size, chunk, SixteenBlock(tables));
}

__attribute__((target("avx2"), flatten)) uint64_t
ThirtyTwoPlaces(const Tables& tables, const unsigned char* bytes, size_t size, size_t chunk)
{
    return GatherChunk<32>(bytes, size, chunk, ThirtyTwoBlock(tables));
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
