#include "platform/FileIo.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/Errors.h"
#include "platform/System.h"

namespace tabulon {

namespace {

// The import's column threads count their operations into the same counters, so that the n-th
// operation of a kind fails whichever thread runs it.
struct FaultState {
  std::array<std::atomic<int64_t>, static_cast<size_t>(FileOp::kCount)> failAt{};  // 0 = off
  std::array<std::atomic<int64_t>, static_cast<size_t>(FileOp::kCount)> count{};
};
FaultState& Faults() {
  static FaultState state;
  return state;
}

// Counts one operation of a kind; true when the test hook wants it to fail.
bool Injected(FileOp op) {
  FaultState& f = Faults();
  const size_t i = static_cast<size_t>(op);
  const int64_t n = f.count[i].fetch_add(1) + 1;
  const int64_t failAt = f.failAt[i].load();
  return failAt != 0 && n == failAt;
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
  f.failAt[static_cast<size_t>(op)].store(n);
  f.count[static_cast<size_t>(op)].store(0);
}

int64_t FileOpCount(FileOp op) {
  return Faults().count[static_cast<size_t>(op)].load();
}

void ClearFileFaults() {
  FaultState& f = Faults();
  for (size_t i = 0; i < f.count.size(); ++i) {
    f.failAt[i].store(0);
    f.count[i].store(0);
  }
}

bool FileExists(const std::string& path) {
  const sys::PathInfo info = sys::Examine(path);
  return info.exists && !info.directory;
}

bool DirectoryExists(const std::string& path) {
  return sys::Examine(path).directory;
}

bool IsRegularFile(const std::string& path) {
  return sys::Examine(path).regular;
}

int64_t FileSize(const std::string& path) {
  return sys::Examine(path).size;
}

bool FileModifiedTime(const std::string& path, time_t* seconds) {
  const sys::PathInfo info = sys::Examine(path);
  if (!info.exists) return false;
  // Whole seconds, rounded down also before 1970.
  const int64_t ns = info.modifiedNs;
  *seconds = static_cast<time_t>(ns >= 0 ? ns / 1000000000 : -((-ns + 999999999) / 1000000000));
  return true;
}

FileStamp StampOf(const std::string& path) {
  const sys::PathInfo info = sys::Examine(path);
  if (!info.exists) return {};
  return {info.size, info.modifiedNs};
}

void CreateDirectoryIfMissing(const std::string& path) {
  if (DirectoryExists(path)) return;
  if (Injected(FileOp::kCreate)) FailInjected(path, TFileAction::kCreateFolder);
  if (const int err = sys::MakeDirectory(path); err != 0) {
    if (err == EEXIST && !DirectoryExists(path))
      throw IoError(path, TFileAction::kCreateFolder,
                    Wording("a file of that name is in the way", "同じ名前のファイルがあります"));
    if (err != EEXIST) Fail(path, TFileAction::kCreateFolder, err);
  }
}

void DeleteFileIfExists(const std::string& path) {
  if (Injected(FileOp::kDelete)) FailInjected(path, TFileAction::kDelete);
  if (const int err = sys::RemoveFile(path); err != 0 && err != ENOENT)
    Fail(path, TFileAction::kDelete, err);
}

std::vector<std::string> ListDirectory(const std::string& path) {
  std::vector<std::string> names;
  if (const int err = sys::ListDirectory(path, &names); err != 0)
    Fail(path, TFileAction::kList, err);
  return names;
}

namespace {

// A failed rename is reported as action on from.
void Rename(const std::string& from, const std::string& to, TFileAction action) {
  if (Injected(FileOp::kRename)) FailInjected(from, action);
  if (const int err = sys::ReplaceFile(from, to); err != 0) Fail(from, action, err);
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

void FileBytes::Clear() {
  Records<char>().swap(bytes_);
  size_ = 0;
}

void FileBytes::Read(const std::string& path) {
  Clear();
  InFile in;
  in.Open(path);
  // Sized by the file with a byte to spare, so that the read that finds the end needs no more
  // room; a file that grows meanwhile is read on into larger memory.
  const size_t expected = static_cast<size_t>(std::max<int64_t>(FileSize(path), 0)) + 1;
  bytes_.ReserveInLargePages(expected);
  bytes_.ResizeUninitialized(expected);
  try {
    for (;;) {
      if (size_ == bytes_.size()) bytes_.ResizeUninitialized(bytes_.size() * 2);
      const size_t n = in.ReadSome(bytes_.data() + size_, bytes_.size() - size_);
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
    sys::RemoveFile(tmp);
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
  sys::FileHandle file;
  if (create_) {
    if (Injected(FileOp::kCreate)) FailInjected(path_, TFileAction::kCreate);
    if (const int err = sys::OpenFile(path_, sys::OpenFor::kCreate, &file); err != 0)
      Fail(path_, TFileAction::kCreate, err);
    create_ = false;
  } else {
    if (const int err = sys::OpenFile(path_, sys::OpenFor::kAppend, &file); err != 0)
      Fail(path_, TFileAction::kWrite, err);
  }
  if (bytes > 0 && Injected(FileOp::kWrite)) {
    sys::CloseFile(file);
    FailInjected(path_, TFileAction::kWrite);
  }
  if (const int err = sys::WriteFile(file, p, bytes); err != 0) {
    sys::CloseFile(file);
    Fail(path_, TFileAction::kWrite, err);
  }
  if (const int err = sys::CloseFile(file); err != 0) Fail(path_, TFileAction::kWrite, err);
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
  if (const int err = sys::OpenFile(path, sys::OpenFor::kRead, &file_); err != 0)
    Fail(path, TFileAction::kOpen, err);
}

size_t InFile::ReadSome(void* data, size_t bytes) {
  if (Injected(FileOp::kRead)) FailInjected(path_, TFileAction::kRead);
  size_t got = 0;
  if (const int err = sys::ReadFile(file_, data, bytes, &got); err != 0)
    Fail(path_, TFileAction::kRead, err);
  return got;
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
  if (file_ != sys::kNoFile) sys::CloseFile(file_);
  file_ = sys::kNoFile;
}

}  // namespace tabulon
