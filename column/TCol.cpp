#include "column/TCol.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Bytes.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/LineReader.h"
#include "platform/LocaleFormats.h"
#include "platform/SjisText.h"
#include "text/HenkanJ.h"

namespace tabulon {

namespace {

constexpr int32_t kByteKeyLimit = 256;              // distinct texts that 8-bit keys hold
constexpr int32_t kWordKeyLimit = TCol::kMaxCount;  // distinct texts kept with 16-bit keys
constexpr size_t kMaxSpellings = 8192;  // exact spellings remembered for the fast look-up
constexpr size_t kCopyBlock = 1 << 16;  // records per block when a file is rewritten

constexpr int32_t kIntStartMin = 2147483647;
constexpr int32_t kIntStartMax = -2147483647;
constexpr double kCurStartMax = 922337203685477.5807;

std::string_view TrimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 0x20) --e;
  return s.substr(b, e - b);
}

// A cell converted under one value type.
struct Converted {
  bool null = true;  // the type's null marker (a blank cell, "(null)", or a text that fails)
  bool ok = true;    // false when the text did not convert
  int32_t i = kIntNull;
  int64_t c = kCurNull;
  double d = 0;
};

// Converts the normalised text n of a cell (text) under type t. A blank or "(null)" cell is null.
Converted ConvertNormalised(std::string_view text, std::string_view n, TValueType t) {
  Converted v;
  v.d = DateNull();
  if (text == kNullText || TrimBlanks(n).empty()) return v;
  switch (t) {
    case vtInt:
      v.ok = TryStrToInt(n, &v.i);
      break;
    case vtCur:
      v.ok = TryStrToCur(n, &v.c);
      break;
    case vtDat:
      v.ok = TryStrToDateTime(n, &v.d);
      break;
    case vtStr:
      break;
  }
  if (v.ok) {
    v.null = false;
  } else {  // stored as the null marker
    v.i = kIntNull;
    v.c = kCurNull;
    v.d = DateNull();
  }
  return v;
}

// An open-addressing hash index from byte strings to non-negative numbers. Texts of up to 8
// bytes, most cells of a keyed column, are held in a table of their own as one word and their
// length, 16 bytes a slot: a probe then reads one slot and neither hashes nor compares bytes
// elsewhere in memory, and a table of thousands of short texts stays small enough for the cache.
class TextIndex {
 public:
  TextIndex() {
    slots_.resize(64);
    short_.resize(64);
  }

