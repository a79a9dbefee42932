#include "platform/FileIo.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/Errors.h"

namespace tabulon {

namespace {

struct FaultState {
  std::array<int64_t, static_cast<size_t>(FileOp::kCount)> failAt{};  // 0 = off
  std::array<int64_t, static_cast<size_t>(FileOp::kCount)> count{};
};
FaultState& Faults() {
  static FaultState state;
  return state;
}

// Counts one operation of a kind; true when the test hook wants it to fail.
bool Injected(FileOp op) {
  FaultState& f = Faults();
  const size_t i = static_cast<size_t>(op);
  ++f.count[i];
  return f.failAt[i] != 0 && f.count[i] == f.failAt[i];
}

[[noreturn]] void Fail(const std::string& path, TFileAction action, int err) {
  throw IoError(path, action, err);
}

[[noreturn]] void FailInjected(const std::string& path, TFileAction action) {
  throw IoError(path, action, Wording("injected fault", "テストのために起こした障害です"));
}

}  // namespace

void InjectFileFault(FileOp op, int64_t n) {
  FaultState& f = Faults();
  f.failAt[static_cast<size_t>(op)] = n;
  f.count[static_cast<size_t>(op)] = 0;
}

int64_t FileOpCount(FileOp op) {
  return Faults().count[static_cast<size_t>(op)];
}

void ClearFileFaults() {
  Faults() = FaultState();
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int64_t FileSize(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool FileModifiedTime(const std::string& path, time_t* seconds) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  *seconds = st.st_mtime;
  return true;
}

FileStamp StampOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return {};
  return {static_cast<int64_t>(st.st_size),
          static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

void CreateDirectoryIfMissing(const std::string& path) {
  if (DirectoryExists(path)) return;
  if (Injected(FileOp::kCreate)) FailInjected(path, TFileAction::kCreateFolder);
  if (::mkdir(path.c_str(), 0777) != 0) {
    if (errno == EEXIST && !DirectoryExists(path))
      throw IoError(path, TFileAction::kCreateFolder,
                    Wording("a file of that name is in the way", "同じ名前のファイルがあります"));
    if (errno != EEXIST) Fail(path, TFileAction::kCreateFolder, errno);
  }
}

void DeleteFileIfExists(const std::string& path) {
  if (Injected(FileOp::kDelete)) FailInjected(path, TFileAction::kDelete);
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) Fail(path, TFileAction::kDelete, errno);
}

std::vector<std::string> ListDirectory(const std::string& path) {
  DIR* dir = ::opendir(path.c_str());
  if (dir == nullptr) Fail(path, TFileAction::kList, errno);
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

namespace {

// A failed rename is reported as action on from.
void Rename(const std::string& from, const std::string& to, TFileAction action) {
  if (Injected(FileOp::kRename)) FailInjected(from, action);
  if (::rename(from.c_str(), to.c_str()) != 0) Fail(from, action, errno);
}

}  // namespace

void RenameFile(const std::string& from, const std::string& to) {
  Rename(from, to, TFileAction::kRename);
}

std::string ReadWholeFile(const std::string& path) {
  InFile in;
  in.Open(path);
  // Read straight into the text, sized by the file; a file that grows meanwhile is read on.
  std::string bytes;
  size_t have = 0;
  bytes.resize(static_cast<size_t>(std::max<int64_t>(FileSize(path), 0)) + 1);
  for (;;) {
    if (have == bytes.size()) bytes.resize(bytes.size() * 2);
    const size_t n = in.ReadSome(bytes.data() + have, bytes.size() - have);
    if (n == 0) break;
    have += n;
  }
  in.Close();
  bytes.resize(have);
  return bytes;
}

// ---- FileBytes

namespace {

constexpr size_t kLargePage = size_t{2} << 20;

size_t RoundUp(size_t bytes, size_t unit) {
  return (bytes + unit - 1) / unit * unit;
}

// Gives advice on the whole units of unit bytes within [data, data + bytes).
[[maybe_unused]] void AdviseWholeUnits(void* data, size_t bytes, size_t unit, int advice) {
  const uintptr_t begin = RoundUp(reinterpret_cast<uintptr_t>(data), unit);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) / unit * unit;
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, advice);
}

}  // namespace

void AdviseLargePages([[maybe_unused]] void* data, [[maybe_unused]] size_t bytes) {
#ifdef MADV_HUGEPAGE
  AdviseWholeUnits(data, bytes, kLargePage, MADV_HUGEPAGE);
#endif
}

void PrefaultPages([[maybe_unused]] void* data, [[maybe_unused]] size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  if (bytes < (size_t{256} << 10)) return;  // a few faults cost less than the call
  // Fails on kernels before 5.14, which then fault page by page as ever.
  AdviseWholeUnits(data, bytes, 4096, MADV_POPULATE_WRITE);
#endif
}

namespace {
constexpr size_t kBulkMapped = size_t{256} << 10;  // from here on AllocateBulk maps
}  // namespace

size_t BulkCapacity(size_t bytes) {
  return bytes < kBulkMapped ? bytes : RoundUp(bytes, kLargePage);
}

void* AllocateBulk(size_t bytes) {
  if (bytes < kBulkMapped) {
    void* data = std::malloc(std::max<size_t>(bytes, 1));
    if (data == nullptr) throw std::bad_alloc();
    return data;
  }
  // Mapped with a large page's room to spare, then trimmed to start on a large page: the kernel
  // backs only aligned 2 MiB ranges with large pages.
  const size_t capacity = BulkCapacity(bytes);
  if (capacity < bytes || capacity > SIZE_MAX - kLargePage) throw std::bad_alloc();
  void* map = ::mmap(nullptr, capacity + kLargePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (map == MAP_FAILED) throw std::bad_alloc();
  char* const start = static_cast<char*>(map);
  char* const aligned =
      reinterpret_cast<char*>(RoundUp(reinterpret_cast<uintptr_t>(start), kLargePage));
  if (aligned > start) ::munmap(start, static_cast<size_t>(aligned - start));
  const size_t after = kLargePage - static_cast<size_t>(aligned - start);
  if (after > 0) ::munmap(aligned + capacity, after);
  AdviseLargePages(aligned, capacity);
  return aligned;
}

void FreeBulk(void* data, size_t bytes) {
  if (data == nullptr) return;
  if (bytes < kBulkMapped)
    std::free(data);
  else
    ::munmap(data, BulkCapacity(bytes));
}

void FileBytes::Allocate(size_t bytes) {
  Clear();
  data_ = static_cast<char*>(AllocateBulk(bytes));
  allocated_ = bytes;
  capacity_ = BulkCapacity(bytes);
  PrefaultPages(data_, capacity_);  // the read fills it whole
}

void FileBytes::Clear() {
  FreeBulk(data_, allocated_);
  data_ = nullptr;
  size_ = capacity_ = allocated_ = 0;
}

void FileBytes::Read(const std::string& path) {
  Clear();
  InFile in;
  in.Open(path);
  // Sized by the file with a byte to spare, so that the read that finds the end needs no more
  // room; a file that grows meanwhile is read on into larger memory.
  Allocate(static_cast<size_t>(std::max<int64_t>(FileSize(path), 0)) + 1);
  try {
    for (;;) {
      if (size_ == capacity_) {
        FileBytes larger;
        larger.Allocate(capacity_ * 2);
        std::memcpy(larger.data_, data_, size_);
        larger.size_ = size_;
        std::swap(data_, larger.data_);
        std::swap(size_, larger.size_);
        std::swap(capacity_, larger.capacity_);
        std::swap(allocated_, larger.allocated_);
      }
      const size_t n = in.ReadSome(data_ + size_, capacity_ - size_);
      if (n == 0) break;
      size_ += n;
    }
  } catch (...) {
    Clear();
    throw;
  }
  in.Close();
}

void WriteFileAtomically(const std::string& path, const std::function<void(OutFile&)>& write) {
  const std::string tmp = path + ".tmp";
  const TTemporaryName name(tmp, path);  // the user knows only path
  try {
    OutFile out;
    out.Create(tmp);
    write(out);
    out.Close();
    Rename(tmp, path, TFileAction::kWrite);  // to the user, the last step of writing path
  } catch (...) {
    ::unlink(tmp.c_str());
    throw;
  }
}

void WriteWholeFileAtomically(const std::string& path, std::string_view bytes) {
  WriteFileAtomically(path, [&](OutFile& out) { out.Write(bytes); });
}

// ---- OutFile

namespace {

// The buffers of the last files closed, for the next files that start writing: memory fresh from
// the system costs a page fault per 4 KiB at its first fill, and an import closes and starts
// files as it converts columns and ends them. A few suffice; they stay for the process's life.
constexpr size_t kSpareBuffers = 4;
thread_local std::vector<std::vector<char>> spareBuffers;

}  // namespace

void OutFile::Start(const std::string& path) {
  path_ = path;
  used_ = 0;
  buf_.clear();
  open_ = true;
}

void OutFile::Create(const std::string& path) {
  Abandon();
  Start(path);
  create_ = true;  // the file is made (or truncated) by the first write-out, at the latest Close
}

void OutFile::OpenAppend(const std::string& path) {
  Abandon();
  if (Injected(FileOp::kOpen)) FailInjected(path, TFileAction::kOpen);
  if (!FileExists(path)) Fail(path, TFileAction::kOpen, ENOENT);
  Start(path);
}

void OutFile::FlushBuffer() {
  if (used_ == 0 && !create_) return;
  WriteOut(buf_.data(), used_);
  used_ = 0;
}

void OutFile::WriteOut(const char* p, size_t bytes) {
  int fd;
  if (create_) {
    if (Injected(FileOp::kCreate)) FailInjected(path_, TFileAction::kCreate);
    fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) Fail(path_, TFileAction::kCreate, errno);
    create_ = false;
  } else {
    fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) Fail(path_, TFileAction::kWrite, errno);
  }
  if (bytes > 0 && Injected(FileOp::kWrite)) {
    ::close(fd);
    FailInjected(path_, TFileAction::kWrite);
  }
  while (bytes > 0) {
    ssize_t n = ::write(fd, p, bytes);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      Fail(path_, TFileAction::kWrite, err);
    }
    p += n;
    bytes -= static_cast<size_t>(n);
  }
  if (::close(fd) != 0) Fail(path_, TFileAction::kWrite, errno);
}

