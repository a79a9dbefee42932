#include "column/TColWriter.h"

#include <algorithm>
#include <cstring>

#include "column/TCol.h"
#include "platform/Errors.h"
#include "platform/LineReader.h"
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

std::string ValPath(const TCol& c) {
  return ColumnFilePath(c.FDir, c.FIndex, TColumnFile::kVal);
}

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

// The conversion of a cell in the commonest shapes under type t, as ConvertNormalised gives it:
// plain digits under vtInt and vtCur, a date or time that begins with a digit other than zero
// (no code with leading zeros) and needs no normalising under vtDat. False for any other cell.
bool ConvertPlain(std::string_view text, TValueType t, Converted* v) {
  switch (t) {
    case vtInt:
      if (!TryPlainInt(text, &v->i)) return false;
      break;
    case vtCur:
      if (!TryPlainCur(text, &v->c)) return false;
      break;
    case vtDat:
      if (text.empty() || text[0] < '1' || text[0] > '9' || !IsHankakuAlready(text) ||
          !TryParseDateTime(text, &v->d))
        return false;
      break;
    case vtStr:
      return false;
  }
  v->null = false;
  return true;
}

// Type inference: widens *type while the normalised text does not convert (a type, once widened,
// never narrows; vtStr takes every text) and returns the conversion under the type it ends at.
Converted InferType(std::string_view text, TValueType* type, std::string* scratch) {
  if (*type == vtStr) return Converted{};
  Converted plain;
  if (ConvertPlain(text, *type, &plain)) return plain;
  if (IsHankakuAlready(text)) return Widen(text, text, type);
  ToHankakuInto(text, scratch);
  return Widen(text, *scratch, type);
}

// The conversion of a stored cell text under type t, normalising through scratch.
Converted ConvertText(std::string_view text, TValueType t, std::string* scratch) {
  if (IsHankakuAlready(text)) return ConvertNormalised(text, text, t);
  ToHankakuInto(text, scratch);
  return ConvertNormalised(text, *scratch, t);
}

// Whether a cell of a per-row column under type t is in its value's own spelling, the text
// AppendPlainText gives back for the value: plain digits without a trailing zero after a point,
// or a time stamp; *v its conversion then.
bool ReadPlain(std::string_view text, TValueType t, TStampReader* stamps, Converted* v) {
  if (t != vtDat)
    return ConvertPlain(text, t, v) &&
           !(t == vtCur && text.back() == '0' && text.find('.') != std::string_view::npos);
  if (!stamps->TryRead(text, &v->d)) return false;
  v->null = false;
  return true;
}