  // The number stored for bytes, or -1.
  int32_t Find(std::string_view bytes) const {
    if (bytes.size() <= 8) {
      const uint64_t word = WordOf(bytes);
      const uint32_t length = static_cast<uint32_t>(bytes.size());
      const size_t mask = short_.size() - 1;
      for (size_t i = ShortHash(word, length) & mask;; i = (i + 1) & mask) {
        const ShortSlot& s = short_[i];
        if (s.value < 0) return -1;
        if (s.word == word && s.length == length) return s.value;
      }
    }
    const uint64_t hash = HashBytes(bytes);
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& s = slots_[i];
      if (s.value < 0) return -1;
      if (s.hash == hash && s.length == bytes.size() &&
          std::memcmp(arena_.data() + s.offset, bytes.data(), bytes.size()) == 0)
        return s.value;
    }
  }

  // REQUIRES: bytes not present.
  void Insert(std::string_view bytes, int32_t value) {
    if (static_cast<size_t>(value) >= spans_.size()) spans_.resize(static_cast<size_t>(value) + 1);
    spans_[static_cast<size_t>(value)] = {arena_.size(), bytes.size()};
    if (bytes.size() <= 8) {
      Put(short_, &shortSize_, ShortSlot{WordOf(bytes), static_cast<uint32_t>(bytes.size()), value},
          [](const ShortSlot& s) { return ShortHash(s.word, s.length); });
    } else {
      Put(slots_, &size_, Slot{HashBytes(bytes), arena_.size(), bytes.size(), value},
          [](const Slot& s) { return static_cast<size_t>(s.hash); });
    }
    arena_.append(bytes);
  }

  // The bytes stored for a number. REQUIRES: value was inserted.
  std::string_view BytesOf(int32_t value) const {
    const auto& span = spans_[static_cast<size_t>(value)];
    return std::string_view(arena_.data() + span.first, span.second);
  }

 private:
  struct Slot {
    uint64_t hash = 0;
    size_t offset = 0;  // of the bytes in arena_
    size_t length = 0;
    int32_t value = -1;  // -1 marks an empty slot
  };
  struct ShortSlot {
    uint64_t word = 0;  // the bytes, the first in the lowest byte, zero after the last
    uint32_t length = 0;
    int32_t value = -1;  // -1 marks an empty slot
  };

  // Up to 8 bytes as one word, in at most three loads that may overlap.
  static uint64_t WordOf(std::string_view bytes) {
    const char* p = bytes.data();
    const size_t n = bytes.size();
    if (n >= 4) {
      uint32_t head, tail;
      std::memcpy(&head, p, 4);
      std::memcpy(&tail, p + n - 4, 4);
      return head | (static_cast<uint64_t>(tail) << ((n - 4) * 8));
    }
    if (n == 0) return 0;
    const auto at = [p](size_t i) {
      return static_cast<uint64_t>(static_cast<unsigned char>(p[i]));
    };
    return at(0) | (at(n >> 1) << ((n >> 1) * 8)) | (at(n - 1) << ((n - 1) * 8));
  }
  static size_t ShortHash(uint64_t word, uint32_t length) {
    // One wide multiplication folds every byte into the low bits the table's mask keeps.
    return static_cast<size_t>(
        hash_detail::Mix(word ^ 0xa0761d6478bd642full, length ^ 0xe7037ed1a0b428dbull));
  }

  // s into the first free slot from its hash on; the table doubled first when it would be more
  // than half full.
  template <typename SlotType, typename HashOf>
  static void Put(std::vector<SlotType>& table, size_t* used, const SlotType& s, HashOf hashOf) {
    if ((*used + 1) * 2 > table.size()) {
      std::vector<SlotType> old(table.size() * 2);
      old.swap(table);
      for (const SlotType& o : old)
        if (o.value >= 0) PutInto(table, o, hashOf(o));
    }
    PutInto(table, s, hashOf(s));
    ++*used;
  }
  template <typename SlotType>
  static void PutInto(std::vector<SlotType>& table, const SlotType& s, size_t hash) {
    const size_t mask = table.size() - 1;
    size_t i = hash & mask;
    while (table[i].value >= 0) i = (i + 1) & mask;
    table[i] = s;
  }

  std::vector<Slot> slots_;                       // power-of-two table of the longer texts
  std::vector<ShortSlot> short_;                  // power-of-two table of texts up to 8 bytes
  std::string arena_;                             // the bytes of every key, back to back
  std::vector<std::pair<size_t, size_t>> spans_;  // offset and length in arena_ by number
  size_t size_ = 0;                               // longer keys stored
  size_t shortSize_ = 0;                          // short keys stored
};

}  // namespace

// The import state of a column.
class TCol::Writer {
 public:
  struct Spelling {
    int32_t key;          // distinct text it belongs to
    TValueType verified;  // the type it last converted under (tests are skipped while equal)
  };

  OutFile dat;          // i.Dat, open for appending
  TextIndex spellings;  // exact cell text -> index in spelling
  std::vector<Spelling> spelling;
  TextIndex folded;      // case-folded text -> key
  std::string lastText;  // the cell before and its spelling: sorted exports repeat cells
  int32_t lastSpelling = -1;
  // Spellings from verifiedFrom on were added under the type that holds now (the type has not
  // widened since), and while spellingIsKey every spelling's key is its own number (no two differ
  // in letter case alone): a spelling found in that range is its key, without a look at spelling.
  int32_t verifiedFrom = 0;
  bool spellingIsKey = true;
  std::string foldScratch;  // reused buffers
  std::string normScratch;
  // The time stamps of a per-row vtDat column, read without the general parser.
  TStampReader stamps;

  // While a csLon column has a numeric type, its values are also written as records to i.Val, so
  // that Finish need not convert every row again when the type stays as it is.
  OutFile values;
  bool valuesValid = false;
  TValueType valuesType = vtInt;
  // While such a vtDat column has met time stamps alone since it became per-row, their texts are
  // not written to i.Dat: each is the stamp of its value (AppendStamp), and when the type holds to
  // the end, i.Val replaces i.Dat anyway. They are the last unwrittenStamps records of i.Val, and
  // go to i.Dat (WriteOutStampTexts) before any other text does, or when the type widens.
  int64_t unwrittenStamps = 0;
  bool stampsOnly = true;  // no text has been written out after the stamps (so at most once)
};

