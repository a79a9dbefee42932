// Initialisation files: "[section]" lines open a section, "key=value" lines hold values, in
// Shift-JIS text with CR LF line ends. Section and key names compare without regard to letter case
// (SameText). The file is read whole when the object is made and written whole by Flush.
//
// Layout written: the sections in the order they were first met or created, each as its "[name]"
// line followed by its "key=value" lines; a new key goes at the end of its section, a new section
// at the end of the file; no blank lines are added. Lines the reader does not understand are kept.
// A section line's name is the text between the first "[" and the last "]" of the line, so names
// holding "]" or "=" read back as written. A key line's key is the text before its first "=",
// trimmed of blanks; the value is the rest of the line, taken as it stands.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tabulon {

class IniFile {
 public:
  // Reads path when it exists; a missing file is an empty one. Throws IoError when an existing
  // file cannot be read.
  explicit IniFile(std::string path);

  const std::string& Path() const { return path_; }

  // The value of a key, or def when the section or key is absent.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  // A decimal integer; def when absent or not a 32-bit integer.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  // A float in the descriptor's float form (FormatFloat); def when absent or not a number.
  double ReadFloat(std::string_view section, std::string_view key, double def) const;
  // A date-time in the descriptor's form (FormatDateTime); def when absent or not a date-time.
  double ReadDateTime(std::string_view section, std::string_view key, double def) const;
  // True when the section has the key.
  bool KeyExists(std::string_view section, std::string_view key) const;

  // Sets a key, creating the section and key as needed. Nothing is written until Flush.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteFloat(std::string_view section, std::string_view key, double value);
  void WriteDateTime(std::string_view section, std::string_view key, double value);
  // Removes a key when present.
  void DeleteKey(std::string_view section, std::string_view key);

  // Writes the whole file when anything changed since it was read or last flushed: to a temporary
  // file beside it, then renamed over it, so the file on disk is always either the old or the new
  // one. Throws IoError on failure (the temporary file is removed).
  void Flush();

  // The file's bytes as Flush would write them.
  std::string Serialize() const;

 private:
  struct Line {
    std::string text;  // the whole line as read or written, without its line end
    std::string key;   // for a key line: its key (trimmed); empty otherwise
    bool isKey = false;
  };
  // A section line and the lines up to the next one; the lines before the first section line
  // form a block without a header.
  struct Block {
    bool hasHeader = false;
    std::string header;                                    // the section line's text
    std::string name;                                      // the section's name
    std::vector<Line> lines;                               // its key and other lines, in file order
    mutable std::unordered_map<std::string, size_t> keys;  // folded key -> first line with it
    mutable bool keysValid = false;
  };
  Block* FindBlock(std::string_view section);
  const Block* FindBlock(std::string_view section) const;
  static const Line* FindLine(const Block* block, std::string_view key);
  void AddBlock(Block block);

  std::string path_;                                  // the file
  std::vector<Block> blocks_;                         // the file's lines in order
  std::unordered_map<std::string, size_t> sections_;  // folded name -> first block with it
  bool dirty_ = false;                                // changed since read or flushed
};

}  // namespace tabulon
