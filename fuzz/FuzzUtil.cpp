#include "fuzz/FuzzUtil.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "import/unitProgress.h"
#include "mainlogic/MainLogic.h"
#include "platform/Errors.h"

namespace tabulon::fuzz {

namespace {

struct Scratch {
  std::string path;
  Scratch() {
    const char* tmp = std::getenv("TMPDIR");
    path = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tabulon-fuzz-" +
           std::to_string(::getpid());
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

const std::string& FreshScratchDir() {
  static Scratch scratch;
  std::error_code err;
  std::filesystem::remove_all(scratch.path, err);
  std::filesystem::create_directories(scratch.path, err);
  if (err) {
    std::fprintf(stderr, "cannot make %s: %s\n", scratch.path.c_str(), err.message().c_str());
    std::abort();
  }
  return scratch.path;
}

void WriteBytes(const std::string& path, std::string_view bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
      std::fclose(f) != 0) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::abort();
  }
}

bool ImportAndOpen(const std::string& path, TMainLogic& logic) {
  try {
    TSilentProgress view;
    TformProgress importer(&view);
    importer.Import(path);
    logic.ListBox1Click(path);
  } catch (const TabulonError&) {
    return false;
  }
  return true;
}

void CheckAt(bool ok, const char* what, int line) {
  if (ok) return;
  std::fprintf(stderr, "check failed at line %d: %s\n", line, what);
  std::abort();
}

uint8_t Input::Byte() {
  return pos_ < size_ ? data_[pos_++] : 0;
}

uint32_t Input::Below(uint32_t limit) {
  if (limit == 0) return 0;
  uint32_t v = 0;
  for (uint32_t span = limit - 1; span != 0; span >>= 8) v = (v << 8) | Byte();
  return v % limit;
}

std::string_view Input::Text(size_t max) {
  const size_t start = pos_;
  while (pos_ < size_ && data_[pos_] != 0xFF && pos_ - start < max) ++pos_;
  std::string_view text(reinterpret_cast<const char*>(data_) + start, pos_ - start);
  if (pos_ < size_ && data_[pos_] == 0xFF) ++pos_;
  return text;
}

std::string_view Input::Rest() {
  std::string_view rest(reinterpret_cast<const char*>(data_) + pos_, size_ - pos_);
  pos_ = size_;
  return rest;
}

}  // namespace tabulon::fuzz