TCol::TCol() = default;

TCol::~TCol() {
  Abandon();
}

std::string TCol::DatPath() const {
  return ColumnFilePath(FDir, FIndex, TColumnFile::kDat);
}
std::string TCol::IndPath() const {
  return ColumnFilePath(FDir, FIndex, TColumnFile::kInd);
}
std::string TCol::TmpPath() const {
  return ColumnFilePath(FDir, FIndex, TColumnFile::kTmp);
}
static std::string ValPath(const TCol& c) {
  return ColumnFilePath(c.FDir, c.FIndex, TColumnFile::kVal);
}

void TCol::ResetState(const std::string& dir, const std::string& name, int32_t rows) {
  FRows = rows;
  FWeekdayFilter = -1;
  FLoaded = false;
  FStorage = csByt;
  FValueType = vtInt;
  FRole = 3;
  FValues.clear();
  FSelected.clear();
  FDir = dir;
  FName = name;
  ResetExtremes();
  FByteKeys.clear();
  FWordKeys.clear();
  FIntValues.clear();
  FCurValues.clear();
  FDateValues.clear();
  FFiltered = false;
  FDateUnit = 0;
  FDivisions = 0;
  FLower = FUpper = 0;
  FTimeLower = 0;
  FTimeUpper = kLastMsOfDay;
  timesSought_ = timesBetween_ = false;
  FPattern.clear();
  FCount = 0;
  FKey = 0;
  FIntValue = 0;
  FCurValue = 0;
  FDateValue = 0;
  FText.clear();
  FDayOfWeek = 0;
  rowTexts_.Clear();
  rowTextsVersion_ = 0;
  datStamp_ = FileStamp();
}

// ---------------------------------------------------------------- writing

void TCol::OpenForImport(const std::string& dir, const std::string& name, size_t bufferBytes) {
  Abandon();
  ResetState(dir, name, 0);
  writer_ = std::make_unique<Writer>();
  writer_->dat.SetBufferSize(bufferBytes);
  writer_->values.SetBufferSize(bufferBytes);
  writer_->dat.Create(DatPath());
}

namespace {

// Moves the type on while the normalised text n does not convert; returns the conversion under
// the type it ends at.
Converted Widen(std::string_view text, std::string_view n, TValueType* type) {
  Converted v = ConvertNormalised(text, n, *type);
  while (!v.ok) {
    *type = static_cast<TValueType>(*type + 1);
    if (*type == vtStr) return Converted{};
    v = ConvertNormalised(text, n, *type);
  }
  return v;
}

// Type inference: widens *type while the normalised text does not convert (a type, once widened,
// never narrows; vtStr takes every text) and returns the conversion under the type it ends at.
Converted InferType(std::string_view text, TValueType* type, std::string* scratch) {
  if (*type == vtStr) return Converted{};
  if (IsHankakuAlready(text)) return Widen(text, text, type);
  ToHankakuInto(text, scratch);
  return Widen(text, *scratch, type);
}

// Appends a converted value as a record of the type's width and notes it in the extremes.
void WriteValue(TCol& c, OutFile& out, const Converted& v) {
  switch (c.FValueType) {
    case vtInt:
      out.WriteRecord(v.i);
      if (!v.null && v.i >= -2147483646) {
        if (v.i < c.FIntMin) c.FIntMin = v.i;
        if (v.i > c.FIntMax) c.FIntMax = v.i;
      }
      break;
    case vtCur:
      out.WriteRecord(v.c);
      if (!v.null && v.c > kCurNull) {
        const double d = static_cast<double>(v.c) / kCurScale;
        if (d < c.FMin) c.FMin = d;
        if (d > c.FMax) c.FMax = d;
      }
      break;
    case vtDat:
      out.WriteRecord(v.d);
      if (!v.null && v.d < DateNull()) {
        if (v.d < c.FDateMin) c.FDateMin = v.d;
        if (v.d > c.FDateMax) c.FDateMax = v.d;
      }
      break;
    case vtStr:
      break;
  }
}

}  // namespace

void TCol::AddValue(std::string_view text) {
  if (FStorage == csLon) {
    AppendRowText(text);
    return;
  }
  const int32_t key = DistinctKeyOf(text);
  if (FStorage == csLon)
    AppendRowText(text);  // the cell that made the column per-row is its first text row
  else
    WriteKey(key);
}

