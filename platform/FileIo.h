// The file layer: every file operation of the core goes through here, so failures are reported
// alike (IoError naming the file and the reason) and tests can make the n-th operation fail.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Errors.h"
#include "platform/Records.h"
#include "platform/System.h"

namespace tabulon {

bool FileExists(const std::string& path);  // a regular file (or anything not a directory)
bool DirectoryExists(const std::string& path);
bool IsRegularFile(const std::string& path);  // not a directory, device, pipe or socket
// Size in bytes, or -1 when the file does not exist.
int64_t FileSize(const std::string& path);
// Last-write time; false when the file does not exist.
bool FileModifiedTime(const std::string& path, time_t* seconds);
// The size and last-write time of a file, to tell whether it changed since it was read. A file
// that cannot be examined has size -1.
struct FileStamp {
  int64_t size = -1;
  int64_t modifiedNs = 0;
  bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);
// Creates the directory when it does not exist. Throws IoError when it cannot, also when a file
// of that name is in the way.
void CreateDirectoryIfMissing(const std::string& path);
// Deletes a file; a missing file is no error. Throws IoError on any other failure.
void DeleteFileIfExists(const std::string& path);
// The names of the entries of a directory (without "." and ".."). Throws IoError.
std::vector<std::string> ListDirectory(const std::string& path);
// Renames (replacing the target). Throws IoError on failure.
void RenameFile(const std::string& from, const std::string& to);
// The whole file. Throws IoError when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// The bytes of a whole file, in memory that is not cleared before the read fills it.
class FileBytes {
 public:
  FileBytes() = default;
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  // Replaces the bytes by those of the file at path, read on while it grows. Throws IoError when
  // it cannot be read; the bytes are empty then.
  void Read(const std::string& path);
  // Empty, and the memory given back.
  void Clear();
  std::string_view View() const { return std::string_view(bytes_.data(), size_); }
  size_t Size() const { return size_; }

 private:
  Records<char> bytes_;  // room for the file and more; the first size_ bytes are read
  size_t size_ = 0;      // bytes read
};

class OutFile;
// Writes a whole file: write fills path + ".tmp", which is then renamed over path, so the file at
// path is always the old one or the new one. Throws IoError on failure (also what write throws),
// after removing the temporary file; the messages name path, never the temporary file.
void WriteFileAtomically(const std::string& path, const std::function<void(OutFile&)>& write);
void WriteWholeFileAtomically(const std::string& path, std::string_view bytes);

// A file written front to back through a buffer. The file is opened only while a full buffer is
// written out, so any number of these can be in use at once (an import keeps one or two per
// column, and a file may have thousands of columns).
class OutFile {
 public:
  OutFile() = default;
  ~OutFile() = default;  // pending bytes of an unclosed file are dropped
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;

  // The buffer size for the next Create or OpenAppend (default 256 KiB).
  void SetBufferSize(size_t bytes) { bufferSize_ = bytes < 512 ? 512 : bytes; }
  // Starts path anew: the file is created (or truncated) when the first bytes are written out,
  // at the latest by Close. Throws IoError then.
  void Create(const std::string& path);
  // Continues an existing file at its end. Throws IoError.
  void OpenAppend(const std::string& path);
  bool IsOpen() const { return open_; }
  const std::string& Path() const { return path_; }

  // REQUIRES: IsOpen(). Throws IoError when writing out the buffer fails.
  void Write(const void* data, size_t bytes);
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
  // Writes a line followed by CR LF.
  void WriteLine(std::string_view line) {
    if (line.size() + 2 <= buf_.size() - used_) {
      if (!line.empty()) std::memcpy(buf_.data() + used_, line.data(), line.size());
      used_ += line.size();
      buf_[used_++] = '\r';
      buf_[used_++] = '\n';
    } else {
      WriteLineSlow(line);
    }
  }
  template <typename T>
  void WriteRecord(const T& value) {
    if (sizeof(T) <= buf_.size() - used_) {
      std::memcpy(buf_.data() + used_, &value, sizeof(T));
      used_ += sizeof(T);
    } else {
      Write(&value, sizeof(T));
    }
  }
  // Writes out what is pending and ends the file. Throws IoError.
  void Close();
  // Ends the file without writing what is pending (after an error).
  void Abandon();

 private:
  void Start(const std::string& path);
  void WriteLineSlow(std::string_view line);
  void FlushBuffer();
  void WriteOut(const char* bytes, size_t size);  // one open-write-close

  std::string path_;     // for messages
  bool open_ = false;    // between Create/OpenAppend and Close/Abandon
  bool create_ = false;  // Create ran and the file has not been made yet
  size_t bufferSize_ = 1 << 18;
  std::vector<char> buf_;  // pending bytes (allocated on the first write)
  size_t used_ = 0;        // bytes pending in buf_
};

// A file read front to back in large blocks.
class InFile {
 public:
  InFile() = default;
  ~InFile();
  InFile(const InFile&) = delete;
  InFile& operator=(const InFile&) = delete;

  // Opens path for reading. Throws IoError.
  void Open(const std::string& path);
  bool IsOpen() const { return file_ != sys::kNoFile; }
  const std::string& Path() const { return path_; }
  // Reads exactly bytes bytes into data. Throws IoError when the file ends first ("file is too
  // short") or a read fails.
  void ReadExact(void* data, size_t bytes);
  // Reads up to bytes bytes; returns how many were read (0 at the end).
  size_t ReadSome(void* data, size_t bytes);
  void Close();

 private:
  std::string path_;
  sys::FileHandle file_ = sys::kNoFile;  // open between Open and Close
};

// Reads count fixed-size records from the front of path into *out, checking the file's size
// first, so a damaged count never causes a huge allocation or a short read. Throws IoError when
// the file is missing or holds fewer records.
template <typename T>
void ReadRecords(const std::string& path, int64_t count, Records<T>* out) {
  const int64_t size = FileSize(path);
  if (size < 0) throw IoError(path, TFileAction::kOpen, ENOENT);
  if (count < 0 || size / static_cast<int64_t>(sizeof(T)) < count)
    throw IoError(path, TFileAction::kRead, TooShortReason());
  // Fresh memory when it must grow, so no old records are copied over; not cleared, since the
  // read fills every record.
  if (out->capacity() < static_cast<size_t>(count)) {
    Records<T>().swap(*out);
    out->ReserveInLargePages(static_cast<size_t>(count));
  }
  out->ResizeUninitialized(static_cast<size_t>(count));
  try {
    InFile in;
    in.Open(path);
    in.ReadExact(out->data(), static_cast<size_t>(count) * sizeof(T));
    in.Close();
  } catch (...) {
    out->clear();  // no records of unknown value are left behind
    throw;
  }
}

// Test hook: makes the n-th file operation of a kind (counted from 1, from the call on) fail with
// an injected error. n = 0 turns injection off. Operations count only while injection is on.
enum class FileOp { kCreate, kOpen, kRead, kWrite, kRename, kDelete, kCount };
void InjectFileFault(FileOp op, int64_t n);
// How many operations of a kind ran since the last InjectFileFault or ClearFileFaults.
int64_t FileOpCount(FileOp op);
void ClearFileFaults();

}  // namespace tabulon
