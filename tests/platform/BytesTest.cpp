#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/Bytes.h"

namespace tabulon {
namespace {

// Text of line ends, digits and a few other bytes, so that every search hits often.
std::string MixedBytes(size_t n, uint32_t seed) {
  static const char kAlphabet[] = "\r\n\r\n0123ab\x81\x82";
  std::mt19937 random(seed);
  std::string text(n, ' ');
  for (char& c : text) c = kAlphabet[random() % (sizeof kAlphabet - 1)];
  return text;
}

// The block masks, the searches and the largest key give what a byte-by-byte look gives, in the
// version the core uses and in the portable one, at every offset of a text.
TEST(Bytes, EveryVersionFindsWhatAByteByByteLookFinds) {
  const std::string text = MixedBytes(600, 1);
  for (size_t at = 0; at + 16 <= text.size(); ++at) {
    for (const char c : {'\n', '\r', '0', '\x81', 'z'}) {
      uint32_t expected = 0;
      for (int i = 0; i < 16; ++i) expected |= static_cast<uint32_t>(text[at + i] == c) << i;
      ASSERT_EQ(EqualMask16(text.data() + at, c), expected) << at;
      ASSERT_EQ(bytes_portable::EqualMask16(text.data() + at, c), expected) << at;
    }
  }
  for (size_t size = 0; size <= 80; ++size) {
    const std::string_view part(text.data() + 7, size);
    const size_t last = part.rfind('\n');
    const char* expected = last == std::string_view::npos ? nullptr : part.data() + last;
    ASSERT_EQ(FindLastByte(part.data(), size, '\n'), expected) << size;
    ASSERT_EQ(bytes_portable::FindLastByte(part.data(), size, '\n'), expected) << size;
    ASSERT_EQ(FindByte(part.data(), size, '\n'),
              part.find('\n') == std::string_view::npos ? nullptr : part.data() + part.find('\n'));
    // A byte at every place of every length, the last sixteen of one block overlapping the
    // block before.
    std::string line(size, 'a');
    ASSERT_FALSE(HasByte(line.data(), size, '"')) << size;
    for (size_t i = 0; i < size; ++i) {
      line[i] = '"';
      ASSERT_TRUE(HasByte(line.data(), size, '"')) << size << " " << i;
      line[i] = 'a';
    }
  }
  const std::vector<std::string> needles = {"",           "0",  "\r\n0",         "123",
                                            "ab\x81\x82", "zz", text.substr(590)};
  for (const std::string& needle : needles) {
    const size_t at = std::string_view(text).find(needle);
    const char* expected = at == std::string_view::npos ? nullptr : text.data() + at;
    EXPECT_EQ(FindBytes(text.data(), text.size(), needle.data(), needle.size()), expected);
    EXPECT_EQ(bytes_portable::FindBytes(text.data(), text.size(), needle.data(), needle.size()),
              expected);
  }
}

TEST(Bytes, TheLargestKeyIsFoundAtAnyPlaceAndLength) {
  for (size_t n = 0; n <= 40; ++n) {
    for (size_t top = 0; top < n; ++top) {
      std::vector<uint8_t> bytes(n, 3);
      std::vector<uint16_t> words(n, 300);
      bytes[top] = 250;
      words[top] = 65000;
      ASSERT_EQ(MaxKey(bytes.data(), n), 250) << n << " " << top;
      ASSERT_EQ(MaxKey(words.data(), n), 65000) << n << " " << top;
      ASSERT_EQ(bytes_portable::MaxKey(words.data(), n), 65000) << n << " " << top;
    }
    const std::vector<uint16_t> zeros(n, 0);
    ASSERT_EQ(MaxKey(zeros.data(), n), 0);
  }
}

// The hash's wide multiply gives the same bits with and without a 128-bit integer type: stored
// hashes and the order of hashed tables rest on them.
TEST(Bytes, TheWideMultiplyAgreesWithItsPortableVersion) {
  std::mt19937_64 random(7);
  const uint64_t edges[] = {0, 1, 0xFFFFFFFF, 0x100000000, ~uint64_t{0}, 0x9E3779B97F4A7C15};
  for (const uint64_t a : edges)
    for (const uint64_t b : edges)
      ASSERT_EQ(MultiplyFold(a, b), bytes_portable::MultiplyFold(a, b)) << a << " " << b;
  for (int i = 0; i < 10000; ++i) {
    const uint64_t a = random(), b = random();
    ASSERT_EQ(MultiplyFold(a, b), bytes_portable::MultiplyFold(a, b)) << a << " " << b;
  }
  EXPECT_EQ(bytes_portable::MultiplyFold(~uint64_t{0}, ~uint64_t{0}), 0xFFFFFFFFFFFFFFFEull ^ 1);
}

}  // namespace
}  // namespace tabulon
