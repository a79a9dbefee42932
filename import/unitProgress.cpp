#include "import/unitProgress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "column/Descriptor.h"
#include "import/ColumnWorkers.h"
#include "import/RemainingTime.h"
#include "platform/CsvLineReader.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/IniFile.h"
#include "platform/LocaleFormats.h"
#include "platform/Messages.h"
#include "platform/SjisText.h"
#include "text/CsvRecordReader.h"
#include "text/CsvSplit.h"

namespace tabulon {

namespace {

constexpr size_t kWriteBufferBudget = 32 << 20;  // write buffers of all columns together
constexpr size_t kMaxColumnBuffer = 1 << 18;
constexpr size_t kMinColumnBuffer = 4 << 10;
constexpr double kHalfSecond = 0.5 / 86400;
// A file below this size is written by one thread: threads would save next to nothing.
constexpr int64_t kSmallFile = 4 << 20;
// Far more columns than any spreadsheet holds: a header beyond it is not a table (a line of a
// million commas would otherwise make two million files).
constexpr size_t kMaxColumns = 65536;

// Closes the view when the import ends, whichever way.
class CloseOnExit {
 public:
  explicit CloseOnExit(TProgressView* view) : view_(view) {}
  ~CloseOnExit() { view_->Close(); }

 private:
  TProgressView* view_;
};

// Whether the column files of a store have the sizes its descriptor gives. A store marked complete
// whose files were damaged or lost since (or copied in part) is rebuilt rather than kept; text
// files, whose lines are not counted here, need at least a line end per line.
bool ColumnFilesWhole(const TDescriptor& descriptor, const std::string& dir) {
  const int64_t rows = descriptor.rowCount;
  if (descriptor.colCount < 0 || rows < 0) return false;
  for (int32_t i = 0; i < descriptor.colCount; ++i) {
    const TColumnSection& section = descriptor.sections[static_cast<size_t>(i)];
    TValueType type;
    TColStorage storage;
    if (!ParseValueType(section.valType, &type) || !ParseStorage(section.colType, &storage))
      return false;
    const int64_t width = type == vtInt ? 4 : 8;  // bytes of a stored value
    const int64_t dat = FileSize(ColumnFilePath(dir, i, TColumnFile::kDat));
    if (storage == csLon) {
      if (type == vtStr ? dat < 2 * rows : dat != rows * width) return false;
      continue;
    }
    const int64_t count = section.count;
    const int64_t ind = FileSize(ColumnFilePath(dir, i, TColumnFile::kInd));
    if (count < 0 || dat != rows * (storage == csByt ? 1 : 2)) return false;
    if (type == vtStr ? ind < 2 * count : ind != count * width) return false;
  }
  return true;
}

// Whether the store of a UTF-8 file was built when such files were still read as Shift-JIS: it
// then names a column by the raw bytes of its header text (the byte-order mark included) where
// the text read as UTF-8 differs. Such a store is rebuilt once. A header of ASCII alone, without
// a mark, reads the same either way and tells nothing.
bool NamedByRawUtf8Header(const std::string& csvPath, const TDescriptor& descriptor) {
  LineReader bytes(csvPath, LineEnds::kAuto, ReadAhead::kFirstLines);
  std::string_view header;
  if (!bytes.ReadLine(&header)) return false;
  // The header alone mostly settles it, without a look at the bytes after it: one of ASCII alone
  // without a mark reads the same either way, and one that is no well-formed UTF-8 (its line end
  // cuts any sequence) decides for Shift-JIS.
  if (IsAscii(header) || (header.size() < kSniffBytes && !IsWellFormedUtf8(header, true)))
    return false;
  CsvLineReader text(csvPath, ReadAhead::kFirstLines);
  std::string_view line;
  if (!text.ReadLine(&line)) return false;
  if (text.Sniff().encoding != TextEncoding::kUtf8) return false;
  const std::string converted(line);
  TCsvFields rawFields, readFields;
  SplitCsvRecord(header, &rawFields);
  SplitCsvRecord(converted, &readFields);
  const std::vector<std::string_view>& raw = rawFields.fields;
  const std::vector<std::string_view>& read = readFields.fields;
  for (size_t i = 0; i < raw.size() && i < read.size(); ++i) {
    if (raw[i] == read[i]) continue;
    if (i < descriptor.names.size() && descriptor.names[i] == raw[i]) return true;
  }
  return false;
}

// Whether the store of csvPath, as its descriptor ini gives it, was completed from the file as it
// is now (last written at fileTime) and is whole. A damaged descriptor is rebuilt.
bool StoreUpToDate(const std::string& csvPath, const IniFile& ini, double fileTime) {
  TDescriptor descriptor;
  return TDescriptor::Parse(ini, &descriptor) && descriptor.completed &&
         std::fabs(*descriptor.completed - fileTime) < kHalfSecond &&
         ColumnFilesWhole(descriptor, StoreDirOf(csvPath)) &&
         !NamedByRawUtf8Header(csvPath, descriptor);
}

}  // namespace

TformProgress::TformProgress(TProgressView* view) : view_(view) {}

TformProgress::~TformProgress() = default;

void TformProgress::Import(const std::string& csvPath) {
  CloseOnExit close(view_);
  try {
    if (NeedsImport(csvPath)) {
      OpenCsv();
      ReadHeader();
      ReadRows();
      CloseCsv();
      WriteDescriptor();
    }
  } catch (...) {
    // Leave no open file and no half-converted file behind; the store stays unmarked.
    csv_.reset();
    for (auto& col : cols_) {
      col->Abandon();
      for (const std::string& path :
           {col->TmpPath(), ColumnFilePath(col->FDir, col->FIndex, TColumnFile::kVal)}) {
        try {
          DeleteFileIfExists(path);
        } catch (const IoError&) {
          // The first error is the one to report; a conversion file left behind goes at the
          // next import of the file (DeleteStaleColumnFiles).
        }
      }
    }
    throw;
  }
}

bool TformProgress::NeedsImport(const std::string& csvPath) {
  csvPath_ = csvPath;
  replaced_ = 0;
  longRows_ = 0;
  rowCount_ = 0;
  looksLikeText_ = true;
  view_->SetCaption(Sjis("CSVファイルの前処理中 ") + Utf8ToSjis(FileNameOf(csvPath)));
  time_t modified = 0;
  if (!FileExists(csvPath) || !FileModifiedTime(csvPath, &modified)) {
    view_->Close();
    return false;
  }
  // A device or pipe would never end (or never start) delivering lines.
  if (!IsRegularFile(csvPath))
    throw IoError(csvPath, TFileAction::kImport,
                  Wording("not a regular file", "通常のファイルではありません"));
  ClaimStore(csvPath);
  storeDir_ = StoreDirOf(csvPath);
  CreateDirectoryIfMissing(storeDir_);
  IniFile ini(DescriptorPathOf(csvPath));
  const double fileTime = FileTimeToDateTime(modified);
  if (StoreUpToDate(csvPath, ini, fileTime)) {
    view_->Close();
    return false;
  }
  RemoveCompletionMark(ini);
  fileTime_ = fileTime;
  max_ = std::max<int64_t>(FileSize(csvPath), 0);
  position_ = 0;
  view_->SetMax(max_);
  start_ = std::chrono::steady_clock::now();
  return true;
}

void TformProgress::OpenCsv() {
  csv_ = std::make_unique<CsvRecordReader>(csvPath_, ReadAhead::kStream);
  looksLikeText_ = csv_->Lines().Sniff().looksLikeText;
}

namespace {

// The column names of a header: its texts, "v<i>" for a blank one, made distinct.
std::vector<std::string> UniqueColumnNames(const std::vector<std::string>& header) {
  // Names are built by appending, not as "v" + ...: GCC 12 misreads the inlined insert of that
  // operator+ as an overlapping copy (-Wrestrict) in optimised builds.
  const auto blankName = [](size_t i) {
    std::string name = "v";
    name += std::to_string(i);
    return name;
  };

  // Duplicated header texts are numbered: three columns named 売上 become 売上, 売上(2), 売上(3).
  std::vector<std::string> names(header.size());
  std::unordered_map<std::string_view, int> before;  // header texts of the columns before i
  for (const std::string& h : header) ++before[h];
  for (size_t i = header.size(); i-- > 0;) {
    --before[header[i]];
    std::string name = header[i] == kNullText ? blankName(i) : header[i];
    const auto found = before.find(name);
    const int k = 1 + (found == before.end() ? 0 : found->second);
    if (k > 1) name.append("(").append(std::to_string(k)).append(")");
    names[i] = std::move(name);
  }

  // Names must also differ without regard to letter case, since each names a descriptor section,
  // and "Csv" is the descriptor's own section.
  std::unordered_set<std::string> taken{FoldKey(kSectionCsv)};
  for (size_t i = 0; i < names.size(); ++i) {
    const auto isTaken = [&](const std::string& n) { return taken.count(FoldKey(n)) != 0; };
    if (isTaken(names[i])) {
      const std::string base = header[i] == kNullText ? blankName(i) : header[i];
      for (int k = 2;; ++k) {
        std::string candidate = base + "(" + std::to_string(k) + ")";
        if (!isTaken(candidate)) {
          names[i] = std::move(candidate);
          break;
        }
      }
    }
    taken.insert(FoldKey(names[i]));
  }
  return names;
}

}  // namespace

void TformProgress::ReadHeader() {
  std::string_view line;
  int64_t fileBytes = 2;
  if (!csv_->ReadRecord(&line, &fileBytes)) line = {};
  position_ = fileBytes;
  view_->SetPosition(position_);
  TCsvFields split;
  SplitCsvRecord(line, &split, csv_->Separator());
  const std::vector<std::string_view>& fields = split.fields;
  if (fields.size() > kMaxColumns)
    throw IoError(csvPath_, TFileAction::kImport,
                  Wording("too many columns: ", "列が多すぎます: ") +
                      std::to_string(fields.size()) + Wording(" (at most ", "（最大 ") +
                      std::to_string(kMaxColumns) + Wording(")", "）"));
  const std::vector<std::string> names =
      UniqueColumnNames(std::vector<std::string>(fields.begin(), fields.end()));
  cols_.clear();  // a previous import's columns close their files before stale ones go
  DeleteStaleColumnFiles(names.size());
  OpenColumns(names);
}

// Before the rows are read, the column files the new store will not write go: conversion files a
// killed or failed import left, the distinct values of every column (rewritten for the columns that
// keep keys; a column now stored per row has none) and the files of columns the file no longer has.
// So a rebuild leaves the same files as an import into an empty folder.
void TformProgress::DeleteStaleColumnFiles(size_t columns) {
  for (const std::string& name : ListDirectory(storeDir_)) {
    int32_t column;
    TColumnFile file;
    if (!ParseColumnFileName(name, &column, &file)) continue;
    const bool gone = static_cast<size_t>(column) >= columns;
    if (file != TColumnFile::kDat || gone)
      DeleteFileIfExists(ColumnFilePath(storeDir_, column, file));
  }
}

void TformProgress::OpenColumns(const std::vector<std::string>& names) {
  colCount_ = static_cast<int32_t>(names.size());
  const size_t buffer = std::clamp(kWriteBufferBudget / std::max<size_t>(names.size(), 1),
                                   kMinColumnBuffer, kMaxColumnBuffer);
  cols_.resize(names.size());
  for (size_t i = names.size(); i-- > 0;) {
    cols_[i] = std::make_unique<TCol>();
    cols_[i]->FIndex = static_cast<int32_t>(i);
    cols_[i]->OpenForImport(storeDir_, names[i], buffer);
  }
}

namespace {

// The threads that write the columns of a file of fileBytes bytes (see SetThreads).
int ImportThreads(int threads, int64_t fileBytes) {
  if (threads > 0) return threads;
  const std::string setting = sys::EnvironmentVariable("TABULON_IMPORT_THREADS");
  if (!setting.empty() && setting.find_first_not_of("0123456789") == std::string::npos &&
      setting.size() < 4)
    return std::max(std::stoi(setting), 1);
  if (fileBytes < kSmallFile) return 1;
  return std::max(static_cast<int>(std::thread::hardware_concurrency()), 1);
}

}  // namespace

void TformProgress::ReadRows() {
  // One thread too splits and writes the records in chunks: the reading thread then runs every
  // task itself while it waits for a free chunk.
  TColumnWorkers workers(cols_, ImportThreads(threads_, max_), csv_->Separator(), csvPath_,
                         chunkRecords_, blockBytes_);
  // The lines in hand are handed over whole where they can be, which leaves the reading thread
  // little to do but read; the labels count a block's lines as its records.
  const bool blocks = chunkRecords_ == 0;
  const size_t limit = blockBytes_ != 0 ? blockBytes_ : SIZE_MAX;
  TRecordBlock block;
  std::string_view record;
  int64_t fileBytes = 0;
  int64_t records = 0;
  for (;;) {
    if (blocks && csv_->ReadRecords(&block, limit)) {
      const int64_t before = records;
      records += static_cast<int64_t>(block.lines);
      ShowProgress(before, records, block.fileBytes);
      workers.AddRecords(block);
      continue;
    }
    if (!csv_->ReadRecord(&record, &fileBytes)) break;
    ShowProgress(records, records + 1, fileBytes);
    ++records;
    workers.AddRecord(record);
  }
  workers.Finish();
  rowCount_ = static_cast<int32_t>(workers.Rows());
  longRows_ = workers.LongRows();
  replaced_ = workers.Replaced();
}

void TformProgress::ShowLabels() {
  view_->ProcessEvents();
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  view_->SetTimeLabel(RemainingTimeText(max_, position_, elapsed));
  view_->SetPositionLabel(std::to_string(position_) + " / " + std::to_string(max_));
}

void TformProgress::CloseCsv() {
  replaced_ += csv_->Lines().Replaced();
  csv_.reset();
}

void TformProgress::WriteDescriptor() {
  view_->SetTimeLabel(Sjis("終了処理中"));
  view_->SetPositionLabel("");
  view_->ProcessEvents();

  TDescriptor descriptor;
  descriptor.colCount = colCount_;
  descriptor.rowCount = rowCount_;
  for (auto& colPtr : cols_) {
    TCol& col = *colPtr;
    col.Finish(col.IndPath());
    TColumnSection section;
    section.valType = ValueTypeText(col.FValueType);
    section.colType = StorageText(col.FStorage);
    section.count = col.FCount;
    section.hasExtremes = col.FValueType != vtStr;
    switch (col.FValueType) {
      case vtInt:
        section.min = col.FIntMin;
        section.max = col.FIntMax;
        break;
      case vtCur:
        section.min = col.FMin;
        section.max = col.FMax;
        break;
      case vtDat:
        section.min = col.FDateMin;
        // A column without a date keeps the written starting maximum, day 0.
        section.max = col.FDateMax == -DateNull() ? 0 : col.FDateMax;
        break;
      case vtStr:
        break;
    }
    descriptor.names.push_back(col.FName);
    descriptor.sections.push_back(std::move(section));
  }
  descriptor.completed = fileTime_;
  descriptor.Write(DescriptorPathOf(csvPath_));
  // The window's last text says what the text lost.
  std::string lost;
  if (replaced_ > 0) lost = Sjis("〓にした文字 ") + std::to_string(replaced_) + Sjis(" 個");
  if (longRows_ > 0) {
    if (!lost.empty()) lost += Sjis("、");
    lost += Sjis("列数を超えるフィールドがある行 ") + std::to_string(longRows_) + Sjis(" 行");
  }
  if (!lost.empty()) view_->SetTimeLabel(lost);
}

bool TformProgress::HeaderMayBeTitle() const {
  return rowCount_ > 0 && longRows_ * 2 > rowCount_;
}

std::vector<std::string> TformProgress::Notices() const {
  std::vector<std::string> notices;
  const std::string file = Utf8ToSjis(csvPath_);
  const bool japanese = MessageLanguage() == TLanguage::kJapanese;
  if (!looksLikeText_)
    notices.push_back(file + Wording(" does not look like Shift-JIS or UTF-8 text",
                                     " は Shift-JIS や UTF-8 のテキストに見えません"));
  if (replaced_ > 0) {
    const std::string count = std::to_string(replaced_);
    notices.push_back(
        japanese
            ? file + Sjis(": Shift-JIS にない文字 ") + count + Sjis(" 個を〓にしました")
            : file + ": " + count + " characters without a Shift-JIS form became " + Sjis("〓"));
  }
  if (longRows_ > 0) {
    const std::string count = std::to_string(longRows_);
    notices.push_back(japanese
                          ? file + Sjis(": 列数を超えるフィールドがある行 ") + count +
                                Sjis(" 行 (見出しの列数を超えたフィールドは読み込んでいません)")
                          : file + ": " + count +
                                " lines hold more fields than the header has columns (the "
                                "fields beyond them were not imported)");
  }
  if (HeaderMayBeTitle())
    notices.push_back(file +
                      Wording(": most lines hold more fields than the first line, which may "
                              "not be the header (a title line above it?)",
                              ": ほとんどの行のフィールド数が1行目より多いため、1行目は見出し"
                              "ではないかもしれません (見出しの上にタイトル行がありませんか)"));
  return notices;
}

}  // namespace tabulon