void TCol::AppendRowText(std::string_view text) {
  Writer& w = *writer_;
  const TValueType before = FValueType;
  Converted v;
  // A time stamp converts as InferType would convert it: ASCII alone, no blank, a date.
  const bool stamp = FValueType == vtDat && w.stamps.TryRead(text, &v.d);
  if (stamp)
    v.null = false;
  else
    v = InferType(text, &FValueType, &w.normScratch);
  if (w.valuesValid && FValueType != before) {
    WriteOutStampTexts();
    w.values.Abandon();
    w.valuesValid = false;
  }
  if (stamp && w.valuesValid && w.stampsOnly) {
    ++w.unwrittenStamps;
  } else {
    if (w.stampsOnly) WriteOutStampTexts();
    w.dat.WriteLine(text);
  }
  if (w.valuesValid) WriteValue(*this, w.values, v);
}

void TCol::WriteOutStampTexts() {
  Writer& w = *writer_;
  w.stampsOnly = false;
  if (w.unwrittenStamps == 0) return;
  // i.Val ends with the values of those rows; the records before them are skipped.
  const std::string val = ValPath(*this);
  w.values.Close();
  const int64_t records = FileSize(val) / static_cast<int64_t>(sizeof(double));
  const int64_t skip = records - w.unwrittenStamps;
  InFile in;
  in.Open(val);
  std::vector<double> block(kCopyBlock);
  std::string text;
  for (int64_t at = 0; at < records;) {
    const size_t n = static_cast<size_t>(std::min<int64_t>(records - at, kCopyBlock));
    in.ReadExact(block.data(), n * sizeof(double));
    for (size_t i = 0; i < n; ++i) {
      if (at + static_cast<int64_t>(i) < skip) continue;
      text.clear();
      AppendStamp(block[i], &text);
      w.dat.WriteLine(text);
    }
    at += static_cast<int64_t>(n);
  }
  in.Close();
  w.values.OpenAppend(val);
  w.unwrittenStamps = 0;
}

int32_t TCol::DistinctKeyOf(std::string_view text) {
  Writer& w = *writer_;
  int32_t known = -1;  // the spelling met before, or -1
  if (w.lastSpelling >= 0 && text.size() > 8 && text == w.spellings.BytesOf(w.lastSpelling)) {
    known = w.lastSpelling;  // a repeated long text is not hashed again
  } else {
    known = w.spellings.Find(text);
    w.lastSpelling = known;
  }
  if (known >= 0) {
    // Met since the type last widened, and its own key: nothing to look up or test again.
    if (known >= w.verifiedFrom && w.spellingIsKey) return known;
    // A spelling met before: its key, and the type tested again only when it widened since.
    Writer::Spelling& sp = w.spelling[static_cast<size_t>(known)];
    if (sp.verified != FValueType) {
      const TValueType before = FValueType;
      InferType(text, &FValueType, &w.normScratch);
      if (FValueType != before) w.verifiedFrom = static_cast<int32_t>(w.spelling.size());
      sp.verified = FValueType;
    }
    return sp.key;
  }
  const TValueType before = FValueType;
  InferType(text, &FValueType, &w.normScratch);
  if (FValueType != before) w.verifiedFrom = static_cast<int32_t>(w.spelling.size());
  w.foldScratch.clear();
  AppendFoldKey(text, &w.foldScratch);
  int32_t key = w.folded.Find(w.foldScratch);
  if (key < 0) {
    key = static_cast<int32_t>(FValues.size());
    FValues.emplace_back(text);
    w.folded.Insert(w.foldScratch, key);
    FCount = static_cast<int32_t>(FValues.size());
    if (FStorage == csByt && FCount > kByteKeyLimit) {
      ConvertToWordKeys();
    } else if (FStorage == csWor && FCount > kWordKeyLimit) {
      ConvertToText();
      FStorage = csLon;
      return key;
    }
  }
  if (w.spelling.size() < kMaxSpellings) {
    w.lastSpelling = static_cast<int32_t>(w.spelling.size());
    w.spellings.Insert(text, w.lastSpelling);
    w.spelling.push_back({key, FValueType});
    if (key != w.lastSpelling) w.spellingIsKey = false;
  }
  return key;
}

