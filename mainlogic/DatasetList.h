// The dataset list: the CSV paths the user keeps (the hidden Memo1 of the main window) and the
// ".lis" file that holds them between runs, one path per line, CR LF after every line. Paths are
// native file-system bytes, exactly as the file dialog returned them. No Qt here: the window
// keeps its list through it, and so could the command line.
#pragma once

#include <string>
#include <vector>

namespace tabulon {

class TDatasetList {
 public:
  // The list file of a program at programPath: programPath with its extension replaced by
  // ".lis" while the program's folder can be written; otherwise (an installed program)
  // tabulon/tabulon.lis in the user's configuration folder ($XDG_CONFIG_HOME, defaulting to
  // $HOME/.config; %APPDATA% on Windows).
  static std::string ListFileFor(const std::string& programPath);

  // What ListBox1 shows for a path: its file name without directory and extension.
  static std::string DisplayName(const std::string& path);

  explicit TDatasetList(std::string listFile) : listFile_(std::move(listFile)) {}

  const std::string& ListFile() const { return listFile_; }

  // When the list file does not exist yet and samplePath is not empty, writes a list holding
  // samplePath alone (the first run of `make run`). Returns whether it wrote. Throws IoError.
  bool SeedIfMissing(const std::string& samplePath);

  // Replaces the list by the lines of the list file; CR, LF or CR LF end a line, a line end after
  // the last line adds no entry. A missing file gives an empty list. Throws IoError when the file
  // exists but cannot be read.
  void Load();

  int Count() const { return static_cast<int>(paths_.size()); }
  // REQUIRES: 0 <= index < Count().
  const std::string& Path(int index) const { return paths_[static_cast<size_t>(index)]; }
  const std::vector<std::string>& Paths() const { return paths_; }

  // Appends path and rewrites the list file; returns the new entry's index. When the file cannot
  // be written the list stays as it was and IoError is thrown.
  int Add(const std::string& path);
  // Removes entry index and rewrites the list file; when the file cannot be written the entry
  // stays and IoError is thrown. REQUIRES: 0 <= index < Count().
  void Delete(int index);

 private:
  // Writes the whole list to a temporary file beside the list file and renames it over the list
  // file, so a failed write never leaves a truncated list. Throws IoError.
  static void Write(const std::string& listFile, const std::vector<std::string>& paths);

  std::string listFile_;            // where the list lives
  std::vector<std::string> paths_;  // one CSV path per dataset, in list order
};

}  // namespace tabulon
