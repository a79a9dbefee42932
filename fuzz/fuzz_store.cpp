// Analysis of a damaged column store. A store of every column kind is imported once per process
// and kept in memory; each input writes it afresh, damages its files and descriptor by a list of
// edits, opens it, loads and reads every column, lists items and cross-tabulates. Refusing the
// store with a TabulonError is fine; a crash, a sanitizer report, a huge allocation or a hang is
// not.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "column/Descriptor.h"
#include "engine/Dataset.h"
#include "engine/Engine.h"
#include "fuzz/FuzzUtil.h"
#include "import/unitProgress.h"
#include "mainlogic/MainLogic.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/IniFile.h"

using namespace tabulon;
using tabulon::fuzz::Input;

namespace {

constexpr int kRows = 2100;  // just past the 2000 distinct texts that make a column per-row

// Columns: 8-bit keyed text, 16-bit keyed text, per-row text, per-row int, currency and date,
// keyed int, currency, date and time of day.
std::string MakeCsv() {
  std::string csv = "kb,kw,lt,li,lc,ld,ki,kc,kd,kt\r\n";
  char buf[512];
  for (int i = 0; i < kRows; ++i) {
    // 東京 and ＡＢ in Shift-JIS in a few cells, and blanks for the null values.
    const char* kb = i % 7 == 0 ? "\x93\x8c\x8b\x9e" : i % 11 == 0 ? "" : i % 2 ? "a" : "B";
    const int year = 2000 + i / 336, month = 1 + (i / 28) % 12, day = 1 + i % 28;
    std::snprintf(buf, sizeof buf,
                  "%s,w%d,t%d\x82\x60\x82\x61,%d,%d.%02d,%04d/%02d/%02d %d:%02d,%s,%s,"
                  "2024/03/%02d,%d:%02d:%02d\r\n",
                  kb, i % 300, i, i * 7 - 1000, i - 50, i % 100, year, month, day, i % 24,
                  (i * 13) % 60, i % 13 == 0 ? "" : std::to_string(i % 50 - 10).c_str(),
                  i % 17 == 0 ? "" : std::to_string((i % 40) * 0.25).substr(0, 5).c_str(),
                  1 + i % 28, i % 24, (i * 7) % 60, (i * 11) % 60);
    csv += buf;
  }
  return csv;
}

struct Store {
  std::vector<std::string> names;  // file names within the store folder; the descriptor last
  std::vector<std::string> bytes;
  std::vector<std::string> columns;  // column names (descriptor sections)
};

const Store& TheStore() {
  static const Store store = [] {
    Store s;
    const std::string dir = fuzz::FreshScratchDir();
    const std::string csv = dir + "/data.csv";
    fuzz::WriteBytes(csv, MakeCsv());
    TSilentProgress view;
    TformProgress importer(&view);
    importer.Import(csv);
    for (const auto& col : importer.Columns()) {
      s.columns.push_back(col->FName);
      for (const std::string& path : {col->DatPath(), col->IndPath()}) {
        if (!FileExists(path)) continue;
        s.names.push_back(path.substr(path.find_last_of('/') + 1));
        s.bytes.push_back(ReadWholeFile(path));
      }
    }
    s.names.push_back("data.Ini");
    s.bytes.push_back(ReadWholeFile(DescriptorPathOf(csv)));
    return s;
  }();
  return store;
}

class Hooks : public TWindowHooks {
 public:
  void RefreshColumnMarkers() override {}
  void SelectColumn(int) override {}
  TResultTable* ChooseOutputGrid() override { return &table; }
  TMemoryTable table;
};

// Values worth trying for a descriptor key.
const char* const kValues[] = {"0",
                               "1",
                               "-1",
                               "2",
                               "255",
                               "256",
                               "257",
                               "2000",
                               "2001",
                               "65535",
                               "65536",
                               "2147483647",
                               "-2147483648",
                               "1000000000",
                               "Int",
                               "Cur",
                               "Dat",
                               "Str",
                               "Byt",
                               "Wor",
                               "Lon",
                               "1E300",
                               "-1E300",
                               "0.0001",
                               "1.5",
                               "2024/03/01",
                               "9999/12/31 23:59:59",
                               "1/1/1",
                               "12:00:00",
                               "2024/03/31 23:59:59",
                               "",
                               "x"};
const char* const kKeys[] = {"RowCount", "ColCount", "Count", "ValType", "ColType", "Min", "Max"};

// Record values worth writing over a file's bytes.
void InterestingRecord(Input& in, std::string* out) {
  uint8_t b[8];
  switch (in.Below(8)) {
    case 0: {  // int null
      const int32_t v = -2147483647;
      std::memcpy(b, &v, 4);
      out->assign(reinterpret_cast<char*>(b), 4);
      return;
    }
    case 1: {  // currency null
      const int64_t v = INT64_MIN + 1;
      std::memcpy(b, &v, 8);
      out->assign(reinterpret_cast<char*>(b), 8);
      return;
    }
    case 2: {
      const double v = std::nan("");
      std::memcpy(b, &v, 8);
      out->assign(reinterpret_cast<char*>(b), 8);
      return;
    }
    case 3: {
      const double v = in.Byte() % 2 ? 1e300 : -1e300;
      std::memcpy(b, &v, 8);
      out->assign(reinterpret_cast<char*>(b), 8);
      return;
    }
    case 4:
      out->assign(1, static_cast<char>(0xFF));
      return;
    case 5:
      out->assign("\xFF\xFF", 2);
      return;
    case 6:
      out->assign("\r\n", 2);
      return;
    default: {
      const int32_t v = static_cast<int32_t>(in.Below(0xFFFFFFFFu) ^ 0x80000000u);
      std::memcpy(b, &v, 4);
      out->assign(reinterpret_cast<char*>(b), 4);
      return;
    }
  }
}

void Damage(Input& in, const Store& store, std::vector<std::string>* files,
            std::vector<std::pair<std::string, std::pair<std::string, std::string>>>* iniEdits) {
  const int edits = 1 + in.Below(6);
  for (int e = 0; e < edits && !in.Empty(); ++e) {
    const size_t f = in.Below(static_cast<uint32_t>(files->size()));
    std::string& bytes = (*files)[f];
    const uint32_t size = static_cast<uint32_t>(bytes.size());
    switch (in.Below(7)) {
      case 0:  // truncate
        bytes.resize(in.Below(size + 1));
        break;
      case 1: {  // overwrite
        const size_t at = in.Below(size + 1);
        const std::string_view text = in.Text(16);
        bytes.replace(at, std::min(text.size(), bytes.size() - at), text);
        break;
      }
      case 2:  // append
        bytes += in.Text(64);
        break;
      case 3:  // replace
        bytes = std::string(in.Text(4096));
        break;
      case 4: {  // a record value at a record boundary
        std::string rec;
        InterestingRecord(in, &rec);
        const size_t at = size == 0 ? 0 : in.Below(size) / rec.size() * rec.size();
        bytes.replace(at, std::min(rec.size(), bytes.size() - at), rec);
        break;
      }
      default: {  // one descriptor value
        const uint32_t which = in.Below(static_cast<uint32_t>(store.columns.size() + 1));
        const std::string section = which == store.columns.size() ? "Csv" : store.columns[which];
        const std::string key = kKeys[in.Below(std::size(kKeys))];
        const uint32_t v = in.Below(std::size(kValues) + 1);
        const std::string value = v < std::size(kValues) ? kValues[v] : std::string(in.Text(24));
        iniEdits->push_back({section, {key, value}});
        break;
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Store& store = TheStore();
  Input in(data, size);

  std::vector<std::string> files = store.bytes;
  std::vector<std::pair<std::string, std::pair<std::string, std::string>>> iniEdits;
  Damage(in, store, &files, &iniEdits);

  const std::string dir = fuzz::FreshScratchDir();
  const std::string csv = dir + "/data.csv";
  CreateDirectoryIfMissing(dir + "/data");
  for (size_t i = 0; i < files.size(); ++i)
    fuzz::WriteBytes(dir + "/data/" + store.names[i], files[i]);
  if (!iniEdits.empty()) {
    try {
      IniFile ini(DescriptorPathOf(csv));
      for (const auto& [section, kv] : iniEdits) ini.WriteString(section, kv.first, kv.second);
      ini.Flush();
    } catch (const TabulonError&) {
      return 0;
    }
  }

  Hooks hooks;
  TWorkspace ws;
  ws.hooks = &hooks;
  try {
    OpenDataset(ws, csv);
  } catch (const TabulonError&) {
    return 0;
  }

  // Every column loaded and read row by row, alone, then its items.
  for (auto& col : ws.FCols) {
    col->FRole = 2;
    try {
      col->Load();
      for (int32_t r = 0; r < ws.FRowCount; ++r) col->ReadRow(r);
    } catch (const TabulonError&) {
    }
    col->FRole = 3;
    try {
      col->GetItems();
    } catch (const TabulonError&) {
    }
    col->FSelected.clear();
  }

  // A filter, a unit or divisions on some columns, then roles and an aggregate.
  const uint32_t columns = static_cast<uint32_t>(ws.FCols.size());
  if (columns == 0) return 0;
  const int settings = in.Below(4);
  for (int s = 0; s < settings; ++s) {
    TCol& col = *ws.FCols[in.Below(columns)];
    switch (in.Below(4)) {
      case 0:
        col.FDivisions = static_cast<int32_t>(in.Below(12));
        break;
      case 1:
        // The window offers days only over fewer than 2000 days.
        col.FDateUnit = static_cast<uint8_t>(in.Below(7));
        if (col.FDateUnit == 3 && !(col.FMax - col.FMin < 2000)) col.FDateUnit = 0;
        // Months over damaged extremes far apart would be a hundred thousand labels.
        if (col.FDateUnit == 1 && !(col.FMax - col.FMin < 36525)) col.FDateUnit = 0;
        // Seconds as the window offers them: over a short span, and (since a column with dates
        // labels every second of the day, 86400 labels slow to sort under the sanitizers) on
        // times of day only.
        if (col.FDateUnit == 6 && (col.HasDates() || !((col.FMax - col.FMin) * 43200 < 2000)))
          col.FDateUnit = 5;
        break;
      case 2:
        col.FFiltered = true;
        col.FLower = col.FMin + (col.FMax - col.FMin) * in.Below(5) / 4;
        col.FUpper = col.FMin + (col.FMax - col.FMin) * in.Below(5) / 4;
        col.FWeekdayFilter = static_cast<int32_t>(in.Below(11)) - 1;
        break;
      default:
        col.SetSelected({std::string(in.Text(8)), "a", "w1"});
        break;
    }
  }
  ws.FCols[in.Below(columns)]->FRole = 0;
  if (in.Byte() % 2) ws.FCols[in.Below(columns)]->FRole = 1;
  if (in.Byte() % 2) ws.FCols[in.Below(columns)]->FRole = 2;
  ws.aggregate = static_cast<TAggregate>(in.Below(5));
  ws.forceGenericPass = in.Byte() % 2;
  try {
    CrossTabulate(ws);
  } catch (const TabulonError&) {
  }
  ws.forceGenericPass = false;

  // The window's view of the same store: every column refreshed with its panel.
  if (in.Byte() % 2) {
    TMainLogic logic;
    try {
      logic.ListBox1Click(csv);
    } catch (const TabulonError&) {
    }
  }
  return 0;
}
