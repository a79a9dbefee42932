// The operating system on Linux and other POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/System.h"

namespace tabulon::sys {

PathInfo Examine(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return {};
  PathInfo info;
  info.exists = true;
  info.directory = S_ISDIR(st.st_mode);
  info.regular = S_ISREG(st.st_mode);
  info.size = static_cast<int64_t>(st.st_size);
#ifdef __APPLE__
  const struct timespec& modified = st.st_mtimespec;
#else
  const struct timespec& modified = st.st_mtim;
#endif
  info.modifiedNs = static_cast<int64_t>(modified.tv_sec) * 1000000000 + modified.tv_nsec;
  return info;
}

int MakeDirectory(const std::string& path) {
  return ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno;
}

int RemoveFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int ReplaceFile(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int ListDirectory(const std::string& path, std::vector<std::string>* names) {
  DIR* dir = ::opendir(path.c_str());
  if (dir == nullptr) return errno;
  names->clear();
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names->push_back(name);
  }
  ::closedir(dir);
  return 0;
}

bool CanWriteDirectory(const std::string& path) {
  return ::access(path.c_str(), W_OK) == 0;
}

int OpenFile(const std::string& path, OpenFor how, FileHandle* file) {
  *file = kNoFile;
  int flags = O_CLOEXEC;
  switch (how) {
    case OpenFor::kRead:
      flags |= O_RDONLY;
      break;
    case OpenFor::kCreate:
      flags |= O_WRONLY | O_CREAT | O_TRUNC;
      break;
    case OpenFor::kAppend:
      flags |= O_WRONLY | O_APPEND;
      break;
  }
  const int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) return errno;
  if (how == OpenFor::kRead) {
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(fd);
      return EISDIR;
    }
  }
  *file = fd;
  return 0;
}

int ReadFile(FileHandle file, void* data, size_t bytes, size_t* got) {
  for (;;) {
    const ssize_t n = ::read(static_cast<int>(file), data, bytes);
    if (n >= 0) {
      *got = static_cast<size_t>(n);
      return 0;
    }
    if (errno != EINTR) return errno;
  }
}

int WriteFile(FileHandle file, const void* data, size_t bytes) {
  const char* p = static_cast<const char*>(data);
  while (bytes > 0) {
    const ssize_t n = ::write(static_cast<int>(file), p, bytes);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    p += n;
    bytes -= static_cast<size_t>(n);
  }
  return 0;
}

int CloseFile(FileHandle file) {
  return ::close(static_cast<int>(file)) == 0 ? 0 : errno;
}

void* AllocateLargePages([[maybe_unused]] size_t bytes) {
#ifdef MADV_HUGEPAGE
  // The kernel backs only aligned 2 MiB ranges with large pages. Below 1 MiB the memory rounded
  // up to one would be more than twice what is asked for.
  constexpr size_t kLargePage = size_t{2} << 20;
  if (bytes < kLargePage / 2 || bytes > SIZE_MAX - kLargePage) return nullptr;
  const size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
  void* data = std::aligned_alloc(kLargePage, rounded);
  if (data != nullptr) ::madvise(data, rounded, MADV_HUGEPAGE);  // a hint; failure changes nothing
  return data;
#else
  return nullptr;
#endif
}

bool LocalTime(int64_t seconds, std::tm* local) {
  const time_t t = static_cast<time_t>(seconds);
  return ::localtime_r(&t, local) != nullptr;
}

std::string ConfigDirectory() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.config";
}

std::string MessagesLocaleName() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return "";
}

bool StandardErrorIsTerminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

std::string EnvironmentVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace tabulon::sys
