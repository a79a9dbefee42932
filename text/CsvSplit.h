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

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Bytes.h"

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

// The import variant's split of a record that holds no quote, each field handed to
// sink.Put(std::string_view) in order rather than appended to a vector: a caller that stores the
// fields elsewhere saves copying them. False, after any number of fields, when the record holds a
// quote: SplitCsvRecord then splits it. Inline, with the rule's other cases in CsvSplit.cpp.
template <typename Sink>
inline bool SplitUnquotedRecord(std::string_view record, char separator, Sink& sink);
// The same split of the record that is the line of lines (whole lines, LineReader::PeekLines)
// beginning at pos, when that line holds no quote. Returns the index of the byte that ends it, LF
// in LF mode or else CR (lines.size() for a last line without one); npos, after any number of
// fields, when the line holds a quote.
template <typename Sink>
inline size_t SplitUnquotedLine(std::string_view lines, size_t pos, char separator, bool lfMode,
                                Sink& sink);

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

// ---------------------------------------------------------------- the split without quotes

namespace tabulon {
namespace csv_split_detail {

inline constexpr std::string_view kNull = "(null)";

// The rule is defined on the record with one separator appended. Rather than copying the record,
// the appended separator is a virtual byte at index n.
// Gives the field data[begin, end) trimmed of bytes up to 0x20; "(null)" when nothing is left
// and kBlankIsNull.
template <bool kBlankIsNull, typename Sink>
[[gnu::always_inline]] inline void PutTrimmed(const char* data, size_t begin, size_t end,
                                              Sink& sink) {
  while (begin < end && static_cast<unsigned char>(data[begin]) <= 0x20) ++begin;
  while (end > begin && static_cast<unsigned char>(data[end - 1]) <= 0x20) --end;
  if (kBlankIsNull && begin == end)
    sink.Put(kNull);
  else
    sink.Put(std::string_view(data + begin, end - begin));
}

// Gives the unquoted field data[begin, end): "(null)" in both variants when it is empty.
template <bool kBlankIsNull, typename Sink>
[[gnu::always_inline]] inline void PutUnquoted(const char* data, size_t begin, size_t end,
                                               Sink& sink) {
  if (begin == end)
    sink.Put(kNull);
  else
    PutTrimmed<kBlankIsNull>(data, begin, end, sink);
}

// The fields of the 16 bytes at block, index base of the record at data, that its separators
// end, for the bytes that keep has a bit for; *begin is the start of the current field. With
// kLine, a byte ending among them ends the record: *end := its index, and the bytes after it are
// left. False at a quote before it.
template <bool kBlankIsNull, bool kLine, typename Sink>
[[gnu::always_inline]] inline bool SplitBlock(const char* data, const char* block, size_t base,
                                              uint32_t keep, char separator, char ending,
                                              size_t* begin, size_t* end, Sink& sink) {
  if (kLine) {
    const uint32_t stop = EqualMask16(block, ending) & keep;
    if (stop != 0) {
      keep &= (stop & (0u - stop)) - 1;  // the bytes before the line end
      *end = base + static_cast<size_t>(std::countr_zero(stop));
    }
  }
  if ((EqualMask16(block, '"') & keep) != 0) return false;
  for (uint32_t mask = EqualMask16(block, separator) & keep; mask != 0; mask &= mask - 1) {
    const size_t at = base + static_cast<size_t>(std::countr_zero(mask));
    PutUnquoted<kBlankIsNull>(data, *begin, at, sink);
    *begin = at + 1;
  }
  return true;
}

// The split of a record without a quote, where every separator ends a field: the separators of
// 16 bytes are found at once and taken from a bit mask. With kLine, the record is the line that
// begins at data and ends at the first byte ending (in LF mode a CR before it goes with it).
// Returns where the record ends, n or that byte; kQuoted at the first quote before it.
inline constexpr size_t kQuoted = std::string_view::npos;
template <bool kBlankIsNull, bool kLine, typename Sink>
[[gnu::always_inline]] inline size_t SplitWithoutQuotes(const char* data, size_t n, char separator,
                                                        char ending, Sink& sink) {
  size_t begin = 0;  // of the current field
  size_t end = n;    // of the record
  size_t pos = 0;
  for (; pos + 16 <= n && end == n; pos += 16) {
    if (!SplitBlock<kBlankIsNull, kLine>(data, data + pos, pos, ~0u, separator, ending, &begin,
                                         &end, sink))
      return kQuoted;
  }
  if (pos < n && end == n) {
    // The bytes left, fewer than 16, as one more block rather than one at a time: the 16 bytes
    // that end the record with those before pos masked off, or a short record copied into a
    // zeroed block (a zero byte is neither a separator, a quote nor a line end).
    alignas(16) char copy[16] = {};
    const char* block = data + n - 16;
    size_t base = n - 16;  // the record index of the block's first byte
    uint32_t keep = ~0u << (pos - base);
    if (n < 16) {
      std::memcpy(copy, data, n);
      block = copy;
      base = 0;
      keep = ~0u;
    }
    if (!SplitBlock<kBlankIsNull, kLine>(data, block, base, keep, separator, ending, &begin, &end,
                                         sink))
      return kQuoted;
  }
  const bool crLf = kLine && ending == '\n' && end < n && end > begin && data[end - 1] == '\r';
  PutUnquoted<kBlankIsNull>(data, begin, crLf ? end - 1 : end, sink);  // the last field
  return end;
}

}  // namespace csv_split_detail

template <typename Sink>
[[gnu::always_inline]] inline bool SplitUnquotedRecord(std::string_view record, char separator,
                                                       Sink& sink) {
  return csv_split_detail::SplitWithoutQuotes<true, false>(record.data(), record.size(), separator,
                                                           '\0', sink) != csv_split_detail::kQuoted;
}

template <typename Sink>
[[gnu::always_inline]] inline size_t SplitUnquotedLine(std::string_view lines, size_t pos,
                                                       char separator, bool lfMode, Sink& sink) {
  const size_t end = csv_split_detail::SplitWithoutQuotes<true, true>(
      lines.data() + pos, lines.size() - pos, separator, lfMode ? '\n' : '\r', sink);
  return end == csv_split_detail::kQuoted ? end : pos + end;
}

}  // namespace tabulon
