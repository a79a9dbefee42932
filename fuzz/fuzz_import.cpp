// A whole import of any bytes: it either refuses with a TabulonError or builds a store that
// opens, loads and reads back row by row with the cell values of the file, whose descriptor
// gives the line reader's count of rows and each column's extremes, distinct count and storage,
// and which a rebuild writes again byte for byte.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "column/Descriptor.h"
#include "column/TCol.h"
#include "column/Values.h"
#include "engine/Dataset.h"
#include "engine/Workspace.h"
#include "fuzz/FuzzUtil.h"
#include "import/unitProgress.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/IniFile.h"
#include "platform/LocaleFormats.h"
#include "platform/SjisText.h"
#include "text/CsvRecordReader.h"
#include "text/CsvSplit.h"
#include "text/HenkanJ.h"

using namespace tabulon;

namespace {

std::map<std::string, std::string> StoreFiles(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const std::string& name : ListDirectory(dir)) files[name] = ReadWholeFile(dir + "/" + name);
  return files;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
  return s;
}

// The smallest and largest values of a column as the rows read them.
struct Extremes {
  bool any = false;
  double min = 0, max = 0;
  void Add(double v) {
    min = any && min < v ? min : v;
    max = any && max > v ? max : v;
    any = true;
  }
};

// The row's value as the column's final type reads the cell, when the cell converts.
void CheckValue(const TCol& col, std::string_view cell, Extremes* extremes) {
  const std::string n = ToHankaku(cell);
  if (cell == kNullText || TrimBlanks(n).empty()) return;
  switch (col.FValueType) {
    case vtInt: {
      int32_t v = 0;
      if (!TryStrToInt(n, &v)) break;
      Check(col.FIntValue == v);
      if (v >= -2147483646) extremes->Add(v);  // the null marker and the one value below it
      break;
    }
    case vtCur: {
      int64_t v = 0;
      if (!TryStrToCur(n, &v)) break;
      Check(col.FCurValue == v);
      if (v != kCurNull) extremes->Add(static_cast<double>(v) / kCurScale);
      break;
    }
    case vtDat: {
      double v = 0;
      if (!TryStrToDateTime(n, &v)) break;
      Check(std::memcmp(&col.FDateValue, &v, sizeof v) == 0);
      if (v < DateNull()) extremes->Add(v);
      break;
    }
    case vtStr:
      // Texts that differ only in letter case share the spelling met first.
      Check(SameText(col.FText, cell));
      break;
  }
}

// The descriptor's Min, Max and Count of a column against its rows.
void CheckDescriptor(const TCol& col, const Extremes& e,
                     const std::vector<std::vector<std::string_view>>& rows) {
  if (e.any) {
    switch (col.FValueType) {
      case vtInt:
        Check(col.FMin == e.min && col.FMax == e.max);
        break;
      case vtCur:  // written with 15 significant digits
        Check(FormatFloat(col.FMin) == FormatFloat(e.min));
        Check(FormatFloat(col.FMax) == FormatFloat(e.max));
        break;
      case vtDat:  // written to the second
        Check(FormatDateTime(col.FMin) == FormatDateTime(e.min) ||
              FormatDateTime(col.FMin) + " 0:00:00" == FormatDateTime(e.min));
        Check(FormatDateTime(col.FMax) == FormatDateTime(e.max) ||
              FormatDateTime(col.FMax) + " 0:00:00" == FormatDateTime(e.max));
        break;
      case vtStr:
        break;
    }
  }
  std::unordered_set<std::string> distinct;
  const size_t c = static_cast<size_t>(col.FIndex);
  for (const auto& fields : rows)
    distinct.insert(FoldKey(c < fields.size() ? fields[c] : kNullText));
  if (distinct.size() > 2000) {
    Check(col.FStorage == csLon);
  } else {
    Check(col.FStorage == (distinct.size() > 256 ? csWor : csByt));
    Check(col.FCount == static_cast<int32_t>(distinct.size()));
  }
}