void TCol::WriteKey(int32_t key) {
  Writer& w = *writer_;
  if (FStorage == csByt)
    w.dat.WriteRecord(static_cast<uint8_t>(key));
  else
    w.dat.WriteRecord(static_cast<uint16_t>(key));
}

namespace {

// The conversion of a stored cell text under type t, normalising through scratch.
Converted ConvertText(std::string_view text, TValueType t, std::string* scratch) {
  if (IsHankakuAlready(text)) return ConvertNormalised(text, text, t);
  ToHankakuInto(text, scratch);
  return ConvertNormalised(text, *scratch, t);
}

}  // namespace

void TCol::ResetExtremes() {
  FIntMin = kIntStartMin;
  FIntMax = kIntStartMax;
  FMin = kCurStartMax;
  FMax = -kCurStartMax;
  FDateMin = DateNull();
  FDateMax = -DateNull();  // below every date-time: dates before 1899-12-30 are negative
}

void TCol::ReopenDatAfterTmp(InFile* tmp) {
  Writer& w = *writer_;
  w.dat.Close();
  DeleteFileIfExists(TmpPath());
  RenameFile(DatPath(), TmpPath());
  tmp->Open(TmpPath());
  w.dat.Create(DatPath());
}

void TCol::ConvertToWordKeys() {
  Writer& w = *writer_;
  const std::string tmp = TmpPath();
  InFile in;
  ReopenDatAfterTmp(&in);
  std::vector<uint8_t> block(kCopyBlock);
  for (;;) {
    const size_t n = in.ReadSome(block.data(), block.size());
    if (n == 0) break;
    for (size_t i = 0; i < n; ++i) w.dat.WriteRecord(static_cast<uint16_t>(block[i]));
  }
  in.Close();
  DeleteFileIfExists(tmp);
  FStorage = csWor;
}

void TCol::ConvertToText() {
  Writer& w = *writer_;
  const std::string tmp = TmpPath();
  InFile in;
  ReopenDatAfterTmp(&in);

  // A numeric column also gets its values as records from here on (see Writer::values).
  std::vector<Converted> converted;
  if (FValueType != vtStr) {
    converted.reserve(FValues.size());
    for (const std::string& v : FValues)
      converted.push_back(ConvertText(v, FValueType, &w.normScratch));
    w.values.Create(ValPath(*this));
    w.valuesValid = true;
    w.valuesType = FValueType;
  }

  std::vector<uint16_t> block(kCopyBlock);
  size_t carry = 0;  // bytes of a record split across two reads
  for (;;) {
    char* bytes = reinterpret_cast<char*>(block.data());
    const size_t n = in.ReadSome(bytes + carry, block.size() * 2 - carry) + carry;
    if (n == carry) {
      if (carry != 0)
        throw IoError(tmp, TFileAction::kRead, DamagedReason("odd length", "長さが奇数です"));
      break;
    }
    const size_t records = n / 2;
    for (size_t i = 0; i < records; ++i) {
      const uint16_t k = block[i];
      if (k >= FValues.size())
        throw IoError(tmp, TFileAction::kRead,
                      DamagedReason("a key points past the values", "値のない番号があります"));
      w.dat.WriteLine(FValues[k]);
      if (w.valuesValid) WriteValue(*this, w.values, converted[k]);
    }
    carry = n - records * 2;
    if (carry) bytes[0] = bytes[records * 2];
  }
  in.Close();
  DeleteFileIfExists(tmp);

  // From here on distinct texts are no longer counted; FCount keeps its value.
  FValues.clear();
  FValues.shrink_to_fit();
  w.spellings = TextIndex();
  w.lastSpelling = -1;
  w.spelling.clear();
  w.spelling.shrink_to_fit();
  w.folded = TextIndex();
}

