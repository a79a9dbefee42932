// The rows of an import written by several threads: the reading thread collects whole rows into
// chunks, and each thread writes a fixed share of the columns, every column the rows of every
// chunk in order. So each column's writer takes exactly the cells a one-thread import gives it,
// in the same order, and writes the same files.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "column/TCol.h"

namespace tabulon {

class TColumnWorkers {
 public:
  // Starts min(threads, columns) threads over cols, which must outlive this object and take no
  // other calls meanwhile. chunkRecords: the rows of a chunk, 0 for a size of about a megabyte of
  // cells. Throws what starting a thread throws.
  TColumnWorkers(const std::vector<std::unique_ptr<TCol>>& cols, int threads,
                 size_t chunkRecords = 0);
  // Stops the threads and waits for them: after an error the columns stand part-way, for
  // Abandon.
  ~TColumnWorkers();
  TColumnWorkers(const TColumnWorkers&) = delete;
  TColumnWorkers& operator=(const TColumnWorkers&) = delete;

  // Appends a row: its cells are fields[i] for the columns there are fields for, null for the
  // others; fields beyond the columns are dropped. A full chunk goes to the threads (waiting while
  // the chunks in flight are all taken). Throws the first error a thread met (AddValue's IoError).
  void AddRow(const std::vector<std::string_view>& fields);
  // Hands over the last rows and waits until every column has taken every row. Throws the first
  // error a thread met.
  void Finish();

  int Threads() const { return static_cast<int>(threads_.size()); }

 private:
  // Rows of cells, columns_ cells a row: cell i is bytes[ends[i - 1] .. ends[i]). The first used
  // bytes and records * columns_ ends are the chunk's; the buffers are kept for the next one.
  struct Chunk {
    std::vector<char> bytes;
    size_t used = 0;
    std::vector<size_t> ends;
    size_t records = 0;
  };
  static constexpr size_t kChunksInFlight = 3;

  void Work(size_t thread);
  void StopThreads();  // stops the threads and waits for them to end
  // Hands the chunk being filled to the threads and takes the next one once they are done with
  // what it held before.
  void Publish();
  void ThrowAnyError();  // REQUIRES: mutex_ held

  const std::vector<std::unique_ptr<TCol>>& cols_;
  const size_t columns_;
  size_t chunkRecords_;
  size_t chunkBytes_;
  Chunk chunks_[kChunksInFlight];  // chunk n in chunks_[n % kChunksInFlight]
  Chunk* filling_;                 // the chunk the reading thread fills, number published_

  std::mutex mutex_;
  std::condition_variable work_;   // a chunk was published, or the threads are to stop
  std::condition_variable done_;   // a thread finished a chunk, or failed
  uint64_t published_ = 0;         // chunks handed to the threads
  std::vector<uint64_t> taken_;    // per thread: chunks it has written
  bool finished_ = false;          // no chunk follows
  std::atomic<bool> stop_{false};  // an error: the threads leave their work
  std::exception_ptr error_;       // the first error of a thread
  std::vector<std::thread> threads_;
};

}  // namespace tabulon