// Appends the text of a value that ReadPlain read, from its record in i.Val under type t.
void AppendPlainText(const char* record, TValueType t, std::string* out) {
  switch (t) {
    case vtInt: {
      int32_t i;
      std::memcpy(&i, record, sizeof i);
      out->append(IntToText(i));
      break;
    }
    case vtCur: {
      int64_t c;
      std::memcpy(&c, record, sizeof c);
      out->append(CurToText(c));
      break;
    }
    case vtDat: {
      double d;
      std::memcpy(&d, record, sizeof d);
      AppendStamp(d, out);
      break;
    }
    case vtStr:
      break;
  }
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

TColWriter::TColWriter(TCol& column, size_t bufferBytes) : col_(column) {
  dat_.SetBufferSize(bufferBytes);
  values_.SetBufferSize(bufferBytes);
}

void TColWriter::Start() {
  dat_.Create(col_.DatPath());
}

void TColWriter::ResetExtremes(TCol& c) {
  c.FIntMin = kIntStartMin;
  c.FIntMax = kIntStartMax;
  c.FMin = kCurStartMax;
  c.FMax = -kCurStartMax;
  c.FDateMin = DateNull();
  c.FDateMax = -DateNull();  // below every date-time: dates before 1899-12-30 are negative
}

// ---------------------------------------------------------------- every cell

void TColWriter::Add(std::string_view text) {
  AddOne(text);
}

void TColWriter::AddAll(const std::string_view* texts, size_t count) {
  for (size_t i = 0; i < count; ++i) AddOne(texts[i]);
}

void TColWriter::AddOne(std::string_view text) {
  if (PerRow()) {
    AppendRowText(text);
    return;
  }
  const int32_t key = DistinctKeyOf(text);
  if (state_ == State::kByteKeys)
    dat_.WriteRecord(static_cast<uint8_t>(key));
  else if (state_ == State::kWordKeys)
    dat_.WriteRecord(static_cast<uint16_t>(key));
  else
    AppendRowText(text);  // the cell that made the column per-row is its first text row
}

// ---------------------------------------------------------------- the keyed states

int32_t TColWriter::DistinctKeyOf(std::string_view text) {
  int32_t known = -1;  // the spelling met before, or -1
  if (lastSpelling_ >= 0 && text.size() > 8 && text == spellings_.BytesOf(lastSpelling_)) {
    known = lastSpelling_;  // a repeated long text is not hashed again
  } else {
    known = spellings_.Find(text);
    lastSpelling_ = known;
  }
  // Met since the type last widened, and its own key: nothing to look up or test again.
  if (known >= verifiedFrom_ && spellingIsKey_) return known;
  return KeyOfSpelling(text, known);
}

int32_t TColWriter::KeyOfSpelling(std::string_view text, int32_t known) {
  TValueType& type = col_.FValueType;
  if (known >= 0) {
    // A spelling met before: its key, and the type tested again only when it widened since.
    Spelling& sp = spelling_[static_cast<size_t>(known)];
    if (sp.verified != type) {
      const TValueType before = type;
      InferType(text, &type, &normScratch_);
      if (type != before) verifiedFrom_ = static_cast<int32_t>(spelling_.size());
      sp.verified = type;
    }
    return sp.key;
  }
  const TValueType before = type;
  InferType(text, &type, &normScratch_);
  if (type != before) verifiedFrom_ = static_cast<int32_t>(spelling_.size());
  foldScratch_.clear();
  AppendFoldKey(text, &foldScratch_);
  int32_t key = folded_.Find(foldScratch_);
  if (key < 0) {
    key = static_cast<int32_t>(col_.FValues.size());
    col_.FValues.emplace_back(text);
    folded_.Insert(foldScratch_, key);
    col_.FCount = static_cast<int32_t>(col_.FValues.size());
    if (state_ == State::kByteKeys && col_.FCount > kByteKeyLimit) {
      ConvertToWordKeys();
    } else if (state_ == State::kWordKeys && col_.FCount > kWordKeyLimit) {
      ConvertToText();
      return key;
    }
  }
  AddSpelling(text, key);
  return key;
}

void TColWriter::AddSpelling(std::string_view text, int32_t key) {
  if (spelling_.size() >= kMaxSpellings) return;
  lastSpelling_ = static_cast<int32_t>(spelling_.size());
  spellings_.Insert(text, lastSpelling_);
  spelling_.push_back({key, col_.FValueType});
  if (key != lastSpelling_) spellingIsKey_ = false;
}

void TColWriter::ReopenDatAfterTmp(InFile* tmp) {
  dat_.Close();
  DeleteFileIfExists(col_.TmpPath());
  RenameFile(col_.DatPath(), col_.TmpPath());
  tmp->Open(col_.TmpPath());
  dat_.Create(col_.DatPath());
}

void TColWriter::ConvertToWordKeys() {
  const std::string tmp = col_.TmpPath();
  InFile in;
  ReopenDatAfterTmp(&in);
  std::vector<uint8_t> block(kCopyBlock);
  for (;;) {
    const size_t n = in.ReadSome(block.data(), block.size());
    if (n == 0) break;
    for (size_t i = 0; i < n; ++i) dat_.WriteRecord(static_cast<uint16_t>(block[i]));
  }
  in.Close();
  DeleteFileIfExists(tmp);
  col_.FStorage = csWor;
  state_ = State::kWordKeys;
}

void TColWriter::ConvertToText() {
  const std::string tmp = col_.TmpPath();
  const std::vector<std::string>& texts = col_.FValues;
  InFile in;
  ReopenDatAfterTmp(&in);

  // A numeric column also gets its values as records from here on (see values_).
  std::vector<Converted> converted;
  if (col_.FValueType != vtStr) {
    converted.reserve(texts.size());
    for (const std::string& v : texts)
      converted.push_back(ConvertText(v, col_.FValueType, &normScratch_));
    values_.Create(ValPath(col_));
  }
  const bool withValues = col_.FValueType != vtStr;

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
      if (k >= texts.size())
        throw IoError(tmp, TFileAction::kRead,
                      DamagedReason("a key points past the values", "値のない番号があります"));
      dat_.WriteLine(texts[k]);
      if (withValues) WriteValue(col_, values_, converted[k]);
    }
    carry = n - records * 2;
    if (carry) bytes[0] = bytes[records * 2];
  }
  in.Close();
  DeleteFileIfExists(tmp);

  ForgetDistinctTexts();
  col_.FStorage = csLon;
  state_ = col_.FValueType == vtStr ? State::kRowTexts : State::kRowPlain;
}

