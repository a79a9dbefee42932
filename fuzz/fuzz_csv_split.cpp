// Both CSV splitting variants over any record, against a small model of the rule written
// byte by byte: a doubled quote inside quotes is one quote, a line break inside quotes is one LF
// (import) or one blank (record list), a quote never closed splits the record by the older line
// rule. The first byte picks the separator (odd: tab). Every field is trimmed and points into the
// record, the rewritten texts or the null text; the quote scan, fed line by line, agrees with the
// model on whether the record ends inside quotes; the split of the first line of a block of lines
// is the split of that line.
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "column/Values.h"
#include "fuzz/FuzzUtil.h"
#include "platform/LineReader.h"
#include "text/CsvSplit.h"

using namespace tabulon;

namespace {

using Fields = std::vector<std::string>;

bool Blank(char b) {
  return static_cast<unsigned char>(b) <= 0x20;
}

std::string Trim(std::string field) {
  while (!field.empty() && Blank(field.back())) field.pop_back();
  while (!field.empty() && Blank(field.front())) field.erase(0, 1);
  return field;
}

Fields OlderRule(const std::string& line, bool import, char sep) {
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
    field = Trim(field);
    fields.push_back(import && field.empty() ? "(null)" : field);
  }
  return fields;
}

// *open := whether the record ends inside quotes.
Fields Model(const std::string& line, bool import, char sep, bool* open) {
  const size_t n = line.size();
  *open = false;
  Fields fields;
  for (size_t i = 0; i <= n;) {
    std::string field;
    if (i < n && line[i] == '"') {
      size_t j = i + 1;
      for (;; ++j) {
        if (j >= n) {
          *open = true;
          return OlderRule(line, import, sep);
        }
        if (line[j] == '"') {
          if (j + 1 < n && line[j + 1] == '"') {
            field += '"';
            ++j;
            continue;
          }
          break;
        }
        if (line[j] == '\r' || line[j] == '\n') {
          if (line[j] == '\r' && j + 1 < n && line[j + 1] == '\n') ++j;
          field += import ? '\n' : ' ';
        } else {
          field += line[j];
        }
      }
      i = j + 2;
    } else {
      size_t c = line.find(sep, i);
      if (c == std::string::npos) c = n;
      field = c == i ? "(null)" : line.substr(i, c - i);
      i = c + 1;
    }
    field = Trim(field);
    fields.push_back(import && field.empty() ? "(null)" : field);
  }
  return fields;
}

void CheckFields(const std::string& record, const TCsvFields& split, const Fields& expected,
                 bool import) {
  Check(Fields(split.fields.begin(), split.fields.end()) == expected);
  const auto inside = [](std::string_view f, std::string_view text) {
    return f.data() >= text.data() && f.data() + f.size() <= text.data() + text.size();
  };
  for (std::string_view f : split.fields) {
    if (f == kNullText && !inside(f, record) && !inside(f, split.rewritten)) continue;
    Check(f.empty() || inside(f, record) || inside(f, split.rewritten));
    Check(!import || !f.empty());
    if (!f.empty()) Check(!Blank(f.front()) && !Blank(f.back()));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const char sep = data[0] % 2 == 1 ? '\t' : ',';
  const std::string record(reinterpret_cast<const char*>(data) + 1, size - 1);
  TCsvFields imported, shown;
  SplitCsvRecord(record, &imported, sep);
  SplitCsvDisplayRecord(record, &shown, sep);
  bool open = false;
  CheckFields(record, imported, Model(record, true, sep, &open), true);
  CheckFields(record, shown, Model(record, false, sep, &open), false);
  Check(imported.fields.size() == shown.fields.size());

  // The quote scan over the record's lines as the record reader joins them (at each LF).
  TQuoteScan scan(sep);
  for (size_t from = 0;;) {
    const size_t lineEnd = record.find('\n', from);
    const bool last = lineEnd == std::string::npos;
    const bool scannedOpen =
        scan.EndsInsideQuotes(std::string_view(record).substr(0, last ? record.size() : lineEnd));
    if (last) {
      Check(scannedOpen == open);
      break;
    }
    // Only a record still open at a line end goes on; otherwise the scan is done with it.
    if (!scannedOpen) break;
    from = lineEnd + 1;
  }

  // The split of the record's first line as a block of lines gives it, in either line-end mode:
  // the fields of that line alone, or a refusal when it holds a quote.
  struct Collect {
    Fields fields;
    void Put(std::string_view field) { fields.emplace_back(field); }
  };
  for (const bool lfMode : {true, false}) {
    const TLineSpan line = NextLine(record, 0, lfMode);
    const std::string text = record.substr(0, line.end);
    Collect cells;
    const size_t end = SplitUnquotedLine(record, 0, sep, lfMode, cells);
    if (end == std::string_view::npos) {
      Check(text.find('"') != std::string::npos);
      continue;
    }
    Check(text.find('"') == std::string::npos);
    Check(AfterLineEnd(record, end, lfMode) == line.next);
    TCsvFields alone;
    SplitCsvRecord(text, &alone, sep);
    Check(cells.fields == Fields(alone.fields.begin(), alone.fields.end()));
  }
  return 0;
}
