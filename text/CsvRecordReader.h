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
