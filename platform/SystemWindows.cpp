// The operating system on Windows, through the Win32 calls that take UTF-16 paths: the program's
// paths are UTF-8 and are converted at each call.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// windows.h first: these need its types.
#include <io.h>
#include <shlobj.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/System.h"

namespace tabulon::sys {
namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), n);
  return wide;
}

std::string Narrow(const wchar_t* wide) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return std::string();
  std::string utf8(static_cast<size_t>(n - 1), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), n, nullptr, nullptr);
  return utf8;
}

// The errno value nearest to a Windows error, for ErrnoReason's wording.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EBUSY;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return EINVAL;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    default:
      return EIO;
  }
}

int LastErrno() {
  return ErrnoOf(::GetLastError());
}

// 100-nanosecond intervals from 1601-01-01 to 1970-01-01.
constexpr int64_t kUnixEpochIntervals = 116444736000000000;

}  // namespace

PathInfo Examine(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return {};
  PathInfo info;
  info.exists = true;
  info.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  info.regular = !info.directory && (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) == 0;
  info.size =
      static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
  const int64_t intervals =
      static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                           data.ftLastWriteTime.dwLowDateTime);
  info.modifiedNs = (intervals - kUnixEpochIntervals) * 100;
  return info;
}

int MakeDirectory(const std::string& path) {
  return ::CreateDirectoryW(Wide(path).c_str(), nullptr) ? 0 : LastErrno();
}

int RemoveFile(const std::string& path) {
  return ::DeleteFileW(Wide(path).c_str()) ? 0 : LastErrno();
}

int ReplaceFile(const std::string& from, const std::string& to) {
  const std::wstring wideFrom = Wide(from), wideTo = Wide(to);
  // ReplaceFileW keeps the target's identity and fails when there is none yet; MoveFileExW then
  // does the plain rename, replacing at once as well.
  if (::ReplaceFileW(wideTo.c_str(), wideFrom.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr))
    return 0;
  if (::MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return 0;
  return LastErrno();
}

int ListDirectory(const std::string& path, std::vector<std::string>* names) {
  WIN32_FIND_DATAW entry;
  const HANDLE find = ::FindFirstFileW(Wide(path + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return LastErrno();
  names->clear();
  do {
    const std::string name = Narrow(entry.cFileName);
    if (name != "." && name != "..") names->push_back(name);
  } while (::FindNextFileW(find, &entry));
  ::FindClose(find);
  return 0;
}

bool CanWriteDirectory(const std::string& path) {
  // Folder attributes say nothing reliable about permissions on Windows: try.
  const std::wstring probe = Wide(path + "\\.tabulon-write-test");
  const HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(file);
  return true;
}

int OpenFile(const std::string& path, OpenFor how, FileHandle* file) {
  *file = kNoFile;
  DWORD access = GENERIC_WRITE, disposition = OPEN_EXISTING;
  switch (how) {
    case OpenFor::kRead:
      access = GENERIC_READ;
      break;
    case OpenFor::kCreate:
      disposition = CREATE_ALWAYS;
      break;
    case OpenFor::kAppend:
      access = FILE_APPEND_DATA;
      break;
  }
  const std::wstring wide = Wide(path);
  const HANDLE handle =
      ::CreateFileW(wide.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      return EISDIR;
    return ErrnoOf(error);
  }
  *file = reinterpret_cast<FileHandle>(handle);
  return 0;
}

int ReadFile(FileHandle file, void* data, size_t bytes, size_t* got) {
  DWORD n = 0;
  const DWORD want = bytes > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes);
  if (!::ReadFile(reinterpret_cast<HANDLE>(file), data, want, &n, nullptr)) return LastErrno();
  *got = n;
  return 0;
}

int WriteFile(FileHandle file, const void* data, size_t bytes) {
  const char* p = static_cast<const char*>(data);
  while (bytes > 0) {
    DWORD n = 0;
    const DWORD chunk = bytes > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes);
    if (!::WriteFile(reinterpret_cast<HANDLE>(file), p, chunk, &n, nullptr)) return LastErrno();
    p += n;
    bytes -= n;
  }
  return 0;
}

int CloseFile(FileHandle file) {
  return ::CloseHandle(reinterpret_cast<HANDLE>(file)) ? 0 : LastErrno();
}

void* AllocateLargePages(size_t) {
  // Large pages need a privilege ordinary users lack; plain memory it is.
  return nullptr;
}

bool LocalTime(int64_t seconds, std::tm* local) {
  const __time64_t t = static_cast<__time64_t>(seconds);
  return _localtime64_s(local, &t) == 0;
}

std::string ConfigDirectory() {
  wchar_t* folder = nullptr;
  std::string path;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder)))
    path = Narrow(folder);
  ::CoTaskMemFree(folder);
  return path;
}

std::string MessagesLocaleName() {
  for (const wchar_t* name : {L"LC_ALL", L"LC_MESSAGES", L"LANG"}) {
    const wchar_t* value = _wgetenv(name);
    if (value != nullptr && *value != L'\0') return Narrow(value);
  }
  wchar_t locale[LOCALE_NAME_MAX_LENGTH];
  if (::GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH) > 0) return Narrow(locale);
  return "";
}

bool StandardErrorIsTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

std::string EnvironmentVariable(const char* name) {
  const wchar_t* value = _wgetenv(Wide(name).c_str());
  return value != nullptr ? Narrow(value) : "";
}

}  // namespace tabulon::sys