void OutFile::Write(const void* data, size_t bytes) {
  if (buf_.empty()) {
    for (size_t i = 0; i < spareBuffers.size(); ++i) {
      if (spareBuffers[i].size() != bufferSize_) continue;
      buf_.swap(spareBuffers[i]);
      spareBuffers.erase(spareBuffers.begin() + static_cast<ptrdiff_t>(i));
      break;
    }
    if (buf_.empty()) buf_.resize(bufferSize_);
  }
  const char* p = static_cast<const char*>(data);
  if (bytes > buf_.size() - used_) {
    FlushBuffer();
    // What would fill the buffer several times over goes out in one write.
    if (bytes >= buf_.size()) {
      WriteOut(p, bytes);
      return;
    }
  }
  if (bytes > 0) std::memcpy(buf_.data() + used_, p, bytes);
  used_ += bytes;
}

void OutFile::WriteLineSlow(std::string_view line) {
  Write(line);
  Write("\r\n", 2);
}

void OutFile::Close() {
  if (!open_) return;
  try {
    FlushBuffer();
  } catch (...) {
    Abandon();
    throw;
  }
  Abandon();
}

void OutFile::Abandon() {
  open_ = false;
  create_ = false;
  used_ = 0;
  if (!buf_.empty() && spareBuffers.size() < kSpareBuffers) {
    spareBuffers.push_back(std::move(buf_));
    buf_ = std::vector<char>();
  }
  buf_.clear();
  buf_.shrink_to_fit();
}

// ---- InFile

InFile::~InFile() {
  Close();
}

void InFile::Open(const std::string& path) {
  Close();
  path_ = path;
  if (Injected(FileOp::kOpen)) FailInjected(path, TFileAction::kOpen);
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) Fail(path, TFileAction::kOpen, errno);
  struct stat st;
  if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
    Close();
    Fail(path, TFileAction::kOpen, EISDIR);
  }
}

size_t InFile::ReadSome(void* data, size_t bytes) {
  if (Injected(FileOp::kRead)) FailInjected(path_, TFileAction::kRead);
  for (;;) {
    ssize_t n = ::read(fd_, data, bytes);
    if (n >= 0) return static_cast<size_t>(n);
    if (errno != EINTR) Fail(path_, TFileAction::kRead, errno);
  }
}

void InFile::ReadExact(void* data, size_t bytes) {
  char* p = static_cast<char*>(data);
  while (bytes > 0) {
    size_t n = ReadSome(p, bytes);
    if (n == 0) throw IoError(path_, TFileAction::kRead, TooShortReason());
    p += n;
    bytes -= n;
  }
}

void InFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace tabulon
