// Reads the lines of a user's CSV file as Shift-JIS text, whether the file was saved as
// Shift-JIS, UTF-8 or UTF-16.
//
// A byte-order mark decides the encoding: EF BB BF UTF-8, FF FE or FE FF UTF-16 (little- or
// big-endian). Without one, ASCII reads the same in both other encodings, so the decision waits
// for the first byte that is not ASCII, wherever it is: the 64 KiB from there on are UTF-8 when
// they are well-formed UTF-8 (a sequence cut by the end of those bytes counts as well-formed) and
// hold a sequence of three or four bytes, as Japanese text in UTF-8 does; otherwise the file is
// Shift-JIS, whose half-width kana alone may pass for two-byte UTF-8. Shift-JIS is read exactly as
// LineReader reads it. Lines of a UTF-8 file are converted as they are read (AppendUtf8AsSjis: "〓"
// for what Shift-JIS cannot hold, ill-formed sequences included), a UTF-16 file as its blocks are
// read (there 0x1A ends nothing), and the mark is dropped. Line ends are ASCII in every case, so a
// character is never cut.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/LineReader.h"

namespace tabulon {

enum class TextEncoding { kShiftJis, kUtf8, kUtf16 };

// What the first bytes of a file say about its text.
struct TextSniff {
  TextEncoding encoding = TextEncoding::kShiftJis;
  size_t markBytes = 0;       // 3 after a UTF-8 byte-order mark, else 0
  bool looksLikeText = true;  // false: more than 1% of the bytes are no text as either encoding
};

// The bytes the decision looks at, after a byte-order mark.
constexpr size_t kSniffBytes = size_t{64} << 10;

// What head, the file's first bytes (kSniffBytes after any UTF-8 mark, fewer when the file is
// shorter), says: the mark, and whether it looks like text. The encoding it gives is UTF-8 after
// a mark, else the decision of IsUtf8Text on head. complete: head is the whole file, so a sequence
// cut at its end is ill-formed rather than continued beyond. Control bytes other than TAB, CR and
// LF count as no text in either encoding.
TextSniff SniffText(std::string_view head, bool complete);

// Whether bytes that begin at a file's first non-ASCII byte are UTF-8 text: well-formed, with a
// sequence of three or four bytes. complete as for SniffText.
bool IsUtf8Text(std::string_view bytes, bool complete);
// Whether bytes are well-formed UTF-8; complete as for SniffText.
bool IsWellFormedUtf8(std::string_view bytes, bool complete);

class CsvLineReader {
 public:
  // Opens path and decides its encoding. ahead as for LineReader. Throws IoError when it cannot
  // be opened or read.
  explicit CsvLineReader(const std::string& path, ReadAhead ahead = ReadAhead::kBlocks);
  CsvLineReader(const CsvLineReader&) = delete;
  CsvLineReader& operator=(const CsvLineReader&) = delete;

  // Reads the next line as Shift-JIS into *line, as LineReader::ReadLine does; the view stays
  // valid until the next call. *fileBytes, when given, receives the bytes the line takes in the
  // file without its line end (the mark included on the first line; for UTF-16, twice the bytes
  // of its Shift-JIS form, near enough), for counting progress in the file's own bytes. Throws
  // IoError when a read fails.
  bool ReadLine(std::string_view* line, size_t* fileBytes = nullptr);

  // The lines in hand that are whole, as LineReader::PeekLines gives them, for a reader that takes
  // many at once; Consume consumes them. They are the file's bytes: for a UTF-8 file (Utf8), the
  // caller converts them (AppendUtf8AsSjis, which converts lines and their line ends alike). False
  // when none is left, and before the first line is read (TakesBlocks). While the encoding waits
  // for a line that is not ASCII, the lines end before the first one in hand, and *all is false
  // (false too when no line comes before it): ReadLine reads it and decides.
  bool PeekLines(std::string_view* lines, bool more, bool* all);
  bool TakesBlocks() const { return !first_; }
  bool Utf8() const { return decided_ && sniff_.encoding == TextEncoding::kUtf8; }
  void Consume(size_t bytes) { lines_.Consume(bytes); }
  bool LfMode() const { return lines_.LfMode(); }
  bool AtEnd() const { return lines_.AtEnd(); }
  // The bytes of the file per byte of its Shift-JIS lines, for counting progress: 2 for UTF-16
  // (near enough), else 1.
  int FileBytesPerByte() const { return sniff_.encoding == TextEncoding::kUtf16 ? 2 : 1; }

  // The mark and whether the file looks like text; the encoding as far as it is decided (Shift-JIS
  // until a line that is not ASCII has been read).
  const TextSniff& Sniff() const { return sniff_; }
  // The "〓" written so far for characters and sequences without a Shift-JIS form.
  int64_t Replaced() const { return replaced_ + lines_.Replaced(); }
  // The file's size in bytes, taken when it was opened.
  int64_t Size() const { return lines_.Size(); }

 private:
  // Decides between UTF-8 and Shift-JIS from line, the first line that is not ASCII, whose first
  // such byte is at index at; *line then points at a copy of it (the look ahead moves the
  // reader's buffer).
  void Decide(std::string_view* line, size_t at);
  // asciiUntil_ := the end of the ASCII bytes in hand after the line just read.
  void LookAhead();

  LineReader lines_;
  TextSniff sniff_;
  bool first_ = true;       // the next line is the file's first
  bool decided_ = false;    // the encoding is known
  int64_t asciiUntil_ = 0;  // the bytes of the file before this are known ASCII (Consumed)
  std::string held_;        // a line read before a look ahead
  std::string converted_;   // the last line of a UTF-8 file, in Shift-JIS
  int64_t replaced_ = 0;
};

}  // namespace tabulon
