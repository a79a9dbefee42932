// Pieces shared by the fuzz targets: a scratch folder per process and a reader that turns the
// fuzzer's bytes into choices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tabulon {
class TMainLogic;
}

namespace tabulon::fuzz {

// Stops the target with the failed condition and its line, so a crash explains itself.
#define Check(ok) ::tabulon::fuzz::CheckAt((ok), #ok, __LINE__)
void CheckAt(bool ok, const char* what, int line);

// A folder of this process under the temporary folder, emptied (recursively) on every call, so
// each input starts from nothing. The folder is removed when the process ends.
const std::string& FreshScratchDir();

// Writes bytes to path exactly; aborts when it cannot (the fuzz target itself is broken then).
void WriteBytes(const std::string& path, std::string_view bytes);

// Imports the CSV file at path and opens it in logic; false when the import or the opening refuses
// it with an error of its own (a sound outcome for garbage).
bool ImportAndOpen(const std::string& path, TMainLogic& logic);

// The fuzzer's input read front to back; once it is used up, every read gives zeros/empty.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  size_t Left() const { return size_ - pos_; }
  uint8_t Byte();
  // A number in 0 .. limit - 1 (0 when limit is 0).
  uint32_t Below(uint32_t limit);
  // The next bytes up to a 0xFF byte (dropped) or the end, at most max bytes.
  std::string_view Text(size_t max = SIZE_MAX);
  // All bytes not read yet.
  std::string_view Rest();

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace tabulon::fuzz
