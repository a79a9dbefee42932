// Shift-JIS (code page 932) text: conversion to and from Unicode, case-insensitive equality,
// hashing and ordering. All core texts are Shift-JIS byte strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/Bytes.h"

namespace tabulon {

// True for a byte that starts a two-byte character (0x81-0x9F, 0xE0-0xFC).
inline bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// True when every byte is below 0x80.
bool IsAscii(std::string_view text);

// Shift-JIS to UTF-8. Bytes that do not form a character become U+FFFD.
std::string SjisToUtf8(std::string_view sjis);

// UTF-8 to Shift-JIS. Characters without a Shift-JIS form become "?".
std::string Utf8ToSjis(std::string_view utf8);

// Appends the Shift-JIS form of UTF-8 text to *out, for the text of a user's file: a character
// without a Shift-JIS form, and each ill-formed byte sequence, becomes "〓". Characters that
// other tables give another code point take the code page's form of it (U+301C WAVE DASH as
// "～", U+00A5 YEN SIGN as 0x5C, U+2212 MINUS SIGN as "－"); invisible format characters
// without a form (U+00AD SOFT HYPHEN, U+200B ZERO WIDTH SPACE) are dropped, as ICU's converter
// drops them. Returns how many "〓" stand for characters and sequences (a "〓" of the text
// itself is not counted).
size_t AppendUtf8AsSjis(std::string_view utf8, std::string* out);

// Appends the Shift-JIS form of UTF-16 text (code units of two bytes, little- or big-endian) to
// *out as AppendUtf8AsSjis does; an unpaired surrogate and a character beyond the BMP become "〓".
// A unit or surrogate pair cut by the end of bytes is left unconverted unless final (then "〓"):
// *used receives the bytes converted. Returns how many "〓" stand for characters.
size_t AppendUtf16AsSjis(std::string_view bytes, bool bigEndian, bool final, std::string* out,
                         size_t* used);

// Shift-JIS text compiled into the program from a UTF-8 literal: Sjis("合計").
// Converts once per distinct literal address; cheap to call repeatedly.
const std::string& Sjis(const char* utf8Literal);

// The case-folded key of a text: two texts are equal without regard to letter case exactly when
// their keys are equal. Every character is replaced by the Shift-JIS form of its Unicode simple
// case folding (ASCII A-Z become a-z, full-width Ａ becomes ａ, Greek, Cyrillic and Roman numerals
// fold likewise); characters with several codes take one canonical code. Bytes that do not form a
// character are kept as they are, and the second byte of a double-byte character is never folded
// on its own.
std::string FoldKey(std::string_view text);

// Appends FoldKey(text) to *out (no allocation when *out has room).
void AppendFoldKey(std::string_view text, std::string* out);

// FoldKey of a text of ASCII bytes alone, which is the text with A-Z as a-z, written to out (room
// for text.size() bytes); returns false, out then undefined, when a byte is not ASCII. Inline, for
// the per-row selection test of short codes: eight bytes at a time, without the tables.
inline bool FoldAsciiInto(std::string_view text, char* out) {
  constexpr uint64_t high = 0x8080808080808080ull;
  const auto fold = [](uint64_t w) {
    const uint64_t atLeastA = w + 0x3F3F3F3F3F3F3F3Full;  // high bit set when >= 'A'
    const uint64_t aboveZ = w + 0x2525252525252525ull;    // high bit set when > 'Z'
    return w | (((atLeastA & ~aboveZ) & high) >> 2);
  };
  const char* const p = text.data();
  const size_t n = text.size();
  if (n < 8) {
    for (size_t i = 0; i < n; ++i) {
      const unsigned char c = static_cast<unsigned char>(p[i]);
      if (c >= 0x80) return false;
      out[i] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    return true;
  }
  uint64_t w;
  for (size_t i = 0; i + 8 <= n; i += 8) {
    std::memcpy(&w, p + i, 8);
    if ((w & high) != 0) return false;
    w = fold(w);
    std::memcpy(out + i, &w, 8);
  }
  // The last eight bytes again, overlapping, when n is no multiple of eight.
  std::memcpy(&w, p + n - 8, 8);
  if ((w & high) != 0) return false;
  w = fold(w);
  std::memcpy(out + n - 8, &w, 8);
  return true;
}

// Equality without regard to letter case: FoldKey(a) == FoldKey(b).
bool SameText(std::string_view a, std::string_view b);

namespace hash_detail {

inline uint64_t Mix(uint64_t a, uint64_t b) {
  return MultiplyFold(a, b);
}
inline uint64_t Load64(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return w;
}
inline uint64_t Load32(const char* p) {
  uint32_t w;
  std::memcpy(&w, p, 4);
  return w;
}

}  // namespace hash_detail

// A 64-bit hash of the bytes of a text (use on FoldKey for case-insensitive hashing). Inline, as
// the import hashes every short cell: up to 16 bytes it reads the text in at most four loads that
// may overlap and mixes twice; not stored anywhere, so it may change between versions.
inline uint64_t HashBytes(std::string_view bytes) {
  using hash_detail::Load32;
  using hash_detail::Load64;
  using hash_detail::Mix;
  constexpr uint64_t k0 = 0xa0761d6478bd642full;
  constexpr uint64_t k1 = 0xe7037ed1a0b428dbull;
  constexpr uint64_t k2 = 0x8ebc6af09c88c6e3ull;
  const char* p = bytes.data();
  const size_t n = bytes.size();
  uint64_t a = 0, b = 0;
  uint64_t h = k0 ^ (static_cast<uint64_t>(n) * k2);
  if (n <= 16) {
    if (n >= 4) {
      // The first and last four bytes, and four more at each end from eight bytes on.
      const size_t step = (n >> 3) << 2;
      a = (Load32(p) << 32) | Load32(p + step);
      b = (Load32(p + n - 4) << 32) | Load32(p + n - 4 - step);
    } else if (n > 0) {
      a = (static_cast<uint64_t>(static_cast<unsigned char>(p[0])) << 16) |
          (static_cast<uint64_t>(static_cast<unsigned char>(p[n >> 1])) << 8) |
          static_cast<unsigned char>(p[n - 1]);
    }
  } else {
    size_t left = n;
    for (; left > 16; p += 16, left -= 16) h = Mix(Load64(p) ^ k1, Load64(p + 8) ^ h);
    a = Load64(p + left - 16);
    b = Load64(p + left - 8);
  }
  return Mix(k1 ^ n, Mix(a ^ k1, b ^ h));
}

// Locale-aware ordering without regard to letter case (the Japanese collation of the case-folded
// texts; texts that collate equal are ordered by their folded bytes). Returns <0, 0 or >0; 0 only
// when SameText(a, b).
int CompareText(std::string_view a, std::string_view b);

// A key for ordering texts as CompareText does: the comparison of two keys' bytes (as std::string
// compares) has the sign of CompareText of their texts. A sort of many texts thus converts and
// folds each text once, not at every comparison.
std::string CompareKey(std::string_view text);

}  // namespace tabulon