// Inputs that start with 0xFE stand for a long file, so that columns pass 256 and 2000 distinct
// texts: the next byte adds to the row count, the rest is a header line and row patterns
// separated by LF. Each row is its number followed by a pattern, taken in turn; the last pattern
// is used only by the last row, so that a column can change its type late.
std::string Expand(std::string_view input) {
  if (input.size() < 2 || static_cast<unsigned char>(input[0]) != 0xFE) return std::string(input);
  const int rows = 1990 + 2 * static_cast<unsigned char>(input[1]);
  std::vector<std::string_view> parts;
  std::string_view rest = input.substr(2);
  for (size_t lf; (lf = rest.find('\n')) != std::string_view::npos; rest.remove_prefix(lf + 1))
    parts.push_back(rest.substr(0, lf));
  parts.push_back(rest);
  std::string csv(parts[0]);
  csv += "\r\n";
  const size_t patterns = parts.size() > 2 ? parts.size() - 2 : 1;
  for (int i = 0; i < rows; ++i) {
    csv += std::to_string(i);
    if (parts.size() > 1) {
      csv += i + 1 == rows ? parts.back() : parts[1 + static_cast<size_t>(i) % patterns];
    }
    csv += "\r\n";
  }
  return csv;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string dir = fuzz::FreshScratchDir();
  const std::string csv = dir + "/f.csv";
  fuzz::WriteBytes(csv, Expand(std::string_view(reinterpret_cast<const char*>(data), size)));

  TSilentProgress view;
  try {
    TformProgress(&view).Import(csv);
  } catch (const TabulonError&) {
    return 0;
  }

  // The records as the record reader gives them: the header, then one row per record, less the
  // records of nulls alone at the end.
  std::vector<std::vector<std::string>> texts;
  {
    CsvRecordReader reader(csv);
    std::string_view record;
    TCsvFields split;
    while (reader.ReadRecord(&record)) {
      SplitCsvRecord(record, &split, reader.Separator());
      texts.emplace_back(split.fields.begin(), split.fields.end());
    }
  }
  const auto allNull = [](const std::vector<std::string>& fields) {
    for (const std::string& f : fields)
      if (f != kNullText) return false;
    return true;
  };
  while (texts.size() > 1 && allNull(texts.back())) texts.pop_back();
  const size_t columns = texts.empty() ? 1 : texts[0].size();

  TWorkspace ws;
  OpenDataset(ws, csv);
  Check(ws.FRowCount == static_cast<int32_t>(texts.empty() ? 0 : texts.size() - 1));
  Check(ws.FColCount == static_cast<int32_t>(columns));
  Check(ws.FCols.size() == columns);

  std::vector<std::vector<std::string_view>> rows(static_cast<size_t>(ws.FRowCount));
  for (size_t r = 0; r < rows.size(); ++r) rows[r].assign(texts[r + 1].begin(), texts[r + 1].end());
  try {
    for (auto& colPtr : ws.FCols) {
      TCol& col = *colPtr;
      // A per-row text column reads its texts only as the value column.
      col.FRole = col.FStorage == csLon && col.FValueType == vtStr ? 2 : 0;
      col.Load();
      const size_t c = static_cast<size_t>(col.FIndex);
      Extremes extremes;
      for (int32_t r = 0; r < ws.FRowCount; ++r) {
        Check(col.ReadRow(r));
        const auto& fields = rows[static_cast<size_t>(r)];
        CheckValue(col, c < fields.size() ? fields[c] : kNullText, &extremes);
      }
      CheckDescriptor(col, extremes, rows);
      (void)col.GetItems();
    }
  } catch (const TabulonError&) {
    std::abort();  // the store was just written: it must read back
  }

  // A rebuild, once the completion mark is gone, writes the same files.
  const std::string store = StoreDirOf(csv);
  const auto before = StoreFiles(store);
  {
    IniFile ini(DescriptorPathOf(csv));
    ini.DeleteKey(kSectionCsv, kKeyDateTime);
    ini.Flush();
  }
  try {
    TformProgress(&view).Import(csv);
  } catch (const TabulonError&) {
    std::abort();  // the first import of the same bytes succeeded
  }
  Check(StoreFiles(store) == before);
  return 0;
}
