// Reads a text file line by line in large blocks.
//
// Line ends: a line ends at CR; an LF right after the CR belongs to the line end, while a lone LF
// is an ordinary byte of the line. Exception for files written by Unix tools: when the first line
// end met in the file is a lone LF, the whole file is read with LF as the line end, and a CR right
// before an LF is dropped with it. The byte 0x1A ends the file. Lines have no length limit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileIo.h"

namespace tabulon {

// kAuto: the convention above, with the choice of LF line ends for Unix files (CSV files).
// kCrLf: only CR LF ends a line and 0x1A is an ordinary byte: the store's own text files, written
//        with CR LF after every line, whose values may hold a lone CR, a lone LF or 0x1A.
enum class LineEnds { kAuto, kCrLf };

// kBlocks: every read asks for a large block (whole files are read).
// kFirstLines: the first read asks for 128 KiB only, which holds the encoding sniff and a header
//              line, for a reader that looks at the file's start; reads after it take blocks.
// kStream: every read asks for 256 KiB, for a reader that is done with each line before it asks
//          for the next (the import): the buffer stays in the processor's cache, and there is
//          less fresh memory to clear and map than a large block takes.
enum class ReadAhead { kBlocks, kFirstLines, kStream };

// kBytes: the file's bytes as they are. kUtf16Le, kUtf16Be: UTF-16 text after its two-byte mark,
// read as its Shift-JIS form (AppendUtf16AsSjis); 0x1A then ends nothing. kBytesOrUtf16: UTF-16
// when the file begins with a UTF-16 mark (FF FE, FE FF), else bytes.
enum class FileText { kBytes, kUtf16Le, kUtf16Be, kBytesOrUtf16 };

// Lines taken whole from a reader's buffer (LineReader::PeekLines): text that ends with a line
// end, or at the end of the file. lfMode as the reader decided it (LineReader::LfMode).
//
// The line of lines that begins at pos: it ends at end (its line end excluded, the CR of CR LF
// too in LF mode), and the next line begins at next. REQUIRES: pos <= lines.size().
struct TLineSpan {
  size_t end;
  size_t next;
};
TLineSpan NextLine(std::string_view lines, size_t pos, bool lfMode);
// Where the line after the one that the byte at at ends (LF in LF mode, else CR) begins; at may
// be lines.size(), the end of a last line without a line end.
inline size_t AfterLineEnd(std::string_view lines, size_t at, bool lfMode) {
  if (at == lines.size()) return at;
  return !lfMode && at + 1 < lines.size() && lines[at + 1] == '\n' ? at + 2 : at + 1;
}
// The start of the line that holds the byte at at: 0, or just after the last line end that begins
// before at.
size_t LineStart(std::string_view lines, size_t at, bool lfMode);
// The lines of lines, and the bytes of their line ends in *endBytes.
size_t CountLines(std::string_view lines, bool lfMode, size_t* endBytes);

class LineReader {
 public:
  // Opens path for reading. Throws IoError when it cannot be opened.
  explicit LineReader(const std::string& path, LineEnds ends = LineEnds::kAuto,
                      ReadAhead ahead = ReadAhead::kBlocks, FileText text = FileText::kBytes);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Reads the next line into *line, without its line end. The view stays valid until the next
  // call. Returns false at the end of the file (or at 0x1A); a file that ends with a line end has
  // no empty line after it. Throws IoError when a read fails.
  bool ReadLine(std::string_view* line);

  // The file's next bytes, up to n of them, without consuming them: fewer only when the file
  // ends (or 0x1A ends it) before. The view stays valid until the next call. Throws IoError when
  // a read fails.
  std::string_view Peek(size_t n);

  // The bytes read from the file and not yet consumed, without reading more. The view stays valid
  // until the next call.
  std::string_view Buffered() const {
    return std::string_view(buf_.data() + begin_, end_ - begin_);
  }

  // True when no further line can be read.
  bool Eof();

  // The lines in hand that are whole, from the next one on, reading when there is none: text
  // that ends with a line end, or at the end of the file (a file's last line without one). more:
  // reads on first, for a caller whose record goes on past what it was given. Consumes nothing
  // (Consume does). False when no line is left. Throws IoError when a read fails.
  bool PeekLines(std::string_view* lines, bool more = false);
  // Consumes the first bytes of what PeekLines gave, a whole number of its lines.
  void Consume(size_t bytes) {
    begin_ += bytes;
    consumed_ += static_cast<int64_t>(bytes);
  }
  // Whether the file has no more bytes to read: what PeekLines gives is the rest of it.
  bool AtEnd() const { return atEof_; }
  // Whether lines end at LF (a Unix file) rather than at CR; decided by the first line read.
  bool LfMode() const { return lfMode_; }

  // The file's size in bytes, taken when it was opened.
  int64_t Size() const { return size_; }

  // The bytes ReadLine has consumed so far, line ends included (of the Shift-JIS form of a
  // UTF-16 file).
  int64_t Consumed() const { return consumed_; }
  // The "〓" written for characters of a UTF-16 file without a Shift-JIS form.
  int64_t Replaced() const { return replaced_; }
  // The text the file holds; kBytesOrUtf16 is decided by the first read (Peek, ReadLine).
  FileText Text() const { return text_; }

 private:
  size_t ReadConverted(size_t want);  // a UTF-16 file's next bytes into buf_ at end_
  size_t ConvertRaw(bool final);      // raw_ into buf_ at end_, as far as it converts
  size_t ReadFirst(size_t want);      // the first read of kBytesOrUtf16
  bool Fill();                        // reads more bytes after the unconsumed ones; false at end
  void DecideMode();                  // chooses CR or LF line ends from the first line end met

  std::string path_;         // for messages
  InFile file_;              // open file
  int64_t size_ = 0;         // file size at open
  Records<char> buf_;        // bytes read and not yet consumed lie in [begin_, end_); not cleared
  size_t fullBuffer_ = 0;    // the size of buf_ for block reads (kFirstLines: from the second read)
  size_t blockSize_ = 0;     // bytes asked of the file per read
  bool readBefore_ = false;  // Fill has read
  size_t begin_ = 0;
  size_t end_ = 0;
  bool atEof_ = false;      // the file has no more bytes (or 0x1A was met)
  bool modeKnown_ = false;  // the line-end mode has been chosen
  bool lfMode_ = false;
  bool crLfOnly_ = false;  // LineEnds::kCrLf        // lines end at LF (Unix files)
  int64_t consumed_ = 0;
  // A UTF-16 file: its bytes read and not yet converted (a unit or pair cut by a read) first.
  FileText text_ = FileText::kBytes;
  std::string raw_;
  std::string converted_;
  int64_t replaced_ = 0;
};

}  // namespace tabulon
