// The per-row texts of a csLon vtStr column: its i.Dat (one text line per row, ending in CR LF)
// held in memory, and a cursor over its lines for the walks of rows.
//
// Contract: the bytes are read again only when i.Dat changed size or last-write time since the
// last read; every read, of any column, gets a version number of its own. Rows are read in
// increasing order; asking the row before the cursor again keeps its text, an earlier row starts
// over from the first line. One copy per column, shared by the search walk and the walks of rows:
// about the file's size (10 MB for a million 8-byte codes); no per-row index is kept beside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/FileIo.h"

namespace tabulon {

class TCol;

class TColRowTexts {
 public:
  // The texts of column's i.Dat (its DatPath, asked at each read). Reads nothing.
  explicit TColRowTexts(const TCol& column) : column_(column) {}
  TColRowTexts(const TColRowTexts&) = delete;
  TColRowTexts& operator=(const TColRowTexts&) = delete;

  // Forgets the bytes, the stamp and the version.
  void Clear();

  // The stamp of i.Dat when it was last read into memory, as text here or as values by Load (see
  // NoteReadAsValues); a size of -1 while nothing was read.
  const FileStamp& DatStamp() const { return datStamp_; }
  // i.Dat was read as values with this stamp: a text read is not repeated while it stays so.
  void NoteReadAsValues(const FileStamp& stamp) { datStamp_ = stamp; }
  void ForgetStamp() { datStamp_ = FileStamp(); }

  // Reads i.Dat when it changed since the last read. Throws IoError.
  void Refresh();
  // Refresh, then the version of the bytes held (0 while nothing is held).
  uint64_t Version();

  // The cursor starts over at the first line.
  void Rewind() { nextLine_ = 0; }
  // *text := the line of row, reading forward from the cursor (see above; row just read: *text
  // is left as it is). Throws IoError when i.Dat ends before row.
  void ReadLine(int32_t row, std::string* text);
  // The line at the cursor, moving the cursor past it. REQUIRES: the bytes read (ReadLine ran
  // since the last Rewind). Throws IoError when i.Dat has no more lines.
  std::string_view NextLine();
  // The bytes held and where the cursor's line begins; Skip moves the cursor past lines the
  // caller passed over itself, to the line that begins at offset.
  std::string_view Bytes() const { return bytes_.View(); }
  size_t NextOffset() const { return nextOffset_; }
  void Skip(int lines, size_t offset) {
    nextLine_ += lines;
    nextOffset_ = offset;
  }

  // Visits, in row order, every line whose bytes hold `bytes` (every line when empty) until
  // visit returns false; a line is valid during its visit only. Refreshes first and rewinds the
  // cursor. Throws IoError.
  void VisitContaining(std::string_view bytes, const std::function<bool(std::string_view)>& visit);

 private:
  [[noreturn]] void ThrowTooShort() const;

  const TCol& column_;
  FileBytes bytes_;        // i.Dat as last read
  FileStamp datStamp_;     // see DatStamp
  uint64_t version_ = 0;   // see Version
  int32_t nextLine_ = 0;   // number of the line the cursor is at
  size_t nextOffset_ = 0;  // where that line begins in bytes_
};

}  // namespace tabulon
