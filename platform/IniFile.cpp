#include "platform/IniFile.h"

#include <cstring>
#include <utility>

#include "platform/FileIo.h"
#include "platform/LocaleFormats.h"
#include "platform/SjisText.h"

namespace tabulon {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// A line cannot hold a CR: it would end the line when the file is read back, cutting the name or
// value and moving the keys after it into another section. Such a CR is stored as LF, which a line
// may hold, so the texts still read back (with LF) and the file keeps its shape.
std::string_view LineSafe(std::string_view text, std::string* scratch) {
  if (std::memchr(text.data(), '\r', text.size()) == nullptr) return text;
  scratch->assign(text);
  for (char& c : *scratch) {
    if (c == '\r') c = '\n';
  }
  return *scratch;
}

// The file's lines: a line ends at CR, an LF right after the CR belongs to the line end, and a lone
// LF is part of the line. There is no LF mode and no 0x1A end mark here: the file is always written
// by IniFile with CR LF, and values and names may hold a lone LF or a 0x1A byte.
template <typename Fn>
void ForEachLine(std::string_view bytes, Fn&& fn) {
  size_t begin = 0;
  while (begin < bytes.size()) {
    size_t cr = bytes.find('\r', begin);
    if (cr == std::string_view::npos) {
      fn(bytes.substr(begin));
      return;
    }
    fn(bytes.substr(begin, cr - begin));
    begin = cr + 1;
    if (begin < bytes.size() && bytes[begin] == '\n') ++begin;
  }
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
  blocks_.emplace_back();  // the lines before the first section
  if (!FileExists(path_)) return;
  const std::string bytes = ReadWholeFile(path_);
  ForEachLine(bytes, [this](std::string_view text) {
    // A section line: "[" is its first non-blank byte and a "]" follows. The name runs to the
    // last "]", so that the writer's closing bracket ends it whatever the name holds.
    size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) ++first;
    if (first < text.size() && text[first] == '[') {
      const size_t close = text.rfind(']');
      if (close != std::string_view::npos) {
        Block block;
        block.hasHeader = true;
        block.header.assign(text);
        block.name.assign(text.substr(first + 1, close - first - 1));
        AddBlock(std::move(block));
        return;
      }
    }
    Line line;
    line.text.assign(text);
    const size_t eq = text.find('=');
    if (eq != std::string_view::npos) {
      line.isKey = true;
      line.key.assign(TrimBlanks(text.substr(0, eq)));
    }
    blocks_.back().lines.push_back(std::move(line));
  });
}

void IniFile::AddBlock(Block block) {
  sections_.try_emplace(FoldKey(block.name), blocks_.size());
  blocks_.push_back(std::move(block));
}

const IniFile::Block* IniFile::FindBlock(std::string_view section) const {
  std::string scratch;
  const auto found = sections_.find(FoldKey(LineSafe(section, &scratch)));
  return found == sections_.end() ? nullptr : &blocks_[found->second];
}

IniFile::Block* IniFile::FindBlock(std::string_view section) {
  return const_cast<Block*>(static_cast<const IniFile*>(this)->FindBlock(section));
}

const IniFile::Line* IniFile::FindLine(const Block* block, std::string_view key) {
  if (block == nullptr) return nullptr;
  if (!block->keysValid) {
    block->keys.clear();
    for (size_t i = 0; i < block->lines.size(); ++i) {
      if (block->lines[i].isKey) block->keys.try_emplace(FoldKey(block->lines[i].key), i);
    }
    block->keysValid = true;
  }
  std::string scratch;
  const auto found = block->keys.find(FoldKey(LineSafe(key, &scratch)));
  return found == block->keys.end() ? nullptr : &block->lines[found->second];
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
  const Line* line = FindLine(FindBlock(section), key);
  if (line == nullptr) return std::string(def);
  return line->text.substr(line->text.find('=') + 1);
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  const Line* line = FindLine(FindBlock(section), key);
  if (line == nullptr) return def;
  const std::string& text = line->text;
  std::string_view value = std::string_view(text).substr(text.find('=') + 1);
  bool negative = false;
  if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
    negative = value.front() == '-';
    value.remove_prefix(1);
  }
  if (value.empty()) return def;
  int64_t magnitude = 0;
  const int64_t limit = negative ? int64_t{2147483648} : int64_t{2147483647};
  for (char c : value) {
    if (c < '0' || c > '9') return def;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) return def;
  }
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

double IniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
  double value;
  return TryParseFloat(ReadString(section, key, ""), &value) ? value : def;
}

double IniFile::ReadDateTime(std::string_view section, std::string_view key, double def) const {
  double value;
  return TryParseStoredDateTime(ReadString(section, key, ""), &value) ? value : def;
}

bool IniFile::KeyExists(std::string_view section, std::string_view key) const {
  return FindLine(FindBlock(section), key) != nullptr;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  std::string valueScratch;
  value = LineSafe(value, &valueScratch);
  Block* block = FindBlock(section);
  // 1) The key exists: keep its spelling (the text before "=") and replace the value.
  if (const Line* found = FindLine(block, key)) {
    Line& line = const_cast<Line&>(*found);
    std::string text = line.text.substr(0, line.text.find('=') + 1);
    text.append(value);
    if (text != line.text) {
      line.text = std::move(text);
      dirty_ = true;
    }
    return;
  }
  std::string scratch;
  // 2) The section is missing: a new one at the end of the file.
  if (block == nullptr) {
    Block fresh;
    fresh.hasHeader = true;
    fresh.name.assign(LineSafe(section, &scratch));
    fresh.header = "[" + fresh.name + "]";
    AddBlock(std::move(fresh));
    block = &blocks_.back();
  }
  // 3) A new key after the last line of its section.
  Line line;
  line.isKey = true;
  line.key.assign(LineSafe(key, &scratch));
  line.text = line.key + "=";
  line.text.append(value);
  if (block->keysValid) block->keys.try_emplace(FoldKey(line.key), block->lines.size());
  block->lines.push_back(std::move(line));
  dirty_ = true;
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
  WriteString(section, key, FormatFloat(value));
}

void IniFile::WriteDateTime(std::string_view section, std::string_view key, double value) {
  WriteString(section, key, FormatDateTime(value));
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
  Block* block = FindBlock(section);
  const Line* line = FindLine(block, key);
  if (line == nullptr) return;
  block->lines.erase(block->lines.begin() + (line - block->lines.data()));
  block->keysValid = false;
  dirty_ = true;
}

void IniFile::Flush() {
  if (!dirty_) return;
  WriteWholeFileAtomically(path_, Serialize());
  dirty_ = false;
}

std::string IniFile::Serialize() const {
  size_t size = 0;
  for (const Block& block : blocks_) {
    size += block.header.size() + 2;
    for (const Line& line : block.lines) size += line.text.size() + 2;
  }
  std::string bytes;
  bytes.reserve(size);
  for (const Block& block : blocks_) {
    if (block.hasHeader) {
      bytes += block.header;
      bytes += "\r\n";
    }
    for (const Line& line : block.lines) {
      bytes += line.text;
      bytes += "\r\n";
    }
  }
  return bytes;
}

}  // namespace tabulon
