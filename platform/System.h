// The operating system: every call the program makes to it goes through these functions, with one
// implementation for POSIX systems (SystemPosix.cpp) and one for Windows (SystemWindows.cpp).
// Nothing outside platform/ includes a system header. The file layer (FileIo.h) builds its
// errors and fault injection on the file functions here; the rest of the core uses the file layer.
//
// Paths are byte strings: the system's own bytes on POSIX systems, UTF-8 on Windows (where they
// are turned into UTF-16 for the system). Failures come back as errno values (Windows errors are
// translated to the nearest one), which ErrnoReason (Messages.h) words for the user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon::sys {

// ---- Paths

// Whether c separates the folders of a path: '/' everywhere, and '\' on Windows too.
constexpr bool IsPathSeparator(char c) {
#ifdef _WIN32
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}
// The position of the last separator in path, or npos.
inline size_t LastPathSeparator(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i)
    if (IsPathSeparator(path[i - 1])) return i - 1;
  return std::string_view::npos;
}

// ---- Files and folders

// What a path names. A path that cannot be examined does not exist.
struct PathInfo {
  bool exists = false;
  bool directory = false;
  bool regular = false;    // a plain file: not a directory, device, pipe or socket
  int64_t size = -1;       // bytes, -1 when it does not exist
  int64_t modifiedNs = 0;  // last write, nanoseconds since 1970-01-01 00:00 UTC
};
PathInfo Examine(const std::string& path);

// Each returns 0 on success or an errno value.
int MakeDirectory(const std::string& path);  // EEXIST when anything of that name is there
int RemoveFile(const std::string& path);     // ENOENT when there is none
// Renames from to to, replacing a file at to at once: a reader of to finds the old or the new.
int ReplaceFile(const std::string& from, const std::string& to);
// The names of the entries of a folder, without "." and "..".
int ListDirectory(const std::string& path, std::vector<std::string>* names);
// Whether the program may create files in the folder at path.
bool CanWriteDirectory(const std::string& path);

// An open file: a file descriptor or a Windows handle.
using FileHandle = intptr_t;
constexpr FileHandle kNoFile = -1;
enum class OpenFor {
  kRead,    // an existing file; a folder fails with EISDIR
  kCreate,  // created, or truncated when it exists
  kAppend,  // an existing file, written at its end
};
int OpenFile(const std::string& path, OpenFor how, FileHandle* file);
// Reads up to bytes bytes; *got is 0 at the end of the file.
int ReadFile(FileHandle file, void* data, size_t bytes, size_t* got);
// Writes all bytes.
int WriteFile(FileHandle file, const void* data, size_t bytes);
int CloseFile(FileHandle file);

// ---- Memory

// Memory for bytes bytes that the system is asked to back with large pages, for arrays of
// megabytes that are read whole (a megabyte then costs one page fault rather than 256), or nullptr
// where that is not worth it or not possible. Given back with std::free; std::realloc keeps it.
void* AllocateLargePages(size_t bytes);

// ---- Time, the user, the terminal

// The local time of a moment given in seconds since 1970-01-01 00:00 UTC; false when the system
// cannot tell.
bool LocalTime(int64_t seconds, std::tm* local);
// The user's folder for configuration files: $XDG_CONFIG_HOME or ~/.config on POSIX systems,
// %APPDATA% on Windows.
std::string ConfigDirectory();
// The name of the locale whose language the messages take (such as "ja_JP.UTF-8" or "ja-JP"):
// LC_ALL, LC_MESSAGES or LANG, the first that is set, and on Windows the user's language when
// none is; empty when nothing says.
std::string MessagesLocaleName();
// Whether standard error goes to a terminal (rather than a file or a pipe).
bool StandardErrorIsTerminal();
// The value of an environment variable; empty when it is not set.
std::string EnvironmentVariable(const char* name);

}  // namespace tabulon::sys
