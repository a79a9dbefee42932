// The records of an import split and written by several threads.
//
// The reading thread collects whole records into chunks: blocks of the file's lines as they come,
// or records one at a time. Any thread splits a chunk into its records and their fields. The
// columns are dealt into groups, and a group writes the chunks one after another, in file order,
// while other threads split later chunks or write other groups. So each column's writer takes
// exactly the cells a one-thread import gives it, in the same order, and writes the same files. The
// reading thread lends a hand while it waits for a free chunk.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "column/TCol.h"
#include "column/Values.h"
#include "platform/Errors.h"
#include "text/CsvRecordReader.h"
#include "text/CsvSplit.h"

namespace tabulon {

// The error of an import of csvPath whose rows would be more than a store counts.
IoError TooManyRows(const std::string& csvPath);

class TColumnWorkers {
 public:
  // Writes cols, which must outlive this object and take no other calls meanwhile, on threads
  // threads in all, the calling thread one of them; fields are split at separator. csvPath names
  // the file in errors. A chunk is handed over at chunkRecords records or chunkBytes bytes of
  // text; both 0: about a megabyte of text. Throws what starting a thread throws.
  TColumnWorkers(const std::vector<std::unique_ptr<TCol>>& cols, int threads, char separator,
                 const std::string& csvPath, size_t chunkRecords = 0, size_t chunkBytes = 0);
  // Stops the threads and waits for them: after an error the columns stand part-way, for
  // Abandon.
  ~TColumnWorkers();
  TColumnWorkers(const TColumnWorkers&) = delete;
  TColumnWorkers& operator=(const TColumnWorkers&) = delete;

  // Appends the next record of the file, a view ReadRecord gave. Its cells are its fields for the
  // columns there are fields for, null for the others; fields beyond the columns are dropped.
  // Records of nulls alone at the end of the file are no rows: they are what an extra line end or
  // a spreadsheet's formatted empty rows leave. Throws the first error a thread met (AddValue's
  // IoError, or TooManyRows).
  // Inline: the reading thread calls it once per record.
  void AddRecord(std::string_view record) {
    if (ChunkNumbered(published_).raw) Publish();
    Chunk& chunk = ChunkNumbered(published_);
    if (chunk.text.size() - chunk.used < record.size() || chunk.recordEnds.size() == chunk.records)
      Grow(chunk, record.size());
    if (!record.empty()) std::memcpy(chunk.text.data() + chunk.used, record.data(), record.size());
    chunk.used += record.size();
    chunk.recordEnds[chunk.records++] = chunk.used;
    if (chunk.records >= chunkRecords_ || chunk.used >= chunkBytes_) Publish();
  }
  // Appends the records of block, whole lines of the file (CsvRecordReader::ReadRecords), as
  // AddRecord would append them one by one. Throws as AddRecord does.
  void AddRecords(const TRecordBlock& block);
  // Hands over the last records and waits until every column has taken every row. Throws as
  // AddRecord does.
  void Finish();

  // After Finish: the rows written, and those of them with fields beyond the columns; the "〓"
  // written for characters of blocks of UTF-8 lines without a Shift-JIS form.
  int64_t Rows() const { return rows_; }
  int64_t LongRows() const { return longRows_; }
  int64_t Replaced() const { return replaced_; }

 private:
  // Records of the file and, once split, their cells.
  struct Chunk {
    std::vector<char> text;  // the records, back to back, or blocks of lines
    size_t used = 0;         // bytes of text in use
    bool raw = false;        // text holds blocks of lines, which the split parts into records
    bool utf8 = false;       // of the blocks: UTF-8, which the split converts into converted
    bool lfMode = false;     // of the blocks' lines
    size_t lines = 0;        // of the blocks, a bound on their records
    std::vector<size_t> recordEnds;  // not raw: record r ends at recordEnds[r]
    size_t records = 0;              // raw: from the split on
    // Cell of column c and record r: cells[c * stride + r], a view into text, into kNullText or
    // into rewritten.
    std::vector<std::string_view> cells;
    size_t stride = 0;
    std::string converted;
    int64_t replaced = 0;  // "〓" the conversion wrote
    // Fields the split rewrote (doubled quotes, line ends), and records of several lines joined
    std::deque<std::string> rewritten;
    size_t rows = 0;       // records up to the last one that is not all nulls
    int64_t longRows = 0;  // of those, the records with fields beyond the columns
    bool split = false;
    size_t groupsDone = 0;
  };
  // A piece of work: splitting a chunk, or writing a group's columns of a chunk.
  struct Task {
    enum { kNone, kSplit, kWrite } kind = kNone;
    uint64_t chunk = 0;
    size_t group = 0;
  };

