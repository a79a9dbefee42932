// The import: one CSV file becomes its column store and descriptor, reporting its progress to a
// progress view (the progress window, or the command line's progress bar).
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "column/TCol.h"

namespace tabulon {

class CsvRecordReader;

// What the import shows while it runs. Texts are Shift-JIS.
class TProgressView {
 public:
  virtual ~TProgressView() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetMax(int64_t max) = 0;
  virtual void SetPosition(int64_t position) = 0;              // once per row: keep it cheap
  virtual void SetPositionLabel(const std::string& text) = 0;  // lower left: "52000 / 1048576"
  virtual void SetTimeLabel(const std::string& text) = 0;      // lower right: remaining time
  virtual void ProcessEvents() = 0;                            // let pending window events run
  virtual void Close() = 0;
};

// A view that shows nothing.
class TSilentProgress : public TProgressView {
 public:
  void SetCaption(const std::string&) override {}
  void SetMax(int64_t) override {}
  void SetPosition(int64_t) override {}
  void SetPositionLabel(const std::string&) override {}
  void SetTimeLabel(const std::string&) override {}
  void ProcessEvents() override {}
  void Close() override {}
};

// The import state of the progress window. One object serves every import of the program; the
// column objects of an import stay until the next import.
class TformProgress {
 public:
  // view must outlive this object.
  explicit TformProgress(TProgressView* view);
  ~TformProgress();
  TformProgress(const TformProgress&) = delete;
  TformProgress& operator=(const TformProgress&) = delete;

  // Imports csvPath when its store is missing or out of date; a missing CSV file is skipped
  // silently. The view is told to close on every path, errors included. Throws IoError (the
  // store is then left without its completion mark, so the next import rebuilds it).
  void Import(const std::string& csvPath);

  // The steps of Import, in order. NeedsImport sets csvPath and returns whether the import must
  // run (removing the completion mark when it must); the others REQUIRE the steps before them.
  bool NeedsImport(const std::string& csvPath);
  void OpenCsv();
  void ReadHeader();
  void ReadRows();
  void CloseCsv();
  void WriteDescriptor();

  // The state of the last import.
  const std::vector<std::unique_ptr<TCol>>& Columns() const { return cols_; }
  int32_t ColCount() const { return colCount_; }
  int32_t RowCount() const { return rowCount_; }
  const std::string& StoreDir() const { return storeDir_; }
  // What the last import met in the file's text: the "〓" that stand for characters without a
  // Shift-JIS form (of a UTF-8 file), and whether its first bytes look like text at all.
  int64_t ReplacedChars() const { return replaced_; }
  bool LooksLikeText() const { return looksLikeText_; }
  // The records whose fields beyond the header's columns were dropped, and whether they are most
  // of the records, so that the first line is more likely a title than the header.
  int64_t LongRows() const { return longRows_; }
  bool HeaderMayBeTitle() const;
  // The last import's notices for the window, naming the file (Shift-JIS); empty when the text
  // was read without a loss and every field was kept.
  std::vector<std::string> Notices() const;

  // The threads that write the columns: 0 (the default) for as many as the machine has cores, one
  // for a small file, or TABULON_IMPORT_THREADS when that is set. The records are handed to them
  // in blocks of the file's lines of at most blockBytes bytes (0: as they are read), or with
  // chunkRecords other than 0, one by one in chunks of that many. The store is the same byte for
  // byte whatever they are.
  void SetThreads(int threads, size_t chunkRecords = 0, size_t blockBytes = 0) {
    threads_ = threads;
    chunkRecords_ = chunkRecords;
    blockBytes_ = blockBytes;
  }

 private:
  // Deletes the store's column files that an import of columns columns does not write again.
  void DeleteStaleColumnFiles(size_t columns);
  // cols_ := one column opened for import per name, in order; colCount_ := their number.
  void OpenColumns(const std::vector<std::string>& names);
  static constexpr int kRowsPerUpdate = 100;  // rows between progress labels and pending events
  // Moves the bar by the fileBytes of records - before records, and the labels when they pass a
  // multiple of kRowsPerUpdate. Inline: it runs once per record when they come one by one.
  void ShowProgress(int64_t before, int64_t records, int64_t fileBytes) {
    position_ += fileBytes;
    view_->SetPosition(position_);
    if (records / kRowsPerUpdate != before / kRowsPerUpdate) ShowLabels();
  }
  // Lets the view handle its events and shows the remaining time and the bytes read.
  void ShowLabels();

  TProgressView* view_;                      // not owned
  std::string csvPath_;                      // the file being imported
  std::unique_ptr<CsvRecordReader> csv_;     // open during the passes
  std::vector<std::unique_ptr<TCol>> cols_;  // one per header field, in header order
  int32_t colCount_ = 0;
  int32_t rowCount_ = 0;
  std::string storeDir_;                         // the CSV path without its extension
  std::chrono::steady_clock::time_point start_;  // when the import began
  double fileTime_ = 0;                          // the CSV file's last-write time
  int64_t max_ = 10000;                          // the bar's range
  int64_t position_ = 0;                         // bytes consumed
  int64_t replaced_ = 0;                         // "〓" written for unmappable characters
  int64_t longRows_ = 0;                         // records with fields beyond the columns
  bool looksLikeText_ = true;                    // the file's first bytes are text
  int threads_ = 0;                              // SetThreads
  size_t chunkRecords_ = 0;
  size_t blockBytes_ = 0;
};

}  // namespace tabulon
