// Helpers shared by the tests: scratch folders, files of exact bytes, Shift-JIS literals.
#pragma once

#include <functional>
#include <random>
#include <string>
#include <string_view>

#include "platform/Messages.h"

namespace tabulon::test {

// The core's messages in Japanese (as the window has them) while it lives; English again
// afterwards, as the other tests expect.
struct InJapanese {
  InJapanese() { SetMessageLanguage(TLanguage::kJapanese); }
  ~InJapanese() { SetMessageLanguage(TLanguage::kEnglish); }
  InJapanese(const InJapanese&) = delete;
  InJapanese& operator=(const InJapanese&) = delete;
};

// A fresh empty folder under the system's temporary folder, removed when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& Path() const { return path_; }
  // Path of a file inside the folder.
  std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

// Writes bytes to path exactly (throws std::runtime_error on failure).
void WriteFile(const std::string& path, std::string_view bytes);
// The bytes of a file (throws std::runtime_error when it cannot be read).
std::string ReadFile(const std::string& path);
// Shift-JIS bytes of a UTF-8 text.
std::string S(std::string_view utf8);
// UTF-8 of Shift-JIS bytes.
std::string U(std::string_view sjis);

// Runs work in a child process and kills it (SIGKILL) a random time between 0 and maxSeconds
// after work began. Returns true when the kill ended the child, false when work had ended first.
bool KillPartWay(const std::function<void()>& work, double maxSeconds, std::mt19937& random);

}  // namespace tabulon::test
