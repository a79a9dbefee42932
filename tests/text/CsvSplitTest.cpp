#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "text/CsvSplit.h"

namespace tabulon {
namespace {

using Fields = std::vector<std::string>;

Fields Import(std::string_view line, char separator = ',') {
  TCsvFields split;
  SplitCsvRecord(line, &split, separator);
  return Fields(split.fields.begin(), split.fields.end());
}

Fields Display(std::string_view line, char separator = ',') {
  TCsvFields split;
  SplitCsvDisplayRecord(line, &split, separator);
  return Fields(split.fields.begin(), split.fields.end());
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
      {"doubled quote stands for one", "\"a\"\"b\",c", {"a\"b", "c"}, {"a\"b", "c"}},
      {"doubled quotes around a word",
       test::S("\"C \"\"24型\"\"\",\"900\""),
       {test::S("C \"24型\""), "900"},
       {test::S("C \"24型\""), "900"}},
      {"only a doubled quote", "\"\"\"\",x", {"\"", "x"}, {"\"", "x"}},
      {"a quote never closed splits the line as before",
       "\"a\"\",b",
       {"a", "(null)", "b"},
       {"a", "(null)", "b"}},
      {"line breaks inside quotes", "\"a\r\nb\rc\nd\",e", {"a\nb\nc\nd", "e"}, {"a b c d", "e"}},
      {"line break and doubled quote together", "\"x\"\"\r\n\",y", {"x\"", "y"}, {"x\"", "y"}},
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

TEST(CsvSplit, TabSeparatedRecordsSplitAtTabsWithTheSameQuoting) {
  EXPECT_EQ(Import("a\tb,c\t\"d\te\"\t", '\t'), Fields({"a", "b,c", "d\te", "(null)"}));
  EXPECT_EQ(Import(" a \t\t\"x\"\"y\"", '\t'), Fields({"a", "(null)", "x\"y"}));
  EXPECT_EQ(Display("a\t \t", '\t'), Fields({"a", "", "(null)"}));
}

TEST(CsvSplit, RewrittenFieldsStayValidBesideViewsIntoTheRecord) {
  TCsvFields split;
  const std::string record = "\"a\"\"\",b,\"c\r\nd\",\"e\"\"f\"";
  SplitCsvRecord(record, &split);
  EXPECT_EQ(Fields(split.fields.begin(), split.fields.end()), Fields({"a\"", "b", "c\nd", "e\"f"}));
  EXPECT_EQ(split.fields[1].data(), record.data() + 6);
}

TEST(CsvSplit, QuoteScanTellsARecordThatGoesOnPastItsLine) {
  const struct {
    std::vector<std::string> lines;  // the lines of one record as it grows
    bool open;                       // after the last line
  } cases[] = {
      {{"a,b"}, false},
      {{"\"a"}, true},
      {{"\"a", "b\",c"}, false},
      {{"\"a", "", "b"}, true},
      {{"x,\"a\"\""}, true},           // a doubled quote at the end does not close
      {{"x,\"a\"\"\""}, false},        // ... the quote after it does
      {{"\"a\"b\"c"}, true},           // the byte after a closing quote is skipped
      {{"a\"b,\"c"}, true},            // a quote inside an unquoted field opens nothing
      {{" \"a"}, false},               // nor one after a blank
      {{"\"a", "\"\"", "\""}, false},  // the doubled quote of the second line is text
  };
  for (const auto& c : cases) {
    TQuoteScan scan(',');
    std::string record;
    bool open = false;
    for (const std::string& line : c.lines) {
      if (!record.empty() || &line != &c.lines.front()) record += '\n';
      record += line;
      open = scan.EndsInsideQuotes(record);
    }
    EXPECT_EQ(open, c.open) << record;
    TQuoteScan whole(',');
    EXPECT_EQ(whole.EndsInsideQuotes(record), c.open) << record;
  }
}

TEST(CsvSplit, ReusesTheVectorAndPointsIntoTheLine) {
  TCsvFields split;
  std::vector<std::string_view>& fields = split.fields;
  SplitCsvRecord("a,b,c,d,e,f", &split);
  const size_t capacity = fields.capacity();
  const std::string line = "x, y ,,";
  SplitCsvRecord(line, &split);
  ASSERT_EQ(fields.size(), 4u);
  EXPECT_EQ(fields.capacity(), capacity);
  EXPECT_EQ(fields[0].data(), line.data());
  EXPECT_EQ(fields[1].data(), line.data() + 3);
  EXPECT_EQ(fields[2], "(null)");
  EXPECT_EQ(fields[3].data(), fields[2].data());  // the one static "(null)"
}

// A field trimmed of bytes up to 0x20; "(null)" when nothing is left and blankIsNull.
std::string Trimmed(std::string field, bool blankIsNull) {
  const auto blank = [](char b) { return static_cast<unsigned char>(b) <= 0x20; };
  while (!field.empty() && blank(field.back())) field.pop_back();
  while (!field.empty() && blank(field.front())) field.erase(0, 1);
  return blankIsNull && field.empty() ? "(null)" : field;
}

// The rule as lines were split before quotes were read in full, on a copy of the line with a
// separator appended; now the rule for a quote that is never closed.
Fields LineReference(const std::string& line, bool blankIsNull, char sep) {
  std::string r = line + sep;
  Fields fields;
  while (r.find(sep) != std::string::npos) {
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
      const size_t c = r.find(sep);
      field = c == 0 ? "(null)" : r.substr(0, c);
      r.erase(0, c + 1);
    }
    fields.push_back(Trimmed(field, blankIsNull));
  }
  return fields;
}

// The rule exactly as stated, byte by byte: a doubled quote inside quotes is one quote, a line
// break inside quotes is LF (import) or a blank (record list); a quote never closed falls back to
// the line rule.
Fields Reference(const std::string& line, bool blankIsNull, char sep = ',') {
  const std::string r = line + sep;
  const size_t n = line.size();
  Fields fields;
  for (size_t i = 0; i <= n;) {
    std::string field;
    if (r[i] == '"') {
      size_t j = i + 1;
      for (;; ++j) {
        if (j >= n) return LineReference(line, blankIsNull, sep);
        if (r[j] == '"') {
          if (j + 1 < n && r[j + 1] == '"') {
            field += '"';
            ++j;
            continue;
          }
          break;
        }
        if (r[j] == '\r') {
          if (r[j + 1] == '\n') ++j;
          field += blankIsNull ? '\n' : ' ';
        } else if (r[j] == '\n') {
          field += blankIsNull ? '\n' : ' ';
        } else {
          field += r[j];
        }
      }
      i = j + 2;
    } else {
      const size_t c = r.find(sep, i);
      field = c == i ? "(null)" : r.substr(i, c - i);
      i = c + 1;
    }
    fields.push_back(Trimmed(field, blankIsNull));
  }
  return fields;
}

TEST(CsvSplit, RandomLinesFollowTheRuleAndStayInsideTheLine) {
  const char alphabet[] = {',', '"', ' ', '\0', '\t', 'a', 'b', '\n', '\r', '\x81', '\x82', '\xFC'};
  std::mt19937 rng(20240331);
  TCsvFields importedSplit, displayedSplit;
  const std::vector<std::string_view>& imported = importedSplit.fields;
  const std::vector<std::string_view>& displayed = displayedSplit.fields;
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
    const char sep = round % 3 == 2 ? '\t' : ',';
    SplitCsvRecord(line, &importedSplit, sep);
    SplitCsvDisplayRecord(line, &displayedSplit, sep);
    ASSERT_EQ(Fields(imported.begin(), imported.end()), Reference(line, true, sep)) << line;
    ASSERT_EQ(Fields(displayed.begin(), displayed.end()), Reference(line, false, sep)) << line;
    const std::string& rewritten = importedSplit.rewritten;
    for (std::string_view f : imported) {
      ASSERT_FALSE(f.empty());
      const auto inside = [&](const std::string& text) {
        return f.data() >= text.data() && f.data() + f.size() <= text.data() + text.size();
      };
      ASSERT_TRUE(inside(line) || inside(rewritten) || f == "(null)") << line;
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
  TCsvFields split;
  const std::vector<std::string_view>& fields = split.fields;
  for (size_t length = 0; length <= 48; ++length) {
    for (int round = 0; round < 200; ++round) {
      std::string line(length, 'a');
      for (char& b : line) b = alphabet[rng() % sizeof alphabet];
      if (round % 10 == 9 && length > 0)
        line[length - 1 - rng() % std::min<size_t>(length, 3)] = '"';
      SplitCsvRecord(line, &split);
      ASSERT_EQ(Fields(fields.begin(), fields.end()), Reference(line, true)) << line;
    }
  }
}

}  // namespace
}  // namespace tabulon