void TColWriter::ForgetDistinctTexts() {
  // From here on distinct texts are no longer counted; FCount keeps its value.
  col_.FValues.clear();
  col_.FValues.shrink_to_fit();
  spellings_ = TextIndex();
  lastSpelling_ = -1;
  spelling_.clear();
  spelling_.shrink_to_fit();
  folded_ = TextIndex();
}

// ---------------------------------------------------------------- the per-row states

void TColWriter::AppendRowText(std::string_view text) {
  TValueType& type = col_.FValueType;
  const TValueType before = type;
  Converted v;
  const bool plain = ReadPlain(text, type, &stamps_, &v);
  if (!plain) v = InferType(text, &type, &normScratch_);
  if (type != before && state_ != State::kRowTexts) DropValues(before);
  if (plain && state_ == State::kRowPlain) {
    ++unwrittenPlain_;
  } else {
    if (state_ == State::kRowPlain) WriteOutPlainTexts(type);
    dat_.WriteLine(text);
  }
  if (state_ != State::kRowTexts) WriteValue(col_, values_, v);
}

void TColWriter::DropValues(TValueType written) {
  if (state_ == State::kRowPlain) WriteOutPlainTexts(written);
  values_.Abandon();
  state_ = State::kRowTexts;
}

void TColWriter::WriteOutPlainTexts(TValueType written) {
  state_ = State::kRowValues;
  if (unwrittenPlain_ == 0) return;
  // i.Val ends with the values of those rows; the records before them are skipped.
  const std::string val = ValPath(col_);
  values_.Close();
  const size_t width = written == vtInt ? sizeof(int32_t) : sizeof(int64_t);
  const int64_t records = FileSize(val) / static_cast<int64_t>(width);
  const int64_t skip = records - unwrittenPlain_;
  InFile in;
  in.Open(val);
  std::vector<char> block(kCopyBlock * width);
  std::string text;
  for (int64_t at = 0; at < records;) {
    const size_t n = static_cast<size_t>(std::min<int64_t>(records - at, kCopyBlock));
    in.ReadExact(block.data(), n * width);
    for (size_t i = 0; i < n; ++i) {
      if (at + static_cast<int64_t>(i) < skip) continue;
      const char* record = block.data() + i * width;
      text.clear();
      AppendPlainText(record, written, &text);
      dat_.WriteLine(text);
    }
    at += static_cast<int64_t>(n);
  }
  in.Close();
  values_.OpenAppend(val);
  unwrittenPlain_ = 0;
}

// ---------------------------------------------------------------- the end

void TColWriter::Finish(const std::string& indPath) {
  dat_.Close();
  switch (state_) {
    case State::kByteKeys:
    case State::kWordKeys:
      WriteDistinctValues(indPath);
      break;
    case State::kRowPlain:
    case State::kRowValues:
      // The records written along the way are the conversion of every row under the final type.
      values_.Close();
      RenameFile(ValPath(col_), col_.DatPath());
      break;
    case State::kRowTexts:
      values_.Abandon();
      DeleteFileIfExists(ValPath(col_));
      if (col_.FValueType != vtStr) RewriteRowsAsValues();
      break;
  }
}

void TColWriter::WriteDistinctValues(const std::string& indPath) {
  OutFile ind;
  ind.Create(indPath);
  for (const std::string& v : col_.FValues) {
    if (col_.FValueType == vtStr)
      ind.WriteLine(v);
    else
      WriteValue(col_, ind, ConvertText(v, col_.FValueType, &normScratch_));
  }
  ind.Close();
}

void TColWriter::RewriteRowsAsValues() {
  const std::string dat = col_.DatPath(), tmp = col_.TmpPath();
  ResetExtremes(col_);
  DeleteFileIfExists(tmp);
  RenameFile(dat, tmp);
  {
    LineReader rows(tmp, LineEnds::kCrLf);
    OutFile out;
    out.Create(dat);
    std::string_view line;
    while (rows.ReadLine(&line))
      WriteValue(col_, out, ConvertText(line, col_.FValueType, &normScratch_));
    out.Close();
  }
  DeleteFileIfExists(tmp);
}

}  // namespace tabulon
