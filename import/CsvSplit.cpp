#include "import/CsvSplit.h"

#include <cstddef>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tabulon {

namespace {

constexpr std::string_view kNull = "(null)";

// The rule is defined on the line with one comma appended. Rather than copying the line, the
// appended comma is a virtual byte at index n: R is line[pos, n] and is empty once pos > n.
// Every search is bounded by n, since the virtual comma is neither a quote nor found by FindByte.
// The index of the first c in data[pos, n), or n. Cells are short, so the search is inline: a
// library call per cell costs more than the search itself.
inline size_t FindByte(const char* data, size_t pos, size_t n, char c) {
#ifdef __SSE2__
  const __m128i needle = _mm_set1_epi8(c);
  for (; pos + 16 <= n; pos += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, needle)));
    if (mask != 0) return pos + static_cast<size_t>(__builtin_ctz(mask));
  }
#endif
  for (; pos < n; ++pos)
    if (data[pos] == c) return pos;
  return n;
}

// Appends the field data[begin, end) trimmed of bytes up to 0x20; "(null)" when nothing is left
// and kBlankIsNull.
template <bool kBlankIsNull>
[[gnu::always_inline]] inline void AppendTrimmed(const char* data, size_t begin, size_t end,
                                                 std::vector<std::string_view>* fields) {
  while (begin < end && static_cast<unsigned char>(data[begin]) <= 0x20) ++begin;
  while (end > begin && static_cast<unsigned char>(data[end - 1]) <= 0x20) --end;
  if (kBlankIsNull && begin == end)
    fields->push_back(kNull);
  else
    fields->emplace_back(data + begin, end - begin);
}

// Appends the unquoted field data[begin, end): "(null)" in both variants when it is empty.
template <bool kBlankIsNull>
[[gnu::always_inline]] inline void AppendUnquoted(const char* data, size_t begin, size_t end,
                                                  std::vector<std::string_view>* fields) {
  if (begin == end)
    fields->push_back(kNull);
  else
    AppendTrimmed<kBlankIsNull>(data, begin, end, fields);
}

// The split of a line without a quote, where every comma ends a field: the commas of 16 bytes
// are found at once and taken from a bit mask. False, with fields in any state, at the first
// quote; the general rule then splits the line.
template <bool kBlankIsNull>
bool SplitWithoutQuotes(const char* data, size_t n, std::vector<std::string_view>* fields) {
  size_t begin = 0;  // of the current field
  size_t pos = 0;
#ifdef __SSE2__
  const __m128i comma = _mm_set1_epi8(',');
  const __m128i quote = _mm_set1_epi8('"');
  for (; pos + 16 <= n; pos += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(block, quote)) != 0) return false;
    for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, comma)));
         mask != 0; mask &= mask - 1) {
      const size_t at = pos + static_cast<size_t>(__builtin_ctz(mask));
      AppendUnquoted<kBlankIsNull>(data, begin, at, fields);
      begin = at + 1;
    }
  }
  if (pos < n) {
    // The bytes left, fewer than 16, as one more block rather than one at a time: the 16 bytes
    // that end the line with those before pos masked off, or a short line copied into a zeroed
    // block (a zero byte is neither a comma nor a quote).
    alignas(16) char copy[16] = {};
    const char* block = data + n - 16;
    size_t base = n - 16;  // the line index of the block's first byte
    unsigned keep = ~0u << (pos - base);
    if (n < 16) {
      std::memcpy(copy, data, n);
      block = copy;
      base = 0;
      keep = ~0u;
    }
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
    if ((static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, quote))) & keep) != 0)
      return false;
    for (unsigned mask =
             static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, comma))) & keep;
         mask != 0; mask &= mask - 1) {
      const size_t at = base + static_cast<size_t>(__builtin_ctz(mask));
      AppendUnquoted<kBlankIsNull>(data, begin, at, fields);
      begin = at + 1;
    }
    pos = n;
  }
#endif
  for (; pos < n; ++pos) {
    if (data[pos] == '"') return false;
    if (data[pos] == ',') {
      AppendUnquoted<kBlankIsNull>(data, begin, pos, fields);
      begin = pos + 1;
    }
  }
  AppendUnquoted<kBlankIsNull>(data, begin, n, fields);  // before the appended comma
  return true;
}

template <bool kBlankIsNull>
void Split(std::string_view line, std::vector<std::string_view>* fields) {
  fields->clear();
  const char* const data = line.data();
  const size_t n = line.size();
  if (SplitWithoutQuotes<kBlankIsNull>(data, n, fields)) return;
  fields->clear();
  size_t pos = 0;
  while (pos <= n) {
    if (pos < n && data[pos] == '"') {
      // 1) Quoted: up to the next quote; that quote and the byte after it are skipped. Without a
      //    closing quote the field is empty and the byte after the opening quote is dropped.
      const size_t open = pos + 1;
      const size_t close = open < n ? FindByte(data, open, n, '"') : n;
      if (close < n) {
        AppendTrimmed<kBlankIsNull>(data, open, close, fields);
        pos = close + 2;
      } else {
        AppendTrimmed<kBlankIsNull>(data, open, open, fields);
        pos = open + 1;
      }
    } else {
      // 2) Unquoted: up to the next comma, real or appended, which is consumed.
      const size_t at = FindByte(data, pos, n, ',');
      AppendUnquoted<kBlankIsNull>(data, pos, at, fields);
      pos = at + 1;
    }
  }
}

}  // namespace

void SplitCsvRecord(std::string_view line, std::vector<std::string_view>* fields) {
  Split<true>(line, fields);
}

void SplitCsvDisplayRecord(std::string_view line, std::vector<std::string_view>* fields) {
  Split<false>(line, fields);
}

}  // namespace tabulon
