#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "column/TCol.h"
#include "column/TColWriter.h"
#include "column/Values.h"
#include "platform/FileIo.h"

namespace tabulon::writer_test {
namespace {

using State = TColWriter::State;
using test::ReadFile;
using test::ScratchDir;

// A column 0 in a scratch folder, in the state OpenForImport leaves it, and its writer.
class TColWriterTest : public testing::Test {
 protected:
  TColWriterTest() {
    col_.Open(dir_.Path(), "v", 0);
    writer_.Start();
  }
  void Add(const std::string& text) { writer_.Add(text); }
  std::string Dat() const { return ReadFile(col_.DatPath()); }
  template <typename T>
  std::vector<T> DatRecords() const {
    const std::string bytes = Dat();
    std::vector<T> records(bytes.size() / sizeof(T));
    std::memcpy(records.data(), bytes.data(), records.size() * sizeof(T));
    return records;
  }

  ScratchDir dir_;
  TCol col_;
  TColWriter writer_{col_, 1 << 12};
};

// The stamp of minute m after 2024/01/01 00:00 (m < 1440 * 28).
std::string Stamp(int m) {
  char text[32];
  std::snprintf(text, sizeof text, "2024/01/%02d %02d:%02d", 1 + m / 1440, m / 60 % 24, m % 60);
  return text;
}

// The lines of texts, each ending in CR LF.
std::string Lines(const std::vector<std::string>& texts) {
  std::string bytes;
  for (const std::string& t : texts) bytes += t + "\r\n";
  return bytes;
}

// The files are read after Finish only: the writer's buffers hold what it wrote last.

TEST_F(TColWriterTest, KeysWidenFrom8To16Bits) {
  for (int i = 0; i < 256; ++i) Add("k" + std::to_string(i));
  Add("K7");  // the same distinct text as k7, spelled otherwise
  EXPECT_EQ(writer_.state(), State::kByteKeys);
  EXPECT_EQ(col_.FCount, 256);
  Add("k256");
  EXPECT_EQ(writer_.state(), State::kWordKeys);
  EXPECT_EQ(col_.FStorage, csWor);
  Add("k3");
  writer_.Finish(col_.IndPath());
  const std::vector<uint16_t> keys = DatRecords<uint16_t>();
  ASSERT_EQ(keys.size(), 259u);
  EXPECT_EQ(keys[0], 0);
  EXPECT_EQ(keys[255], 255);
  EXPECT_EQ(keys[256], 7);
  EXPECT_EQ(keys[257], 256);
  EXPECT_EQ(keys[258], 3);
  const std::string ind = ReadFile(col_.IndPath());
  EXPECT_EQ(ind.substr(0, 12), "k0\r\nk1\r\nk2\r\n");
  EXPECT_EQ(ind.size(), Lines(col_.FValues).size());
}

TEST_F(TColWriterTest, The2001stDistinctTextMakesTheColumnPerRow) {
  std::vector<std::string> cells;
  for (int i = 0; i < 2000; ++i) cells.push_back("k" + std::to_string(i));
  cells.push_back("K7");
  for (const std::string& c : cells) Add(c);
  EXPECT_EQ(writer_.state(), State::kWordKeys);
  cells.push_back("k2000");
  Add(cells.back());
  EXPECT_EQ(writer_.state(), State::kRowTexts);
  EXPECT_EQ(col_.FStorage, csLon);
  EXPECT_EQ(col_.FValueType, vtStr);
  EXPECT_EQ(col_.FCount, 2001);
  EXPECT_TRUE(col_.FValues.empty());
  cells.push_back("K7");
  Add(cells.back());
  writer_.Finish(col_.IndPath());
  // Every row's text: while keyed, its distinct text as first spelled; since per-row, as met.
  cells[2000] = "k7";
  EXPECT_TRUE(Dat() == Lines(cells));
  EXPECT_FALSE(FileExists(col_.IndPath()));
}

TEST_F(TColWriterTest, PerRowNumbersKeepTheirValuesUnlessTheTypeWidens) {
  for (int i = 0; i < 2001; ++i) Add(std::to_string(i - 1000));
  EXPECT_EQ(writer_.state(), State::kRowPlain);
  EXPECT_EQ(col_.FValueType, vtInt);
  Add("");
  EXPECT_EQ(writer_.state(), State::kRowValues);
  writer_.Finish(col_.IndPath());
  const std::vector<int32_t> values = DatRecords<int32_t>();
  ASSERT_EQ(values.size(), 2002u);
  EXPECT_EQ(values[0], -1000);
  EXPECT_EQ(values[2000], 1000);
  EXPECT_EQ(values[2001], kIntNull);
  EXPECT_EQ(col_.FIntMin, -1000);
  EXPECT_EQ(col_.FIntMax, 1000);
  EXPECT_FALSE(FileExists(dir_.File("0.Val")));
}

TEST_F(TColWriterTest, PerRowNumbersThatWidenAreConvertedAgainAtTheEnd) {
  for (int i = 0; i < 2001; ++i) Add(std::to_string(i));
  Add("1.5");
  EXPECT_EQ(writer_.state(), State::kRowTexts);
  EXPECT_EQ(col_.FValueType, vtCur);
  writer_.Finish(col_.IndPath());
  const std::vector<int64_t> values = DatRecords<int64_t>();
  ASSERT_EQ(values.size(), 2002u);
  EXPECT_EQ(values[2000], 2000 * kCurScale);
  EXPECT_EQ(values[2001], 15000);
  EXPECT_EQ(col_.FMin, 0);
  EXPECT_EQ(col_.FMax, 2000);
}

// Plain numbers are written to i.Dat only when a cell spelled otherwise comes: their texts are
// spelled from their values then, and must be the very cells.
TEST_F(TColWriterTest, PlainIntegerTextsAreWrittenOutAsTheyWereWhenTheTypeWidens) {
  std::vector<std::string> cells;
  for (int i = 0; i < 2001; ++i) cells.push_back(std::to_string(i * 7 - 3000));
  cells.insert(cells.end(), {"0", "7.5", "x"});
  for (const std::string& c : cells) {
    Add(c);
    if (c == "0") {
      EXPECT_EQ(writer_.state(), State::kRowPlain);
    }
  }
  EXPECT_EQ(col_.FValueType, vtStr);
  writer_.Finish(col_.IndPath());
  EXPECT_EQ(Dat(), Lines(cells));
}

TEST_F(TColWriterTest, PlainCurrencyTextsAreWrittenOutAsTheyWereWhenTheTypeWidens) {
  std::vector<std::string> cells;
  for (int i = 0; i < 2001; ++i) cells.push_back(std::to_string(i) + ".25");
  cells.insert(cells.end(), {"3", "0.5", "3.10", "1,234.5"});
  for (const std::string& c : cells) {
    Add(c);
    if (c == "0.5") {
      EXPECT_EQ(writer_.state(), State::kRowPlain);
    }
  }
  EXPECT_EQ(writer_.state(), State::kRowValues);  // 3.10 is spelled otherwise than 3.1
  Add("x");
  cells.push_back("x");
  writer_.Finish(col_.IndPath());
  EXPECT_EQ(Dat(), Lines(cells));
}

TEST_F(TColWriterTest, StampsToTheEndBecomeTheValuesFile) {
  std::vector<double> expected;
  for (int m = 0; m < 2100; ++m) {
    Add(Stamp(m));
    double v = 0;
    ASSERT_TRUE(TryStrToDateTime(Stamp(m), &v));
    expected.push_back(v);
  }
  EXPECT_EQ(writer_.state(), State::kRowPlain);
  writer_.Finish(col_.IndPath());
  EXPECT_EQ(DatRecords<double>(), expected);
  EXPECT_EQ(col_.FDateMin, expected.front());
  EXPECT_EQ(col_.FDateMax, expected.back());
}

TEST_F(TColWriterTest, StampsKeepTheirValuesWhenAnotherDateCellComes) {
  for (int m = 0; m < 2100; ++m) Add(Stamp(m));
  // A blank cell converts (as the null marker) but is no stamp.
  Add("");
  EXPECT_EQ(writer_.state(), State::kRowValues);
  Add(Stamp(5000));
  writer_.Finish(col_.IndPath());
  const std::vector<double> values = DatRecords<double>();
  ASSERT_EQ(values.size(), 2102u);
  EXPECT_EQ(values[2100], DateNull());
  double last = 0;
  ASSERT_TRUE(TryStrToDateTime(Stamp(5000), &last));
  EXPECT_EQ(values[2101], last);
}

TEST_F(TColWriterTest, StampTextsAreWrittenOutInRowOrderWhenTheTypeWidens) {
  std::vector<std::string> cells;
  for (int m = 0; m < 2100; ++m) cells.push_back(Stamp(m));
  cells.insert(cells.end(), {"", Stamp(5000), "x", Stamp(5001)});
  for (const std::string& c : cells) {
    Add(c);
    if (c.empty()) {
      EXPECT_EQ(writer_.state(), State::kRowValues);
    }
  }
  EXPECT_EQ(writer_.state(), State::kRowTexts);
  EXPECT_EQ(col_.FValueType, vtStr);
  writer_.Finish(col_.IndPath());
  EXPECT_EQ(Dat(), Lines(cells));
  EXPECT_FALSE(FileExists(dir_.File("0.Val")));
}

TEST_F(TColWriterTest, StampsThatWidenToTextAreWrittenOutFirst) {
  std::vector<std::string> cells;
  for (int m = 0; m < 2100; ++m) cells.push_back(Stamp(m));
  cells.push_back("x");
  for (const std::string& c : cells) Add(c);
  EXPECT_EQ(writer_.state(), State::kRowTexts);
  writer_.Finish(col_.IndPath());
  EXPECT_EQ(Dat(), Lines(cells));
}

}  // namespace
}  // namespace tabulon::writer_test