void TCol::Finish(const std::string& indPath) {
  Writer& w = *writer_;
  // The text of every row when i.Val does not become i.Dat.
  if (!(w.valuesValid && w.valuesType == FValueType)) WriteOutStampTexts();
  w.dat.Close();
  if (FStorage != csLon) {
    OutFile ind;
    ind.Create(indPath);
    for (const std::string& v : FValues) {
      if (FValueType == vtStr)
        ind.WriteLine(v);
      else
        WriteValue(*this, ind, ConvertText(v, FValueType, &w.normScratch));
    }
    ind.Close();
  } else if (FValueType != vtStr) {
    const std::string dat = DatPath(), tmp = TmpPath(), val = ValPath(*this);
    if (w.valuesValid && w.valuesType == FValueType) {
      // The records written along the way are the conversion of every row under the final type.
      w.values.Close();
      RenameFile(val, dat);
    } else {
      w.values.Abandon();
      DeleteFileIfExists(val);
      ResetExtremes();
      DeleteFileIfExists(tmp);
      RenameFile(dat, tmp);
      {
        LineReader rows(tmp, LineEnds::kCrLf);
        OutFile out;
        out.Create(dat);
        std::string_view line;
        while (rows.ReadLine(&line))
          WriteValue(*this, out, ConvertText(line, FValueType, &w.normScratch));
        out.Close();
      }
      DeleteFileIfExists(tmp);
    }
  } else {
    w.values.Abandon();
    DeleteFileIfExists(ValPath(*this));
  }
  writer_.reset();
}

void TCol::Abandon() {
  writer_.reset();  // the OutFile destructors close without reporting
}

// ---------------------------------------------------------------- reading

void TCol::Open(const std::string& dir, const std::string& name, int32_t rows) {
  Abandon();
  ResetState(dir, name, rows);
}

void TCol::SetTypes(std::string_view valType, std::string_view colType) {
  ParseValueType(valType, &FValueType);
  ParseStorage(colType, &FStorage);
}

namespace {

template <typename K>
K TopKey(const Records<K>& keys) {
  return MaxKey(keys.data(), keys.size());
}

template <typename K>
void CheckKeys(const Records<K>& keys, size_t values, const std::string& path) {
  if (!keys.empty() && TopKey(keys) >= values)
    throw IoError(path, TFileAction::kRead,
                  DamagedReason("a key points past the distinct values", "値のない番号があります"));
}

}  // namespace

void TCol::Load() {
  if (FRole == 3 && !FFiltered) return;
  if (!FLoaded || FStorage == csLon) ReadFiles();
  PrepareRows();
}

void TCol::ReadFiles() {
  if (FRows < 0)
    throw IoError(DatPath(), TFileAction::kRead,
                  DamagedReason("negative row count", "行数が負の数です"));

  if (FStorage == csLon) {
    // Kept while the file is unchanged: reading it again would give the same values.
    const FileStamp stamp = StampOf(DatPath());
    if (FLoaded && stamp.size >= 0 && stamp == datStamp_) return;
    if (FValueType == vtStr) {
      // The text is read when rows are asked for (ReadRowTexts), which keeps it while the file
      // is unchanged, also when a search walk read it before this Load; a missing file is an
      // error of Load.
      InFile probe;
      probe.Open(DatPath());
      FLoaded = true;
      return;
    }
    datStamp_ = FileStamp();
    switch (FValueType) {
      case vtInt:
        ReadRecords(DatPath(), FRows, &FIntValues);
        break;
      case vtCur:
        ReadRecords(DatPath(), FRows, &FCurValues);
        break;
      case vtDat:
        ReadRecords(DatPath(), FRows, &FDateValues);
        break;
      case vtStr:
        break;  // read when its rows are asked for, above
    }
    datStamp_ = stamp;
    FLoaded = true;
    return;
  }

  if (FStorage == csByt)
    ReadRecords(DatPath(), FRows, &FByteKeys);
  else
    ReadRecords(DatPath(), FRows, &FWordKeys);

  size_t values = 0;
  switch (FValueType) {
    case vtInt:
      ReadRecords(IndPath(), FCount, &FIntValues);
      values = FIntValues.size();
      break;
    case vtCur:
      ReadRecords(IndPath(), FCount, &FCurValues);
      values = FCurValues.size();
      break;
    case vtDat:
      ReadRecords(IndPath(), FCount, &FDateValues);
      values = FDateValues.size();
      break;
    case vtStr: {
      if (!FileExists(IndPath())) throw IoError(IndPath(), TFileAction::kOpen, ENOENT);
      FValues.clear();
      LineReader lines(IndPath(), LineEnds::kCrLf);
      std::string_view line;
      while (lines.ReadLine(&line)) FValues.emplace_back(line);
      values = FValues.size();
      break;
    }
  }
  if (FStorage == csByt)
    CheckKeys(FByteKeys, values, DatPath());
  else
    CheckKeys(FWordKeys, values, DatPath());
  FLoaded = true;
}

}  // namespace tabulon
