#include "import/ColumnWorkers.h"

#include <algorithm>
#include <climits>

#include "column/Values.h"
#include "platform/Messages.h"
#include "platform/SjisText.h"

namespace tabulon {

namespace {

// The cells of a chunk by default, and a bound on its text: a chunk of this size takes long
// enough to write that handing it over costs next to nothing, and the chunks in flight keep the
// import's memory small whatever the file's size.
constexpr size_t kChunkCells = 1 << 16;
constexpr size_t kChunkBytes = 1 << 20;
// Groups per thread: enough that a thread finds a group to write while others are busy, few
// enough that each writes a good share of a chunk at a time.
constexpr size_t kGroupsPerThread = 4;

}  // namespace

IoError TooManyRows(const std::string& csvPath) {
  return IoError(csvPath, TFileAction::kImport, Wording("too many rows", "行が多すぎます"));
}

TColumnWorkers::TColumnWorkers(const std::vector<std::unique_ptr<TCol>>& cols, int threads,
                               char separator, const std::string& csvPath, size_t chunkRecords,
                               size_t chunkBytes)
    : cols_(cols),
      columns_(std::max<size_t>(cols.size(), 1)),
      separator_(separator),
      csvPath_(csvPath),
      chunkRecords_(chunkRecords != 0 ? chunkRecords : std::max<size_t>(kChunkCells / columns_, 1)),
      chunkBytes_(chunkBytes != 0     ? chunkBytes
                  : chunkRecords != 0 ? SIZE_MAX
                                      : kChunkBytes),
      groups_(std::min(columns_, kGroupsPerThread * static_cast<size_t>(std::max(threads, 1)))),
      chunks_(static_cast<size_t>(std::max(threads, 1)) + 2),
      next_(groups_, 0),
      busy_(groups_, 0),
      heldNulls_(groups_, 0),
      written_(groups_, 0) {
  try {
    for (int t = 1; t < threads; ++t) threads_.emplace_back([this] { Work(); });
  } catch (...) {
    StopThreads();
    throw;
  }
}

TColumnWorkers::~TColumnWorkers() {
  StopThreads();
}

void TColumnWorkers::StopThreads() {
  {
    const std::lock_guard<std::mutex> hold(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

void TColumnWorkers::Grow(Chunk& chunk, size_t bytes) {
  if (chunk.text.size() - chunk.used < bytes)
    chunk.text.resize(std::max(chunk.text.size() * 2, chunk.used + bytes));
  if (chunk.recordEnds.size() == chunk.records) chunk.recordEnds.resize(chunk.records * 2 + 16);
}

void TColumnWorkers::Publish() {
  std::unique_lock<std::mutex> lock(mutex_);
  ThrowAnyError();
  ++published_;
  changed_.notify_all();
  // The next chunk's place held chunk published_ - size: it must have been written.
  if (published_ >= chunks_.size()) HelpUntilRetired(published_ - chunks_.size() + 1, lock);
  ThrowAnyError();
  Chunk& next = ChunkNumbered(published_);
  next.used = 0;
  next.raw = false;
  next.lines = 0;
  next.records = 0;
  next.split = false;
  next.groupsDone = 0;
}

void TColumnWorkers::AddRecords(const TRecordBlock& block) {
  if (ChunkNumbered(published_).records > 0) Publish();
  Chunk& chunk = ChunkNumbered(published_);
  const std::string_view text = block.text;
  if (chunk.text.size() - chunk.used < text.size())
    chunk.text.resize(std::max(chunk.text.size() * 2, chunk.used + text.size()));
  if (!text.empty()) std::memcpy(chunk.text.data() + chunk.used, text.data(), text.size());
  chunk.used += text.size();
  chunk.raw = true;
  chunk.utf8 = block.utf8;
  chunk.lfMode = block.lfMode;
  chunk.lines += block.lines;
  if (chunk.lines >= chunkRecords_ || chunk.used >= chunkBytes_) Publish();
}

void TColumnWorkers::Finish() {
  const Chunk& last = ChunkNumbered(published_);
  if (last.records > 0 || last.raw) Publish();
  std::unique_lock<std::mutex> lock(mutex_);
  HelpUntilRetired(published_, lock);
  ThrowAnyError();
  lock.unlock();
  StopThreads();
}

void TColumnWorkers::HelpUntilRetired(uint64_t chunks, std::unique_lock<std::mutex>& lock) {
  while (retired_ < chunks && error_ == nullptr) {
    const Task task = TakeTask();
    if (task.kind != Task::kNone) {
      Run(task, &scratch_, lock);
    } else {
      changed_.wait(lock);
    }
  }
}

void TColumnWorkers::ThrowAnyError() {
  if (error_ != nullptr) std::rethrow_exception(error_);
}

TColumnWorkers::Task TColumnWorkers::TakeTask() {
  Task task;
  if (stop_) return task;
  // Writing first, so that chunks retire and their places come free; the oldest chunk first.
  uint64_t oldest = UINT64_MAX;
  for (size_t g = 0; g < groups_; ++g) {
    const uint64_t n = next_[g];
    if (busy_[g] || n >= published_ || n >= oldest || !ChunkNumbered(n).split) continue;
    oldest = n;
    task = {Task::kWrite, n, g};
  }
  if (task.kind == Task::kWrite) {
    busy_[task.group] = 1;
  } else if (nextSplit_ < published_) {
    task = {Task::kSplit, nextSplit_++, 0};
  }
  return task;
}

void TColumnWorkers::Run(const Task& task, TCsvFields* scratch,
                         std::unique_lock<std::mutex>& lock) {
  Chunk& chunk = ChunkNumbered(task.chunk);
  lock.unlock();
  try {
    if (task.kind == Task::kSplit) {
      Split(chunk, scratch);
    } else {
      Write(task.group, chunk);
    }
  } catch (...) {
    lock.lock();
    if (error_ == nullptr) error_ = std::current_exception();
    stop_ = true;
    changed_.notify_all();
    return;
  }
  lock.lock();
  if (task.kind == Task::kSplit) {
    chunk.split = true;
  } else {
    busy_[task.group] = 0;
    ++next_[task.group];
    if (++chunk.groupsDone == groups_) Retire(chunk);
  }
  changed_.notify_all();
}

void TColumnWorkers::Work() {
  TCsvFields scratch;
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_) {
    const Task task = TakeTask();
    if (task.kind != Task::kNone) {
      Run(task, &scratch, lock);
    } else {
      changed_.wait(lock);
    }
  }
}

[[gnu::always_inline]] inline void TColumnWorkers::Count(Chunk& chunk, size_t r,
                                                         const RecordCells& cells) const {
  if (cells.allNull) return;
  chunk.rows = r + 1;
  if (cells.fields > columns_) ++chunk.longRows;
}

[[gnu::always_inline]] inline void TColumnWorkers::SplitRecord(Chunk& chunk, size_t r,
                                                               std::string_view record,
                                                               TCsvFields* scratch) const {
  RecordCells cells{chunk.cells.data() + r, chunk.stride, columns_};
  if (SplitUnquotedRecord(record, separator_, cells))
    cells.FillNulls();
  else
    cells = SplitQuoted(chunk, r, record, scratch);
  Count(chunk, r, cells);
}

void TColumnWorkers::Split(Chunk& chunk, TCsvFields* scratch) const {
  chunk.rewritten.clear();
  chunk.rows = 0;
  chunk.longRows = 0;
  chunk.replaced = 0;
  // A block's lines are as many as its records or more (records of several lines).
  chunk.stride = chunk.raw ? chunk.lines : chunk.records;
  chunk.cells.resize(chunk.stride * columns_);
  if (!chunk.raw) {
    size_t begin = 0;
    for (size_t r = 0; r < chunk.records; ++r) {
      SplitRecord(chunk, r, {chunk.text.data() + begin, chunk.recordEnds[r] - begin}, scratch);
      begin = chunk.recordEnds[r];
    }
    return;
  }
  // A line without a quote is a record, split as its line end is found. The others are found as
  // CsvRecordReader::ReadRecords found where the blocks end.
  std::string_view text(chunk.text.data(), chunk.used);
  if (chunk.utf8) {
    chunk.converted.clear();
    chunk.replaced = static_cast<int64_t>(AppendUtf8AsSjis(text, &chunk.converted));
    text = chunk.converted;
  }
  const bool lfMode = chunk.lfMode;
  TQuoteScan scan(separator_);
  size_t r = 0;
  for (size_t pos = 0; pos < text.size(); ++r) {
    // The cells have room for as many records as the reading thread counted lines; a record
    // beyond them would be a fault in that count, refused rather than written past the cells.
    if (r == chunk.stride)
      throw IoError(csvPath_, TFileAction::kImport,
                    Wording("the lines were miscounted", "行の数え方に誤りがあります"));
    RecordCells cells{chunk.cells.data() + r, chunk.stride, columns_};
    const size_t lineEnd = SplitUnquotedLine(text, pos, separator_, lfMode, cells);
    if (lineEnd != std::string_view::npos) {
      cells.FillNulls();
      Count(chunk, r, cells);
      pos = AfterLineEnd(text, lineEnd, lfMode);
      continue;
    }
    const TRecordSpan span = NextRecord(text, pos, lfMode, &scan);
    std::string_view record = text.substr(pos, span.end - pos);
    if (span.joined) {
      std::string& joined = chunk.rewritten.emplace_back();
      AppendJoinedLines(record, lfMode, &joined);
      record = joined;
    }
    Count(chunk, r, SplitQuoted(chunk, r, record, scratch));
    pos = span.next;
  }
  chunk.records = r;
}

TColumnWorkers::RecordCells TColumnWorkers::SplitQuoted(Chunk& chunk, size_t r,
                                                        std::string_view record,
                                                        TCsvFields* scratch) const {
  // The split rewrites a quoted field with a doubled quote or a line break into scratch's
  // rewritten text, which goes with the next record: the chunk keeps its own copy.
  std::string& rewritten = scratch->rewritten;
  rewritten.clear();
  SplitCsvRecord(record, scratch, separator_);
  RecordCells cells{chunk.cells.data() + r, chunk.stride, columns_};
  const uintptr_t from = reinterpret_cast<uintptr_t>(rewritten.data());
  for (const std::string_view field : scratch->fields) {
    const bool moved = reinterpret_cast<uintptr_t>(field.data()) - from < rewritten.size();
    cells.Put(moved && cells.columnsLeft > 0 ? chunk.rewritten.emplace_back(field) : field);
  }
  cells.FillNulls();
  return cells;
}

void TColumnWorkers::Write(size_t group, const Chunk& chunk) {
  int64_t& held = heldNulls_[group];
  const int64_t rows = static_cast<int64_t>(chunk.rows);
  // The rows up to the chunk's last: every group counts them, and refuses before it writes.
  if (rows > 0 && written_[group] + held + rows > INT32_MAX) throw TooManyRows(csvPath_);
  for (size_t c = group; c < cols_.size() && !stop_; c += groups_) {
    TCol& col = *cols_[c];
    if (rows > 0)
      for (int64_t i = 0; i < held; ++i) col.AddValue(kNullText);
    col.AddValues(chunk.cells.data() + c * chunk.stride, chunk.rows);
  }
  if (rows > 0) {
    written_[group] += held + rows;
    held = 0;
  }
  held += static_cast<int64_t>(chunk.records - chunk.rows);
}

void TColumnWorkers::Retire(const Chunk& chunk) {
  ++retired_;
  longRows_ += chunk.longRows;
  replaced_ += chunk.replaced;
  if (chunk.rows > 0) {
    rows_ += heldRows_ + static_cast<int64_t>(chunk.rows);
    heldRows_ = 0;
  }
  heldRows_ += static_cast<int64_t>(chunk.records - chunk.rows);
}

}  // namespace tabulon
