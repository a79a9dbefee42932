// Byte searching, sixteen-byte block tests and the wide multiply of the hashes: the few places
// where the core's speed rests on the processor's vector instructions or on the C library's
// extensions, each with a portable version of the same results.
//
// The unqualified functions take the fast version where the compiler offers it (SSE2 on x86-64,
// memrchr and memmem in the GNU C library). The versions themselves are callable as
// bytes_portable::... and, where compiled, bytes_sse2::..., so tests hold them equal.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#define TABULON_BYTES_SSE2 1
#endif

namespace tabulon {

// ---- Portable versions

namespace bytes_portable {

// Bit i set when p[i] == c, for i < 16. REQUIRES: 16 bytes readable at p.
inline uint32_t EqualMask16(const char* p, char c) {
  uint32_t mask = 0;
  for (int i = 0; i < 16; ++i) mask |= static_cast<uint32_t>(p[i] == c) << i;
  return mask;
}

// The largest of n keys (0 when n is 0).
inline uint8_t MaxKey(const uint8_t* keys, size_t n) {
  uint8_t top = 0;
  for (size_t i = 0; i < n; ++i) top = keys[i] > top ? keys[i] : top;
  return top;
}
inline uint16_t MaxKey(const uint16_t* keys, size_t n) {
  uint16_t top = 0;
  for (size_t i = 0; i < n; ++i) top = keys[i] > top ? keys[i] : top;
  return top;
}

inline const char* FindLastByte(const char* data, size_t size, char c) {
  for (size_t i = size; i > 0; --i)
    if (data[i - 1] == c) return data + i - 1;
  return nullptr;
}

inline const char* FindBytes(const char* data, size_t size, const char* needle, size_t n) {
  const size_t at = std::string_view(data, size).find(std::string_view(needle, n));
  return at == std::string_view::npos ? nullptr : data + at;
}

// The 128-bit product of a and b, its high half xor its low half.
inline uint64_t MultiplyFold(uint64_t a, uint64_t b) {
  const uint64_t aLow = a & 0xFFFFFFFF, aHigh = a >> 32;
  const uint64_t bLow = b & 0xFFFFFFFF, bHigh = b >> 32;
  const uint64_t lowLow = aLow * bLow, lowHigh = aLow * bHigh;
  const uint64_t highLow = aHigh * bLow, highHigh = aHigh * bHigh;
  const uint64_t middle = (lowLow >> 32) + (lowHigh & 0xFFFFFFFF) + (highLow & 0xFFFFFFFF);
  const uint64_t low = (middle << 32) | (lowLow & 0xFFFFFFFF);
  const uint64_t high = highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32);
  return high ^ low;
}

}  // namespace bytes_portable

// ---- SSE2 versions

#if defined(TABULON_BYTES_SSE2)
namespace bytes_sse2 {

inline uint32_t EqualMask16(const char* p, char c) {
  const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(c))));
}

// Sixteen keys at a time: a one-key loop was a third of the load of a million-row column.
inline uint8_t MaxKey(const uint8_t* keys, size_t n) {
  __m128i lanes = _mm_setzero_si128();
  size_t i = 0;
  for (; i + 16 <= n; i += 16)
    lanes = _mm_max_epu8(lanes, _mm_loadu_si128(reinterpret_cast<const __m128i*>(keys + i)));
  alignas(16) uint8_t lane[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(lane), lanes);
  const uint8_t top = bytes_portable::MaxKey(lane, 16);
  const uint8_t rest = bytes_portable::MaxKey(keys + i, n - i);
  return top > rest ? top : rest;
}
inline uint16_t MaxKey(const uint16_t* keys, size_t n) {
  __m128i lanes = _mm_setzero_si128();
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m128i k = _mm_loadu_si128(reinterpret_cast<const __m128i*>(keys + i));
    lanes = _mm_adds_epu16(_mm_subs_epu16(lanes, k), k);  // max(lanes, k), unsigned
  }
  alignas(16) uint16_t lane[8];
  _mm_store_si128(reinterpret_cast<__m128i*>(lane), lanes);
  const uint16_t top = bytes_portable::MaxKey(lane, 8);
  const uint16_t rest = bytes_portable::MaxKey(keys + i, n - i);
  return top > rest ? top : rest;
}

}  // namespace bytes_sse2
#endif

// ---- The versions the core uses

// Whether EqualMask16 is a few instructions (a portable loop of sixteen tests otherwise): code
// that tests sixteen bytes at a time only where that pays checks this.
#if defined(TABULON_BYTES_SSE2)
inline constexpr bool kFastMask16 = true;
#else
inline constexpr bool kFastMask16 = false;
#endif

// Bit i set when p[i] == c, for i < 16. REQUIRES: 16 bytes readable at p. The bits are walked
// with std::countr_zero and counted with std::popcount.
inline uint32_t EqualMask16(const char* p, char c) {
#if defined(TABULON_BYTES_SSE2)
  return bytes_sse2::EqualMask16(p, c);
#else
  return bytes_portable::EqualMask16(p, c);
#endif
}

// The largest of n keys (0 when n is 0).
template <typename K>
K MaxKey(const K* keys, size_t n) {
  static_assert(sizeof(K) <= 2 && K(-1) > K(0), "8- or 16-bit unsigned keys");
#if defined(TABULON_BYTES_SSE2)
  return bytes_sse2::MaxKey(keys, n);
#else
  return bytes_portable::MaxKey(keys, n);
#endif
}

// The first byte c in [data, data + size), or nullptr.
inline const char* FindByte(const char* data, size_t size, char c) {
  return static_cast<const char*>(std::memchr(data, c, size));
}

// Whether [data, data + size) holds the byte c, sixteen bytes at a time where that is fast: for a
// line of a record or two dozen fields, whose test runs once per line of an import, a call to
// memchr costs more than the search.
inline bool HasByte(const char* data, size_t size, char c) {
  if (!kFastMask16) return std::memchr(data, c, size) != nullptr;
  if (size < 16) {
    for (size_t i = 0; i < size; ++i)
      if (data[i] == c) return true;
    return false;
  }
  for (size_t pos = 0; pos + 16 < size; pos += 16)
    if (EqualMask16(data + pos, c) != 0) return true;
  return EqualMask16(data + size - 16, c) != 0;  // the last sixteen, overlapping the blocks before
}

// The last byte c in [data, data + size), or nullptr.
inline const char* FindLastByte(const char* data, size_t size, char c) {
#if defined(__GLIBC__)
  return static_cast<const char*>(::memrchr(data, c, size));
#else
  return bytes_portable::FindLastByte(data, size, c);
#endif
}

// The first occurrence of the n bytes at needle in [data, data + size), or nullptr; an empty
// needle is found at data.
inline const char* FindBytes(const char* data, size_t size, const char* needle, size_t n) {
#if defined(__GLIBC__)
  // memmem rather than find, which stops at every byte equal to the needle's first.
  return static_cast<const char*>(::memmem(data, size, needle, n));
#else
  return bytes_portable::FindBytes(data, size, needle, n);
#endif
}

// The 128-bit product of a and b, its high half xor its low half (a hash's mixing step).
inline uint64_t MultiplyFold(uint64_t a, uint64_t b) {
#if defined(__SIZEOF_INT128__)
  __extension__ using Wide = unsigned __int128;
  const Wide r = static_cast<Wide>(a) * b;
  return static_cast<uint64_t>(r) ^ static_cast<uint64_t>(r >> 64);
#else
  return bytes_portable::MultiplyFold(a, b);
#endif
}

}  // namespace tabulon
