// Imports exact bytes as a CSV file and keeps what the import left: the store's files, the
// notices and the progress view's last texts.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "column/Descriptor.h"
#include "import/unitProgress.h"
#include "platform/FileIo.h"

namespace tabulon::test {

// What the import shows last.
class LastTexts : public TSilentProgress {
 public:
  void SetMax(int64_t m) override { max = m; }
  void SetPosition(int64_t p) override { position = p; }
  void SetTimeLabel(const std::string& t) override { timeLabel = t; }
  std::string timeLabel;
  int64_t max = 0, position = 0;
};

struct Imported {
  std::map<std::string, std::string> files;  // the store's files by name
  int64_t replaced = 0;
  bool looksLikeText = true;
  std::vector<std::string> notices;
  LastTexts view;
};

// Imports bytes as data.csv of a fresh folder, with a fixed last-write time so that stores of
// different files can be compared whole; threads, chunkRecords and blockBytes as
// TformProgress::SetThreads takes them.
inline Imported ImportBytes(std::string_view bytes, int threads = 0, size_t chunkRecords = 0,
                            size_t blockBytes = 0) {
  ScratchDir dir;
  const std::string csv = dir.File("data.csv");
  WriteFile(csv, bytes);
  struct timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 0}};
  EXPECT_EQ(::utimensat(AT_FDCWD, csv.c_str(), times, 0), 0);
  Imported result;
  TformProgress importer(&result.view);
  importer.SetThreads(threads, chunkRecords, blockBytes);
  importer.Import(csv);
  for (const std::string& name : ListDirectory(StoreDirOf(csv)))
    result.files[name] = ReadFile(StoreDirOf(csv) + "/" + name);
  result.replaced = importer.ReplacedChars();
  result.looksLikeText = importer.LooksLikeText();
  for (std::string notice : importer.Notices())
    result.notices.push_back(test::U(notice.replace(0, csv.size(), "data.csv")));
  return result;
}

}  // namespace tabulon::test
