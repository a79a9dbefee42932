#include "mainlogic/DatasetList.h"

#include "platform/FileIo.h"
#include "platform/System.h"

namespace tabulon {
namespace {

std::string DirectoryOf(const std::string& path) {
  const size_t slash = sys::LastPathSeparator(path);
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string TDatasetList::ListFileFor(const std::string& programPath) {
  const std::string dir = DirectoryOf(programPath);
  if (sys::CanWriteDirectory(dir)) {
    const size_t slash = sys::LastPathSeparator(programPath);
    const size_t dot = programPath.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? programPath.substr(0, dot) : programPath) + ".lis";
  }
  return sys::ConfigDirectory() + "/tabulon/tabulon.lis";
}

std::string TDatasetList::DisplayName(const std::string& path) {
  const size_t slash = sys::LastPathSeparator(path);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

bool TDatasetList::SeedIfMissing(const std::string& samplePath) {
  if (samplePath.empty() || FileExists(listFile_)) return false;
  Write(listFile_, {samplePath});
  return true;
}

void TDatasetList::Load() {
  paths_.clear();
  if (!FileExists(listFile_)) return;
  const std::string text = ReadWholeFile(listFile_);
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      paths_.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) paths_.push_back(line);
}

int TDatasetList::Add(const std::string& path) {
  std::vector<std::string> next = paths_;
  next.push_back(path);
  Write(listFile_, next);
  paths_ = std::move(next);
  return Count() - 1;
}

void TDatasetList::Delete(int index) {
  std::vector<std::string> next = paths_;
  next.erase(next.begin() + index);
  Write(listFile_, next);
  paths_ = std::move(next);
}

void TDatasetList::Write(const std::string& listFile, const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths) text += path + "\r\n";
  const std::string dir = DirectoryOf(listFile);
  if (!DirectoryExists(dir)) {
    CreateDirectoryIfMissing(DirectoryOf(dir));
    CreateDirectoryIfMissing(dir);
  }
  WriteWholeFileAtomically(listFile, text);
}

}  // namespace tabulon