  Chunk& ChunkNumbered(uint64_t n) { return chunks_[n % chunks_.size()]; }
  // Makes room in chunk for one more record of bytes bytes. The buffers grow to what the largest
  // chunk needed and stay.
  static void Grow(Chunk& chunk, size_t bytes);
  void Work();
  void StopThreads();  // stops the threads and waits for them to end
  void Publish();      // hands the chunk being filled over and takes the next one
  Task TakeTask();     // REQUIRES: mutex_ held
  // Runs tasks, or waits, until the first chunks chunks are written or a thread failed.
  void HelpUntilRetired(uint64_t chunks, std::unique_lock<std::mutex>& lock);
  // Does task and records that it is done; an error stops every thread. Unlocks lock meanwhile.
  void Run(const Task& task, TCsvFields* scratch, std::unique_lock<std::mutex>& lock);
  // The fields of a record put into a chunk's cells: column c's at cell[c * stride] for the
  // columns there are; those beyond are only counted.
  struct RecordCells {
    std::string_view* cell;  // where the next field goes
    size_t stride;
    size_t columnsLeft;
    size_t fields = 0;
    bool allNull = true;  // every field so far is null
    [[gnu::always_inline]] void Put(std::string_view field) {
      ++fields;
      if (allNull) allNull = field == kNullText;
      if (columnsLeft == 0) return;
      *cell = field;
      cell += stride;
      --columnsLeft;
    }
    void FillNulls() {  // the columns left get null cells: the record had no fields for them
      for (; columnsLeft > 0; --columnsLeft, cell += stride) *cell = kNullText;
    }
  };
  void Split(Chunk& chunk, TCsvFields* scratch) const;
  // Puts the cells of record r of chunk into place.
  void SplitRecord(Chunk& chunk, size_t r, std::string_view record, TCsvFields* scratch) const;
  // Counts record r of chunk, whose cells are in place, in its rows.
  void Count(Chunk& chunk, size_t r, const RecordCells& cells) const;
  // The cells of record r of chunk, which holds a quote, split through scratch.
  RecordCells SplitQuoted(Chunk& chunk, size_t r, std::string_view record,
                          TCsvFields* scratch) const;
  void Write(size_t group, const Chunk& chunk);
  void Retire(const Chunk& chunk);  // REQUIRES: mutex_ held; chunks in order
  void ThrowAnyError();             // REQUIRES: mutex_ held

  const std::vector<std::unique_ptr<TCol>>& cols_;
  const size_t columns_;
  const char separator_;
  const std::string csvPath_;
  const size_t chunkRecords_;
  const size_t chunkBytes_;
  const size_t groups_;        // column c is in group c % groups_
  std::vector<Chunk> chunks_;  // chunk n in chunks_[n % size]
  TCsvFields scratch_;         // the reading thread's split, when it lends a hand

  std::mutex mutex_;
  std::condition_variable changed_;  // a chunk was handed over, split or written, or an error
  uint64_t published_ = 0;           // chunks handed over; the one being filled has this number
  uint64_t nextSplit_ = 0;           // the first chunk no thread has taken to split
  uint64_t retired_ = 0;             // chunks every group has written
  std::vector<uint64_t> next_;       // per group: the chunk it writes next
  std::vector<char> busy_;           // per group: a thread is writing it
  std::vector<int64_t> heldNulls_;   // per group: records of nulls alone not yet written
  std::vector<int64_t> written_;     // per group: rows written
  int64_t heldRows_ = 0;             // the same for the rows counted at retirement
  int64_t rows_ = 0;
  int64_t longRows_ = 0;
  int64_t replaced_ = 0;
  std::atomic<bool> stop_{false};  // no more work: done, or an error
  std::exception_ptr error_;       // the first error of a thread
  std::vector<std::thread> threads_;
};

}  // namespace tabulon
