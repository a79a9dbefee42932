// Reads the lines of a user's CSV file as Shift-JIS text, whether the file was saved as
// Shift-JIS or as UTF-8.
//
// The encoding is decided once, from the file's first bytes: a UTF-8 byte-order mark (EF BB BF),
// or a first 64 KiB that is well-formed UTF-8 and holds at least one multi-byte sequence, means
// UTF-8; everything else is Shift-JIS and is read exactly as LineReader reads it. Lines of a
// UTF-8 file are converted as they are read (AppendUtf8AsSjis: "〓" for what Shift-JIS cannot
// hold, ill-formed sequences included), and the mark is dropped. Line ends are ASCII bytes in
// both encodings, so lines are found in the file's own bytes and a character is never cut.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/LineReader.h"

namespace tabulon {

enum class TextEncoding { kShiftJis, kUtf8 };

// What the first bytes of a file say about its text.
struct TextSniff {
  TextEncoding encoding = TextEncoding::kShiftJis;
  size_t markBytes = 0;       // 3 after a UTF-8 byte-order mark, else 0
  bool looksLikeText = true;  // false: more than 1% of the bytes are no text as either encoding
};

// The bytes the decision looks at, after a byte-order mark.
constexpr size_t kSniffBytes = size_t{64} << 10;

// Decides the encoding from head, the file's first bytes (kSniffBytes after any mark, fewer when
// the file is shorter); complete: head is the whole file, so a sequence cut at its end is
// ill-formed rather than continued beyond. Control bytes other than TAB, CR and LF count as no
// text in either encoding.
TextSniff SniffText(std::string_view head, bool complete);

class CsvLineReader {
 public:
  // Opens path and decides its encoding. ahead as for LineReader. Throws IoError when it cannot
  // be opened or read.
  explicit CsvLineReader(const std::string& path, ReadAhead ahead = ReadAhead::kBlocks);
  CsvLineReader(const CsvLineReader&) = delete;
  CsvLineReader& operator=(const CsvLineReader&) = delete;

  // Reads the next line as Shift-JIS into *line, as LineReader::ReadLine does; the view stays
  // valid until the next call. *fileBytes, when given, receives the bytes the line takes in the
  // file without its line end (the mark included on the first line), for counting progress in
  // the file's own bytes. Throws IoError when a read fails.
  bool ReadLine(std::string_view* line, size_t* fileBytes = nullptr);

  const TextSniff& Sniff() const { return sniff_; }
  // The "〓" written so far for characters and sequences without a Shift-JIS form.
  int64_t Replaced() const { return replaced_; }
  // The file's size in bytes, taken when it was opened.
  int64_t Size() const { return lines_.Size(); }

 private:
  LineReader lines_;
  TextSniff sniff_;
  bool first_ = true;      // the next line is the file's first
  std::string converted_;  // the last line of a UTF-8 file, in Shift-JIS
  int64_t replaced_ = 0;
};

}  // namespace tabulon
