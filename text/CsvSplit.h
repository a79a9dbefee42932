// The one field-splitting rule of CSV records, in its import and record-list variants.
//
// Splitting one record: append a separator to it; while text remains, take a field:
//   1) a quoted field (first byte a double quote): the text up to its closing quote, a double
//      quote that is not doubled; inside it a doubled quote "" stands for one quote and a line
//      break belongs to the field. The closing quote and the one byte after it, whatever it is,
//      are skipped;
//   2) otherwise the text up to the next separator, which is consumed.
// Every field is trimmed of bytes up to 0x20 at both ends (the full-width space stays).
// A record whose quoted field is never closed is split as lines were before doubled quotes and
// quoted line breaks were read: the field up to the next quote alone, or, without any, an empty
// field after which the byte following the quote is dropped.
//
// The separator is the comma, or the tab in a tab-separated file; a record is one line of the
// file, or several when a quoted field goes on past a line's end (CsvRecordReader).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

// Where the fields of one record are put. A field is a view into the record, into the static
// "(null)", or into rewritten: the text of a quoted field that held a doubled quote or a line
// break. The views stay valid while the record does and until the next split into this object.
struct TCsvFields {
  std::vector<std::string_view> fields;
  std::string rewritten;
};

// Import variant: a field that is empty after trimming is "(null)"; a line break inside a
// quoted field is stored as one LF (a CR LF or a lone CR becomes LF). Never fails; at least one
// field. Returns false when a quoted field is never closed (the record then ends inside quotes,
// as TQuoteScan would tell).
bool SplitCsvRecord(std::string_view record, TCsvFields* out, char separator = ',');

// Record-list variant: the same, but a blank field, an empty quoted field and an unclosed quote
// give the empty text (two separators in a row or one at the start still give "(null)"), and a
// line break inside a quoted field shows as one blank.
bool SplitCsvDisplayRecord(std::string_view record, TCsvFields* out, char separator = ',');

// Whether a record ends inside a quoted field, so that the file's next line goes on with it.
// Follows the record as it grows: Scan looks only at the bytes added since the last call.
class TQuoteScan {
 public:
  explicit TQuoteScan(char separator) : separator_(separator) {}
  // Starts a new record.
  void Reset() {
    pos_ = 0;
    inQuotes_ = false;
  }
  // REQUIRES: record extends the text of the last call since Reset.
  bool EndsInsideQuotes(std::string_view record);

 private:
  char separator_;
  size_t pos_ = 0;         // the next byte to look at; beyond the end once the record is done
  bool inQuotes_ = false;  // pos_ lies inside a quoted field
};

}  // namespace tabulon
