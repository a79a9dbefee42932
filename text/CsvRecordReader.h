// Reads the records of a user's CSV file: its lines as Shift-JIS text (CsvLineReader), joined
// where a quoted field goes on past a line's end, with the separator the header line shows.
//
// The separator is the tab when the file's first line holds a tab and no comma (a tab-separated
// export), else the comma. A record is one line, or, while a quoted field is open at a line's end,
// that line and the next ones joined by one LF each. A quote that is still open at the end of the
// file does not swallow the rest: its line is a record of its own (the splitter reads its unclosed
// quote as lines were read before), and the lines after it are read again as records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "platform/Bytes.h"
#include "platform/CsvLineReader.h"
#include "text/CsvSplit.h"

namespace tabulon {

// Records taken at once (CsvRecordReader::ReadRecords): the file's whole lines, line ends
// included, that make whole records.
struct TRecordBlock {
  std::string_view text;  // valid until the next read
  bool utf8 = false;      // text is UTF-8, to be converted as AppendUtf8AsSjis converts it
  bool lfMode = false;    // as LineReader::LfMode
  size_t lines = 0;
  int64_t fileBytes = 0;  // as ReadRecord counts them
};

// The record of lines (whole lines, LineReader::PeekLines) that begins at the line start pos: the
// line, or while a quoted field is open at a line's end, that line and the next ones. end: the
// end of its last line, without the line end; next: where the next record begins, or npos when
// a quoted field is still open at the end of lines; joined: it is of several lines.
// scan: a TQuoteScan of the file's separator.
struct TRecordSpan {
  size_t end;
  size_t next;
  bool joined;
};
TRecordSpan NextRecord(std::string_view lines, size_t pos, bool lfMode, TQuoteScan* scan);
// Appends the text ReadRecord gives for a record of several lines, lines[pos, end) of its
// TRecordSpan: its lines joined by one LF each.
void AppendJoinedLines(std::string_view record, bool lfMode, std::string* out);

class CsvRecordReader {
 public:
  // Opens path as CsvLineReader does. Throws IoError when it cannot be opened or read.
  explicit CsvRecordReader(const std::string& path, ReadAhead ahead = ReadAhead::kBlocks);
  CsvRecordReader(const CsvRecordReader&) = delete;
  CsvRecordReader& operator=(const CsvRecordReader&) = delete;

  // Reads the next record into *record; the first one read decides the separator. The view stays
  // valid until the next call. *fileBytes, when given, receives the bytes its lines take in the
  // file, two per line end (a count for progress). False at the end of the file. Throws IoError
  // when a read fails. Inline: it runs once per record of an import, and most lines hold no
  // quote and are a record each.
  bool ReadRecord(std::string_view* record, int64_t* fileBytes = nullptr) {
    if (!again_.empty() || first_) return ReadRecordOfAnyLine(record, fileBytes);
    Line line;
    size_t bytes = 0;
    if (!lines_.ReadLine(&line.text, &bytes)) return false;
    line.fileBytes = static_cast<int64_t>(bytes) + 2;
    if (HasByte(line.text.data(), line.text.size(), '"')) {
      *record = RecordFrom(line, fileBytes);
      return true;
    }
    *record = line.text;
    if (fileBytes != nullptr) *fileBytes = line.fileBytes;
    return true;
  }

  // Takes the whole records in hand at once, when that can be done: false before the header is
  // read, after a quote that stayed open to the end of the file and while the
  // encoding waits for a line that is not ASCII (ReadRecord then reads a record, and the next
  // call may take a block again), and at the end of the file. limit: bytes beyond which whole
  // lines are left for the next call, when a record ends by then. Throws IoError when a read
  // fails.
  // Inline: a file that is read one record at a time asks before each record.
  bool ReadRecords(TRecordBlock* block, size_t limit = SIZE_MAX) {
    if (first_ || !again_.empty() || !lines_.TakesBlocks()) return false;
    return ReadRecordsInHand(block, limit);
  }

  // The separator of fields: ',' or '\t'. REQUIRES: a record was read (',' before).
  char Separator() const { return separator_; }
  const CsvLineReader& Lines() const { return lines_; }

 private:
  struct Line {
    std::string_view text;  // valid until the next line is read
    int64_t fileBytes = 0;
  };
  bool NextLine(Line* line);   // from lines to read again first, then from the file
  bool FirstLine(Line* line);  // NextLine, deciding the separator at the file's first line
  bool ReadRecordOfAnyLine(std::string_view* record, int64_t* fileBytes);
  bool ReadRecordsInHand(TRecordBlock* block, size_t limit);  // ReadRecords's reading
  // The record that begins with line: line alone, or joined with the next lines while a quoted
  // field goes on past its end (Join).
  std::string_view RecordFrom(const Line& line, int64_t* fileBytes);
  // The record that begins with line, whose quoted field is open at its end: line and the next
  // lines until the quote closes, or line alone when it never does (the others are read again).
  std::string_view Join(const Line& line, int64_t* fileBytes);

  CsvLineReader lines_;
  char separator_ = ',';
  bool first_ = true;
  TQuoteScan scan_{','};
  std::string record_;  // a record of several lines
  struct Kept {
    std::string text;
    int64_t fileBytes;
  };
  std::deque<Kept> again_;  // lines to read again after a quote left open at the end of the file
  std::string againLine_;   // the line of again_ being read
};

}  // namespace tabulon
