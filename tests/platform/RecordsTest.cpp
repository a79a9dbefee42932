#include <gtest/gtest.h>

#include <cstdint>

#include "platform/Records.h"

namespace tabulon {
namespace {

// Records that grow by push_back far beyond their first allocation, and shrink again, keep every
// value each move of their memory carried.
TEST(Records, KeepTheirValuesWhileTheirMemoryGrowsAndShrinks) {
  Records<uint16_t> records;
  for (uint32_t i = 0; i < (3u << 20) / 2; ++i) records.push_back(static_cast<uint16_t>(i * 7));
  for (uint32_t i = 0; i < records.size(); ++i)
    ASSERT_EQ(records[i], static_cast<uint16_t>(i * 7)) << i;
  records.resize(1000);
  records.shrink_to_fit();
  EXPECT_EQ(records.capacity(), 1000u);
  EXPECT_EQ(records.back(), static_cast<uint16_t>(999 * 7));
  records.clear();
  records.shrink_to_fit();
  EXPECT_EQ(records.capacity(), 0u);
  EXPECT_EQ(records.data(), nullptr);
}

// resize clears the records it adds, as std::vector does; ResizeUninitialized keeps the ones
// held and adds room for the caller to fill.
TEST(Records, ResizeClearsNewRecordsAndResizeUninitializedKeepsOldOnes) {
  Records<int64_t> records{5, 6};
  records.ResizeUninitialized(1);
  records.resize(3);  // the second record's old memory is cleared again
  EXPECT_EQ(records, (Records<int64_t>{5, 0, 0}));
  records.ResizeUninitialized(1000);
  EXPECT_EQ(records.size(), 1000u);
  EXPECT_EQ(records[0], 5);
  records[999] = 9;
  EXPECT_EQ(records.back(), 9);
}

// Copies are independent, a move leaves the source empty, and equality compares the values.
TEST(Records, CopiesAreIndependentAndMovesEmptyTheSource) {
  Records<double> a{1.5, 2.5};
  Records<double> b = a;
  b[0] = 7;
  EXPECT_EQ(a, (Records<double>{1.5, 2.5}));
  EXPECT_FALSE(a == b);
  Records<double> c = std::move(b);
  EXPECT_TRUE(b.empty());
  EXPECT_EQ(c, (Records<double>{7, 2.5}));
  a = c;
  Records<double>& same = a;
  a = same;  // assigning itself keeps the values
  EXPECT_EQ(a, c);
  c.assign(a.begin(), a.begin() + 1);
  EXPECT_EQ(c, (Records<double>{7}));
}

}  // namespace
}  // namespace tabulon
