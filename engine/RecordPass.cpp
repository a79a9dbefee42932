// The pass over the records. Two ways to the same accumulators:
// - the generic pass asks every participating column ReadRow for every record, in column order,
//   and stops at the first refusal;
// - the block pass serves the common case where the participating columns hold keys (csByt,
//   csWor): each column's per-key categories (TCol::KeyCategories) become per-key cell offsets,
//   and a block of records is run column by column through a loop over the raw key array, chosen
//   once per run by key width; per-row numeric columns take part through ReadRow, and filtered
//   per-row texts a block of lines at a time (TCol::ReadTextKeys). A record whose offset turns
//   negative is rejected, so the result equals the generic pass.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <system_error>
#include <thread>

#include "engine/Dataset.h"
#include "engine/Engine.h"
#include "engine/EngineInternal.h"
#include "platform/System.h"

namespace tabulon {

namespace engine_detail {
namespace {

// The value of the record last read by the value column; false when it is null. scaled: a
// currency value as its stored integer (a sum of currency taken exactly).
bool TakeNumber(const TCol& col, bool scaled, double* v) {
  switch (col.FValueType) {
    case vtInt:
      *v = col.FIntValue;
      return col.FIntValue != kIntNull;
    case vtCur:
      *v = static_cast<double>(col.FCurValue) / (scaled ? 1 : kCurScale);
      return col.FCurValue != kCurNull;
    case vtDat:
      *v = col.FDateValue;
      return col.FDateValue < DateNull();
    case vtStr:
      *v = 0;
      return true;
  }
  return true;
}

bool FoldsText(TFold fold) {
  return fold == TFold::kTextMin || fold == TFold::kTextMax || fold == TFold::kTextFirst;
}

bool FoldsValue(TFold fold) {
  return fold != TFold::kNone && !FoldsText(fold);
}

// Adds the stored integer v of a currency value (a whole number of at most 53 bits, as a double)
// to the exact sum of cell k. A damaged store can hold any 64-bit integer, whose double may round
// up to 2^63, beyond int64_t: it wraps like the sums.
inline void AddScaled(uint64_t* scaled, size_t k, double v) {
  scaled[k] += v < 9223372036854775808.0 ? static_cast<uint64_t>(static_cast<int64_t>(v))
                                         : uint64_t{1} << 63;
}

// Folds v into cell k after its count was incremented.
template <TFold F>
inline void FoldNumber(int32_t* count, double* value, size_t k, double v) {
  if constexpr (F == TFold::kSum) {
    value[k] += v;
  } else if constexpr (F == TFold::kMin) {
    const double cur = value[k];
    value[k] = (count[k] == 1 || v < cur) ? v : cur;
  } else if constexpr (F == TFold::kMax) {
    const double cur = value[k];
    value[k] = (count[k] == 1 || v > cur) ? v : cur;
  } else if constexpr (F == TFold::kLast) {
    value[k] = v;
  }
}

void FoldText(TFold fold, TResultTable& table, int c, int r, int32_t count, const std::string& v) {
  const std::string cell = table.Cell(c + 1, r + 1);
  switch (fold) {
    case TFold::kTextMin:
      if (count == 1 || v < cell) table.SetCell(c + 1, r + 1, v);
      break;
    case TFold::kTextMax:
      if (count == 1 || v > cell) table.SetCell(c + 1, r + 1, v);
      break;
    default:
      table.SetCell(c + 1, r + 1, cell.empty() ? v : std::to_string(count));
      break;
  }
}

std::vector<TCol*> ParticipatingColumns(TWorkspace& ws) {
  std::vector<TCol*> cols;
  for (auto& col : ws.FCols)
    if (col->FRole != kRoleNone || col->FFiltered) cols.push_back(col.get());
  return cols;
}

void GenericPass(TWorkspace& ws, const TRunPlan& plan, TAccumulators& acc, TResultTable* table) {
  const std::vector<TCol*> cols = ParticipatingColumns(ws);
  TCol* valueCol =
      plan.valueCol >= 0 ? ws.FCols[static_cast<size_t>(plan.valueCol)].get() : nullptr;
  const int stride = plan.nc + 1;
  for (int32_t record = 0; record < ws.FRowCount; ++record) {
    int c = 0, r = 0;
    double v = 0;
    bool accepted = true;
    for (TCol* col : cols) {
      if (!col->ReadRow(record)) {
        accepted = false;
      } else if (col->FIndex == plan.colAxis) {
        c = col->FKey;
        accepted = c >= 0 && c < plan.nc;
      } else if (col->FIndex == plan.rowAxis) {
        r = col->FKey;
        accepted = r >= 0 && r < plan.nr;
      } else if (col == valueCol) {
        accepted = TakeNumber(*col, plan.fold == TFold::kScaledSum, &v);
      }
      if (!accepted) break;
    }
    if (!accepted) continue;
    const size_t k = static_cast<size_t>(c + r * stride);
    const int32_t n = ++acc.count[k];
    switch (plan.fold) {
      case TFold::kNone:
        break;
      case TFold::kSum:
        FoldNumber<TFold::kSum>(acc.count.data(), acc.value.data(), k, v);
        break;
      case TFold::kScaledSum:
        AddScaled(acc.scaled.data(), k, v);
        break;
      case TFold::kMin:
        FoldNumber<TFold::kMin>(acc.count.data(), acc.value.data(), k, v);
        break;
      case TFold::kMax:
        FoldNumber<TFold::kMax>(acc.count.data(), acc.value.data(), k, v);
        break;
      case TFold::kLast:
        FoldNumber<TFold::kLast>(acc.count.data(), acc.value.data(), k, v);
        break;
      case TFold::kTextMin:
      case TFold::kTextMax:
      case TFold::kTextFirst:
        FoldText(plan.fold, *table, c, r, n, valueCol->FText);
        break;
    }
  }
}

// ---- The block pass

constexpr int kBlock = 2048;

struct TSource;
// Narrows the cell offsets idx[0..n) of the records first.. by one column; value sources also
// leave each record's value in val.
using TApply = void (*)(const TSource& s, int32_t first, int n, int32_t* idx, double* val);

struct TSource {
  TApply apply = nullptr;
  TCol* col = nullptr;
  const void* keys = nullptr;    // FByteKeys or FWordKeys
  std::vector<int32_t> offsets;  // per key: category x stride, or -1 when rejected
  std::vector<double> values;    // per key: the value (value column)
  int32_t stride = 0;            // cell offset per category (0 for filters and the value)
  int32_t limit = 0;             // number of labels of an axis
  bool scaled = false;           // a currency value as its stored integer (TakeNumber)
};

template <typename K, bool kWithValue>
void ApplyKeys(const TSource& s, int32_t first, int n, int32_t* idx, double* val) {
  const K* keys = static_cast<const K*>(s.keys) + first;
  const int32_t* offsets = s.offsets.data();
  for (int i = 0; i < n; ++i) {
    const int32_t offset = offsets[keys[i]];
    idx[i] = (idx[i] | offset) < 0 ? -1 : idx[i] + offset;
    if constexpr (kWithValue) val[i] = s.values[keys[i]];
  }
}

// A per-row column asked through ReadRow, only for the records still accepted.
void ApplyRowsAxis(const TSource& s, int32_t first, int n, int32_t* idx, double*) {
  for (int i = 0; i < n; ++i) {
    if (idx[i] < 0) continue;
    if (!s.col->ReadRow(first + i)) {
      idx[i] = -1;
      continue;
    }
    const int32_t key = s.col->FKey;
    idx[i] = (key < 0 || key >= s.limit) ? -1 : idx[i] + key * s.stride;
  }
}

// A filtered per-row text column, a block of lines at once.
void ApplyRowTextsAxis(const TSource& s, int32_t first, int n, int32_t* idx, double*) {
  int32_t keys[kBlock];
  s.col->ReadTextKeys(first, n, keys);
  for (int i = 0; i < n; ++i) {
    const int32_t key = keys[i];
    idx[i] = (idx[i] < 0 || key < 0 || key >= s.limit) ? -1 : idx[i] + key * s.stride;
  }
}

void ApplyRowTextsFilter(const TSource& s, int32_t first, int n, int32_t* idx, double*) {
  int32_t keys[kBlock];
  s.col->ReadTextKeys(first, n, keys);
  for (int i = 0; i < n; ++i)
    if (keys[i] == TCol::kRejected) idx[i] = -1;
}

void ApplyRowsFilter(const TSource& s, int32_t first, int n, int32_t* idx, double*) {
  for (int i = 0; i < n; ++i)
    if (idx[i] >= 0 && !s.col->ReadRow(first + i)) idx[i] = -1;
}

void ApplyRowsValue(const TSource& s, int32_t first, int n, int32_t* idx, double* val) {
  for (int i = 0; i < n; ++i) {
    if (idx[i] < 0) continue;
    if (!s.col->ReadRow(first + i) || !TakeNumber(*s.col, s.scaled, &val[i])) idx[i] = -1;
  }
}

// An unfiltered per-row value column passes every record with the value stored for its row, as
// ReadRow would give it (kScaled: as TakeNumber's scaled); only null values are rejected.
template <TValueType T, bool kScaled = false>
void ApplyRowValues(const TSource& s, int32_t first, int n, int32_t* idx, double* val) {
  for (int i = 0; i < n; ++i) {
    const size_t row = static_cast<size_t>(first + i);
    bool real;
    if constexpr (T == vtInt) {
      const int32_t v = s.col->FIntValues[row];
      val[i] = v;
      real = v != kIntNull;
    } else if constexpr (T == vtCur) {
      const int64_t v = s.col->FCurValues[row];
      val[i] = static_cast<double>(v) / (kScaled ? 1 : kCurScale);
      real = v != kCurNull;
    } else {
      const double v = s.col->FDateValues[row];
      val[i] = v;
      real = v < DateNull();
    }
    idx[i] = real ? idx[i] : -1;
  }
}

// Adds a block to the accumulators; rejected records go to the spare cells after the grid, in
// turn: a run of rejected records then does not wait on the increment of one cell each time.
using TAccumulate = void (*)(TAccumulators& acc, int n, const int32_t* idx, const double* val);

template <TFold F>
void Accumulate(TAccumulators& acc, int n, const int32_t* idx, const double* val) {
  int32_t* count = acc.count.data();
  double* value = acc.value.data();
  const int32_t spare = static_cast<int32_t>(acc.count.size()) - TAccumulators::kSpareCells;
  uint64_t* scaled = acc.scaled.data();
  for (int i = 0; i < n; ++i) {
    const size_t k =
        static_cast<size_t>(idx[i] < 0 ? spare + (i & (TAccumulators::kSpareCells - 1)) : idx[i]);
    ++count[k];
    if constexpr (F == TFold::kScaledSum)
      AddScaled(scaled, k, val[i]);
    else
      FoldNumber<F>(count, value, k, val[i]);
  }
}

TAccumulate ChooseAccumulate(TFold fold) {
  switch (fold) {
    case TFold::kSum:
      return &Accumulate<TFold::kSum>;
    case TFold::kScaledSum:
      return &Accumulate<TFold::kScaledSum>;
    case TFold::kMin:
      return &Accumulate<TFold::kMin>;
    case TFold::kMax:
      return &Accumulate<TFold::kMax>;
    case TFold::kLast:
      return &Accumulate<TFold::kLast>;
    default:
      return &Accumulate<TFold::kNone>;
  }
}

// The per-key value and whether it is null; scaled as TakeNumber's.
bool KeyValue(const TCol& col, size_t key, bool scaled, double* v) {
  switch (col.FValueType) {
    case vtInt:
      *v = col.FIntValues[key];
      return col.FIntValues[key] != kIntNull;
    case vtCur:
      *v = static_cast<double>(col.FCurValues[key]) / (scaled ? 1 : kCurScale);
      return col.FCurValues[key] != kCurNull;
    case vtDat:
      *v = col.FDateValues[key];
      return col.FDateValues[key] < DateNull();
    case vtStr:
      *v = 0;
      return true;
  }
  return true;
}

// A per-row column: numbers through ReadRow, or an unfiltered value column straight from its
// array; filtered texts a block of lines at a time. False when it needs the generic pass.
bool PlanRowSource(const TWorkspace& ws, bool isAxis, bool isValue, TSource* s) {
  const TCol& col = *s->col;
  if (col.FValueType == vtStr) {
    // A text as the value, or an unfiltered text axis: row by row, the generic pass.
    if (isValue || !col.FFiltered) return false;
    s->apply = isAxis ? &ApplyRowTextsAxis : &ApplyRowTextsFilter;
    return true;
  }
  s->apply = isAxis ? &ApplyRowsAxis : isValue ? &ApplyRowsValue : &ApplyRowsFilter;
  if (isValue && !col.FFiltered && !isAxis) {
    const size_t rows = static_cast<size_t>(ws.FRowCount);
    if (col.FValueType == vtInt && col.FIntValues.size() >= rows)
      s->apply = &ApplyRowValues<vtInt>;
    else if (col.FValueType == vtCur && col.FCurValues.size() >= rows)
      s->apply = s->scaled ? &ApplyRowValues<vtCur, true> : &ApplyRowValues<vtCur>;
    else if (col.FValueType == vtDat && col.FDateValues.size() >= rows)
      s->apply = &ApplyRowValues<vtDat>;
  }
  return true;
}

// A key-stored column: its key array through a per-key table of cell offsets (and values). False
// when its tables are shorter than they should be.
bool PlanKeySource(const TWorkspace& ws, bool isAxis, bool isValue, bool needValue, TSource* s) {
  TCol& col = *s->col;
  const std::vector<int32_t>& cats = col.KeyCategories();
  const size_t keyCount = static_cast<size_t>(std::max(col.Count(), 0));
  if (cats.size() < keyCount) return false;
  const bool byteKeys = col.FStorage == csByt;
  if (byteKeys ? col.FByteKeys.size() < static_cast<size_t>(ws.FRowCount)
               : col.FWordKeys.size() < static_cast<size_t>(ws.FRowCount))
    return false;
  // Every possible key gets an entry, so a damaged key cannot read outside the table.
  const size_t tableSize = std::max(keyCount, byteKeys ? size_t{256} : size_t{65536});
  s->offsets.assign(tableSize, -1);
  if (isValue) s->values.assign(tableSize, 0.0);
  for (size_t k = 0; k < keyCount; ++k) {
    const int32_t cat = cats[k];
    if (cat < 0) continue;
    if (isAxis) {
      if (cat < s->limit) s->offsets[k] = cat * s->stride;
    } else if (isValue) {
      double v = 0;
      if (KeyValue(col, k, s->scaled, &v)) {
        s->offsets[k] = 0;
        s->values[k] = v;
      }
    } else {
      s->offsets[k] = 0;
    }
  }
  s->keys = byteKeys ? static_cast<const void*>(col.FByteKeys.data())
                     : static_cast<const void*>(col.FWordKeys.data());
  const bool withValue = isValue && needValue;
  if (byteKeys)
    s->apply = withValue ? &ApplyKeys<uint8_t, true> : &ApplyKeys<uint8_t, false>;
  else
    s->apply = withValue ? &ApplyKeys<uint16_t, true> : &ApplyKeys<uint16_t, false>;
  return true;
}

// Builds the sources of the block pass; false when some column needs the generic pass.
bool PlanBlockPass(TWorkspace& ws, const TRunPlan& plan, std::vector<TSource>* sources) {
  if (FoldsText(plan.fold)) return false;
  const bool needValue = FoldsValue(plan.fold);
  for (TCol* col : ParticipatingColumns(ws)) {
    TSource s;
    s.col = col;
    const bool isCol = col->FIndex == plan.colAxis, isRow = col->FIndex == plan.rowAxis;
    const bool isValue = col->FIndex == plan.valueCol;
    s.limit = isCol ? plan.nc : isRow ? plan.nr : 0;
    s.stride = isCol ? 1 : isRow ? plan.nc + 1 : 0;
    s.scaled = isValue && plan.fold == TFold::kScaledSum;
    const bool planned = col->FStorage == csLon
                             ? PlanRowSource(ws, isCol || isRow, isValue, &s)
                             : PlanKeySource(ws, isCol || isRow, isValue, needValue, &s);
    if (!planned) return false;
    sources->push_back(std::move(s));
  }
  return true;
}

// The records [begin, end) into acc.
void BlockRange(int32_t begin, int32_t end, TFold fold, TAccumulators& acc,
                const std::vector<TSource>& sources) {
  const TAccumulate accumulate = ChooseAccumulate(fold);
  int32_t idx[kBlock];
  double val[kBlock];
  std::fill(val, val + kBlock, 0.0);
  for (int32_t first = begin; first < end; first += kBlock) {
    const int n = static_cast<int>(std::min<int32_t>(kBlock, end - first));
    std::memset(idx, 0, sizeof(int32_t) * static_cast<size_t>(n));
    for (const TSource& s : sources) s.apply(s, first, n, idx, val);
    accumulate(acc, n, idx, val);
  }
}

// Whether the sources read only arrays, no column cursor: ReadRow and ReadTextKeys move one.
bool ArraysOnly(const std::vector<TSource>& sources) {
  return std::all_of(sources.begin(), sources.end(), [](const TSource& s) {
    return s.keys != nullptr || s.apply == &ApplyRowValues<vtInt> ||
           s.apply == &ApplyRowValues<vtCur> || s.apply == &ApplyRowValues<vtCur, true> ||
           s.apply == &ApplyRowValues<vtDat>;
  });
}

// Whether a sum of the value column is a sum of currency that can be taken exactly, as the sum of
// its stored integers: every one of them is a whole number a double holds exactly, and no sum of
// them leaves 64 bits. The cell then gets the exact sum, rounded once, whatever the order of its
// records. A damaged column beyond its extremes gives a wrong sum, never undefined behaviour: the
// sums wrap.
bool SumsScaled(const TWorkspace& ws, const TRunPlan& plan) {
  if (plan.fold != TFold::kSum || plan.valueCol < 0) return false;
  const TCol& col = *ws.FCols[static_cast<size_t>(plan.valueCol)];
  if (col.FValueType != vtCur) return false;
  double largest = 0;  // of the stored integers
  if (col.FStorage == csLon) {
    largest = std::max(std::abs(col.FMin), std::abs(col.FMax)) * kCurScale;
  } else {
    for (const int64_t v : col.FCurValues)
      if (v != kCurNull) largest = std::max(largest, std::abs(static_cast<double>(v)));
  }
  return largest < 9007199254740992.0 &&
         largest * static_cast<double>(std::max(ws.FRowCount, 1)) < 9.2e18;
}

// Whether the fold comes out the same however the records are split into ranges: counts, the
// extremes, the last value and exact sums of currency always; other sums only of whole numbers
// whose sum of magnitudes stays below 2^53, where every partial sum is exact. Other sums
// (currency beyond those bounds, dates, times) are folded on one thread, in record order.
bool SplitsExactly(const TWorkspace& ws, const TRunPlan& plan,
                   const std::vector<TSource>& sources) {
  if (plan.fold != TFold::kSum) return true;
  for (const TSource& s : sources) {
    if (s.col->FIndex != plan.valueCol) continue;
    if (s.col->FValueType != vtInt) return false;
    double largest = 0;
    if (s.keys != nullptr) {
      for (const double v : s.values) largest = std::max(largest, std::abs(v));
    } else {
      largest = std::max(std::abs(s.col->FMin), std::abs(s.col->FMax));
    }
    return largest * static_cast<double>(ws.FRowCount) < 9007199254740992.0;
  }
  return true;
}

// Adds part, the accumulators of the records after those of acc, into acc.
void MergeInto(TFold fold, TAccumulators& acc, const TAccumulators& part) {
  for (size_t k = 0; k < acc.count.size(); ++k) {
    const int32_t n = part.count[k];
    if (n == 0) continue;
    const double v = part.value[k];
    double& cur = acc.value[k];
    const bool first = acc.count[k] == 0;
    acc.count[k] += n;
    switch (fold) {
      case TFold::kSum:
        cur += v;
        break;
      case TFold::kScaledSum:
        acc.scaled[k] += part.scaled[k];
        break;
      case TFold::kMin:
        cur = (first || v < cur) ? v : cur;
        break;
      case TFold::kMax:
        cur = (first || v > cur) ? v : cur;
        break;
      case TFold::kLast:
        cur = v;
        break;
      default:
        break;
    }
  }
}

// Below this many records a range, starting a thread costs more than it saves.
constexpr int32_t kRowsPerThread = 1 << 18;

// The threads of a pass over rows records: the forced number, else the machine's cores, one per
// kRowsPerThread records at most.
int PassThreads(const TWorkspace& ws, int32_t rows) {
  int forced = ws.passThreads;
  if (forced <= 0) forced = std::atoi(sys::EnvironmentVariable("TABULON_PASS_THREADS").c_str());
  if (forced > 0) return std::min(forced, std::max(rows, 1));
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  return std::max(1, std::min(cores, static_cast<int>(rows / kRowsPerThread)));
}

// The records in ranges, one per thread, each into accumulators of its own, then added in range
// order; one range when the sources or the fold do not allow more.
void BlockPass(TWorkspace& ws, const TRunPlan& plan, TAccumulators& acc,
               const std::vector<TSource>& sources) {
  const int32_t rows = ws.FRowCount;
  int threads = PassThreads(ws, rows);
  if (threads > 1 && !(ArraysOnly(sources) && SplitsExactly(ws, plan, sources))) threads = 1;
  if (threads <= 1) {
    BlockRange(0, rows, plan.fold, acc, sources);
    return;
  }
  auto boundary = [&](int t) { return static_cast<int32_t>(int64_t{rows} * t / threads); };
  std::vector<TAccumulators> parts(static_cast<size_t>(threads - 1));
  std::vector<std::thread> workers;
  for (int t = 1; t < threads; ++t) {
    TAccumulators& part = parts[static_cast<size_t>(t - 1)];
    part.Reset(acc.nc, acc.nr);
    part.scaled.assign(acc.scaled.size(), 0);
    try {
      workers.emplace_back(BlockRange, boundary(t), boundary(t + 1), plan.fold, std::ref(part),
                           std::cref(sources));
    } catch (const std::system_error&) {
      // No thread to be had: this range here, after the first.
      BlockRange(boundary(t), boundary(t + 1), plan.fold, part, sources);
    }
  }
  BlockRange(0, boundary(1), plan.fold, acc, sources);
  for (std::thread& worker : workers) worker.join();
  for (const TAccumulators& part : parts) MergeInto(plan.fold, acc, part);
}

}  // namespace

void TAccumulators::Reset(int dataCols, int dataRows) {
  nc = dataCols;
  nr = dataRows;
  // Spare cells after the grid take the rejected records of the block pass.
  const size_t cells = static_cast<size_t>(nc + 1) * static_cast<size_t>(nr + 1) + kSpareCells;
  count.assign(cells, 0);
  value.assign(cells, 0.0);
}

void RecordPass(TWorkspace& ws, const TRunPlan& plan, TAccumulators& acc, TResultTable* table) {
  if (ws.skipRecordPasses) return;
  TRunPlan pass = plan;
  if (SumsScaled(ws, plan)) {
    pass.fold = TFold::kScaledSum;
    acc.scaled.assign(acc.count.size(), 0);
  }
  std::vector<TSource> sources;
  if (!ws.forceGenericPass && PlanBlockPass(ws, pass, &sources))
    BlockPass(ws, pass, acc, sources);
  else
    GenericPass(ws, pass, acc, table);
  if (pass.fold == TFold::kScaledSum) {
    for (size_t k = 0; k < acc.value.size(); ++k)
      acc.value[k] = static_cast<double>(static_cast<int64_t>(acc.scaled[k])) / kCurScale;
    acc.scaled.clear();
  }
}

}  // namespace engine_detail
}  // namespace tabulon
