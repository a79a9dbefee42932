#include "import/ColumnWorkers.h"

#include <algorithm>
#include <cstring>

#include "column/Values.h"

namespace tabulon {

namespace {

// The cells of a chunk by default, and a bound on its bytes: a chunk of this size takes long
// enough to write that handing it over costs next to nothing, stays in the second-level cache
// while the threads read it, and three of them in flight keep the import's memory small whatever
// the file's size.
constexpr size_t kChunkCells = 1 << 16;
constexpr size_t kChunkBytes = 1 << 20;

}  // namespace

TColumnWorkers::TColumnWorkers(const std::vector<std::unique_ptr<TCol>>& cols, int threads,
                               size_t chunkRecords)
    : cols_(cols),
      columns_(cols.size()),
      chunkRecords_(chunkRecords != 0
                        ? chunkRecords
                        : std::max<size_t>(kChunkCells / std::max<size_t>(columns_, 1), 1)),
      chunkBytes_(chunkRecords != 0 ? SIZE_MAX : kChunkBytes),
      filling_(&chunks_[0]) {
  const size_t count = std::clamp<size_t>(static_cast<size_t>(std::max(threads, 1)), 1,
                                          std::max<size_t>(columns_, 1));
  taken_.assign(count, 0);
  try {
    for (size_t t = 0; t < count; ++t) threads_.emplace_back([this, t] { Work(t); });
  } catch (...) {
    StopThreads();
    throw;
  }
}

TColumnWorkers::~TColumnWorkers() {
  StopThreads();
}

void TColumnWorkers::StopThreads() {
  stop_ = true;
  {
    const std::lock_guard<std::mutex> hold(mutex_);
    finished_ = true;
  }
  work_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void TColumnWorkers::AddRow(const std::vector<std::string_view>& fields) {
  Chunk& chunk = *filling_;
  const size_t given = std::min(fields.size(), columns_);
  size_t size = (columns_ - given) * kNullText.size();
  for (size_t i = 0; i < given; ++i) size += fields[i].size();
  // The chunk's buffers grow to what the largest chunk needed and stay, so that most rows are
  // copied without a check per cell.
  if (chunk.bytes.size() < chunk.used + size)
    chunk.bytes.resize(std::max(chunk.bytes.size() * 2, chunk.used + size));
  const size_t cells = (chunk.records + 1) * columns_;
  if (chunk.ends.size() < cells) chunk.ends.resize(std::max(chunk.ends.size() * 2, cells));
  char* const bytes = chunk.bytes.data();
  size_t at = chunk.used;
  size_t* end = chunk.ends.data() + chunk.records * columns_;
  const auto put = [&](std::string_view text) {
    if (!text.empty()) std::memcpy(bytes + at, text.data(), text.size());
    at += text.size();
    *end++ = at;
  };
  for (size_t i = 0; i < given; ++i) put(fields[i]);
  for (size_t i = given; i < columns_; ++i) put(kNullText);  // a missing cell is null
  chunk.used = at;
  if (++chunk.records >= chunkRecords_ || at >= chunkBytes_) Publish();
}

void TColumnWorkers::Publish() {
  std::unique_lock<std::mutex> lock(mutex_);
  ThrowAnyError();
  ++published_;
  work_.notify_all();
  // The next chunk's place held chunk published_ - kChunksInFlight: every thread must be past it.
  const uint64_t reuse = published_ + 1 > kChunksInFlight ? published_ + 1 - kChunksInFlight : 0;
  done_.wait(lock, [&] {
    return error_ != nullptr ||
           std::all_of(taken_.begin(), taken_.end(), [&](uint64_t n) { return n >= reuse; });
  });
  ThrowAnyError();
  filling_ = &chunks_[published_ % kChunksInFlight];
  filling_->used = 0;
  filling_->records = 0;
}

void TColumnWorkers::Finish() {
  if (filling_->records > 0) Publish();
  std::unique_lock<std::mutex> lock(mutex_);
  finished_ = true;
  work_.notify_all();
  done_.wait(lock, [&] {
    return error_ != nullptr ||
           std::all_of(taken_.begin(), taken_.end(), [&](uint64_t n) { return n == published_; });
  });
  ThrowAnyError();
}

void TColumnWorkers::ThrowAnyError() {
  if (error_ != nullptr) std::rethrow_exception(error_);
}

void TColumnWorkers::Work(size_t thread) {
  const size_t step = taken_.size();  // the thread's columns: thread, thread + step, ...
  for (;;) {
    uint64_t number;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      work_.wait(lock, [&] { return stop_ || taken_[thread] < published_ || finished_; });
      if (stop_ || taken_[thread] == published_) return;
      number = taken_[thread];
    }
    const Chunk& chunk = chunks_[number % kChunksInFlight];
    try {
      // Row by row, so that the chunk is read once while it is in the cache.
      const std::string_view bytes(chunk.bytes.data(), chunk.used);
      for (size_t r = 0, row = 0; r < chunk.records && !stop_; ++r, row += columns_) {
        for (size_t c = thread; c < columns_; c += step) {
          const size_t cell = row + c;
          const size_t begin = cell == 0 ? 0 : chunk.ends[cell - 1];
          cols_[c]->AddValue(bytes.substr(begin, chunk.ends[cell] - begin));
        }
      }
    } catch (...) {
      const std::lock_guard<std::mutex> hold(mutex_);
      if (error_ == nullptr) error_ = std::current_exception();
      stop_ = true;
      done_.notify_all();
      work_.notify_all();
      return;
    }
    {
      const std::lock_guard<std::mutex> hold(mutex_);
      ++taken_[thread];
    }
    done_.notify_all();
  }
}

}  // namespace tabulon
