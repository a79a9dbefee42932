#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "import/CsvSplit.h"

namespace tabulon {
namespace {

using Fields = std::vector<std::string>;

Fields Import(std::string_view line) {
  std::vector<std::string_view> views;
  SplitCsvRecord(line, &views);
  return Fields(views.begin(), views.end());
}

Fields Display(std::string_view line) {
  std::vector<std::string_view> views;
  SplitCsvDisplayRecord(line, &views);
  return Fields(views.begin(), views.end());
}

struct SplitCase {
  const char* what;
  std::string line;
  Fields import;
  Fields display;
};

TEST(CsvSplit, SplitsLinesIncludingMalformedQuoting) {
  const SplitCase cases[] = {
      {"plain fields", "a,b", {"a", "b"}, {"a", "b"}},
      {"trailing comma adds a field", "a,b,", {"a", "b", "(null)"}, {"a", "b", "(null)"}},
      {"empty line", "", {"(null)"}, {"(null)"}},
      {"lone comma", ",", {"(null)", "(null)"}, {"(null)", "(null)"}},
      {"blank field", "a, ,b", {"a", "(null)", "b"}, {"a", "", "b"}},
      {"empty quoted field", "\"\",x", {"(null)", "x"}, {"", "x"}},
      {"only an empty quoted field", "\"\"", {"(null)"}, {""}},
      {"unclosed quote drops the next byte",
       "a,\"b",
       {"a", "(null)", "(null)"},
       {"a", "", "(null)"}},
      {"quote as the last byte", "a,\"", {"a", "(null)"}, {"a", ""}},
      {"comma inside quotes", "\"a,b\",c", {"a,b", "c"}, {"a,b", "c"}},
      {"doubled quote is no escape", "\"a\"\"b\",c", {"a", "b\"", "c"}, {"a", "b\"", "c"}},
      {"quote after the closing quote is skipped",
       "\"a\"\",b",
       {"a", "(null)", "b"},
       {"a", "(null)", "b"}},
      {"blank before a quote makes it unquoted", " \"a,b\"", {"\"a", "b\""}, {"\"a", "b\""}},
      {"byte after closing quote is skipped",
       "\"x\"y,z",
       {"x", "(null)", "z"},
       {"x", "(null)", "z"}},
      {"blank after closing quote", "\"a\" ", {"a", "(null)"}, {"a", "(null)"}},
      {"closing quote at the end", "\"a\"", {"a"}, {"a"}},
      {"blanks inside quotes are trimmed", "\" a \"", {"a"}, {"a"}},
      {"control bytes are trimmed",
       "\t a\x01 ,\x1F"
       "b\r",
       {"a", "b"},
       {"a", "b"}},
      {"line feed stays inside its field", "a\nb,c", {"a\nb", "c"}, {"a\nb", "c"}},
      {"NUL inside a field",
       std::string("a\0b,\0", 5),
       {std::string("a\0b", 3), "(null)"},
       {std::string("a\0b", 3), ""}},
      {"(null) text reads like a missing value", "(null),x", {"(null)", "x"}, {"(null)", "x"}},
      {"full-width characters and spaces pass",
       test::S("　東京　,\"ア,イ\""),
       {test::S("　東京　"), test::S("ア,イ")},
       {test::S("　東京　"), test::S("ア,イ")}},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(Import(c.line), c.import) << c.what;
    EXPECT_EQ(Display(c.line), c.display) << c.what;
  }
}

TEST(CsvSplit, ReusesTheVectorAndPointsIntoTheLine) {
  std::vector<std::string_view> fields;
  SplitCsvRecord("a,b,c,d,e,f", &fields);
  const size_t capacity = fields.capacity();
  const std::string line = "x, y ,,";
  SplitCsvRecord(line, &fields);
  ASSERT_EQ(fields.size(), 4u);
  EXPECT_EQ(fields.capacity(), capacity);
  EXPECT_EQ(fields[0].data(), line.data());
  EXPECT_EQ(fields[1].data(), line.data() + 3);
  EXPECT_EQ(fields[2], "(null)");
  EXPECT_EQ(fields[3].data(), fields[2].data());  // the one static "(null)"
}

// The rule exactly as stated, on a copy of the line with a comma appended.
Fields Reference(const std::string& line, bool blankIsNull) {
  std::string r = line + ",";
  Fields fields;
  while (r.find(',') != std::string::npos) {
    std::string field;
    if (r[0] == '"') {
      r.erase(0, 1);
      const size_t q = r.find('"');
      if (q == std::string::npos) {
        r.erase(0, 1);
      } else {
        field = r.substr(0, q);
        r.erase(0, q + 2);
      }
    } else {
      const size_t c = r.find(',');
      field = c == 0 ? "(null)" : r.substr(0, c);
      r.erase(0, c + 1);
    }
    const auto blank = [](char b) { return static_cast<unsigned char>(b) <= 0x20; };
    while (!field.empty() && blank(field.back())) field.pop_back();
    while (!field.empty() && blank(field.front())) field.erase(0, 1);
    if (blankIsNull && field.empty()) field = "(null)";
    fields.push_back(field);
  }
  return fields;
}

TEST(CsvSplit, RandomLinesFollowTheRuleAndStayInsideTheLine) {
  const char alphabet[] = {',', '"', ' ', '\0', '\t', 'a', 'b', '\n', '\x81', '\x82', '\xFC'};
  std::mt19937 rng(20240331);
  std::vector<std::string_view> imported;
  std::vector<std::string_view> displayed;
  for (int round = 0; round < 5000; ++round) {
    // Every other line is long with sparse separators: fields across 16-byte blocks.
    const bool sparse = round % 2 == 1;
    std::string line(rng() % (sparse ? 100 : 24), '\0');
    for (char& b : line) {
      if (sparse && rng() % 12 != 0)
        b = 'a';
      else
        b = rng() % 4 == 0 ? static_cast<char>(rng()) : alphabet[rng() % sizeof alphabet];
    }
    SplitCsvRecord(line, &imported);
    SplitCsvDisplayRecord(line, &displayed);
    ASSERT_EQ(Fields(imported.begin(), imported.end()), Reference(line, true)) << line;
    ASSERT_EQ(Fields(displayed.begin(), displayed.end()), Reference(line, false)) << line;
    for (std::string_view f : imported) {
      ASSERT_FALSE(f.empty());
      const bool inLine =
          f.data() >= line.data() && f.data() + f.size() <= line.data() + line.size();
      ASSERT_TRUE(inLine || f == "(null)") << line;
      ASSERT_GT(static_cast<unsigned char>(f.front()), 0x20);
      ASSERT_GT(static_cast<unsigned char>(f.back()), 0x20);
    }
  }
}

// Lines without a quote take the block split, whose last bytes are a block of their own: every
// length up to three blocks, with commas, blanks and a quote at the line's last positions.
TEST(CsvSplit, LinesWithoutQuotesOfEveryLengthSplitAsTheRuleSays) {
  const char alphabet[] = {',', ',', ' ', 'a', 'b', '\x81', '\t'};
  std::mt19937 rng(20241209);
  std::vector<std::string_view> fields;
  for (size_t length = 0; length <= 48; ++length) {
    for (int round = 0; round < 200; ++round) {
      std::string line(length, 'a');
      for (char& b : line) b = alphabet[rng() % sizeof alphabet];
      if (round % 10 == 9 && length > 0)
        line[length - 1 - rng() % std::min<size_t>(length, 3)] = '"';
      SplitCsvRecord(line, &fields);
      ASSERT_EQ(Fields(fields.begin(), fields.end()), Reference(line, true)) << line;
    }
  }
}

}  // namespace
}  // namespace tabulon
