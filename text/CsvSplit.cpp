#include "text/CsvSplit.h"

#include <bit>
#include <cstddef>
#include <cstring>

#include "platform/Bytes.h"

namespace tabulon {

namespace {

using csv_split_detail::kNull;

// The index of the first c in data[pos, n), or n (n is the appended separator's index: R is
// record[pos, n] and is empty once pos > n). Cells are short, so the search is inline: a library
// call per cell costs more than the search itself.
inline size_t FindByte(const char* data, size_t pos, size_t n, char c) {
  for (; pos + 16 <= n; pos += 16) {
    const uint32_t mask = EqualMask16(data + pos, c);
    if (mask != 0) return pos + static_cast<size_t>(std::countr_zero(mask));
  }
  for (; pos < n; ++pos)
    if (data[pos] == c) return pos;
  return n;
}

// The fields of a vector.
struct AppendTo {
  std::vector<std::string_view>* fields;
  [[gnu::always_inline]] void Put(std::string_view field) { fields->push_back(field); }
};

// Appends the field data[begin, end) trimmed of bytes up to 0x20; "(null)" when nothing is left
// and kBlankIsNull.
template <bool kBlankIsNull>
[[gnu::always_inline]] inline void AppendTrimmed(const char* data, size_t begin, size_t end,
                                                 std::vector<std::string_view>* fields) {
  AppendTo sink{fields};
  csv_split_detail::PutTrimmed<kBlankIsNull>(data, begin, end, sink);
}

// Appends the unquoted field data[begin, end): "(null)" in both variants when it is empty.
template <bool kBlankIsNull>
[[gnu::always_inline]] inline void AppendUnquoted(const char* data, size_t begin, size_t end,
                                                  std::vector<std::string_view>* fields) {
  AppendTo sink{fields};
  csv_split_detail::PutUnquoted<kBlankIsNull>(data, begin, end, sink);
}

// The closing quote of the quoted field whose text begins at open: the first quote that is not
// doubled, or n when there is none. *doubled := whether a doubled quote came before it.
size_t ClosingQuote(const char* data, size_t open, size_t n, bool* doubled) {
  for (size_t at = open;;) {
    const size_t q = FindByte(data, at, n, '"');
    if (q + 1 >= n || data[q + 1] != '"') return q;
    *doubled = true;
    at = q + 2;
  }
}

// The text of a quoted field with each doubled quote made one and each line break (CR LF, a lone
// CR or a lone LF) made lineBreak, appended to *rewritten. REQUIRES: the appended text fits in
// the capacity that *rewritten has, so that views into it stay valid.
std::string_view Rewrite(std::string_view text, char lineBreak, bool lfStays,
                         std::string* rewritten) {
  const size_t start = rewritten->size();
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      ++i;  // the first of a doubled quote
    } else if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      rewritten->push_back(lineBreak);
      continue;
    } else if (c == '\n' && !lfStays) {
      rewritten->push_back(lineBreak);
      continue;
    }
    rewritten->push_back(c);
  }
  return std::string_view(*rewritten).substr(start);
}

// The split of a record with quotes. False, with fields in any state, at a quoted field that is
// never closed.
template <bool kBlankIsNull>
bool SplitQuoted(std::string_view record, char separator, TCsvFields* out) {
  const char* const data = record.data();
  const size_t n = record.size();
  // Import: a line break is kept as LF. Record list: it shows as a blank.
  const char lineBreak = kBlankIsNull ? '\n' : ' ';
  bool rewriting = false;  // out->rewritten holds this record's texts
  size_t pos = 0;
  while (pos <= n) {
    if (pos < n && data[pos] == '"') {
      const size_t open = pos + 1;
      bool doubled = false;
      const size_t close = ClosingQuote(data, open, n, &doubled);
      if (close >= n) return false;
      std::string_view text(data + open, close - open);
      const bool lineBreaks = text.find_first_of(kBlankIsNull ? "\r" : "\r\n") != text.npos;
      if (doubled || lineBreaks) {
        if (!rewriting) {
          // Rewritten texts are never longer than the record: the buffer does not move.
          out->rewritten.clear();
          out->rewritten.reserve(n);
          rewriting = true;
        }
        text = Rewrite(text, lineBreak, kBlankIsNull, &out->rewritten);
      }
      AppendTrimmed<kBlankIsNull>(text.data(), 0, text.size(), &out->fields);
      pos = close + 2;  // the closing quote and the byte after it
    } else {
      const size_t at = FindByte(data, pos, n, separator);
      AppendUnquoted<kBlankIsNull>(data, pos, at, &out->fields);
      pos = at + 1;
    }
  }
  return true;
}

// The split of a record whose quote is never closed, as every record was split before doubled
// quotes and quoted line breaks were read: a quoted field runs to the next quote.
template <bool kBlankIsNull>
void SplitUnclosed(std::string_view record, char separator, std::vector<std::string_view>* fields) {
  const char* const data = record.data();
  const size_t n = record.size();
  size_t pos = 0;
  while (pos <= n) {
    if (pos < n && data[pos] == '"') {
      // Up to the next quote; that quote and the byte after it are skipped. Without a closing
      // quote the field is empty and the byte after the opening quote is dropped.
      const size_t open = pos + 1;
      const size_t close = open < n ? FindByte(data, open, n, '"') : n;
      if (close < n) {
        AppendTrimmed<kBlankIsNull>(data, open, close, fields);
        pos = close + 2;
      } else {
        AppendTrimmed<kBlankIsNull>(data, open, open, fields);
        pos = open + 1;
      }
    } else {
      const size_t at = FindByte(data, pos, n, separator);
      AppendUnquoted<kBlankIsNull>(data, pos, at, fields);
      pos = at + 1;
    }
  }
}

template <bool kBlankIsNull>
bool Split(std::string_view record, char separator, TCsvFields* out) {
  std::vector<std::string_view>* fields = &out->fields;
  fields->clear();
  AppendTo sink{fields};
  if (csv_split_detail::SplitWithoutQuotes<kBlankIsNull, false>(
          record.data(), record.size(), separator, '\0', sink) != csv_split_detail::kQuoted)
    return true;
  fields->clear();
  if (SplitQuoted<kBlankIsNull>(record, separator, out)) return true;
  fields->clear();
  SplitUnclosed<kBlankIsNull>(record, separator, fields);
  return false;
}

}  // namespace

bool SplitCsvRecord(std::string_view record, TCsvFields* out, char separator) {
  return Split<true>(record, separator, out);
}

bool SplitCsvDisplayRecord(std::string_view record, TCsvFields* out, char separator) {
  return Split<false>(record, separator, out);
}

bool TQuoteScan::EndsInsideQuotes(std::string_view record) {
  const char* const data = record.data();
  const size_t n = record.size();
  for (;;) {
    if (inQuotes_) {
      bool doubled = false;
      const size_t close = ClosingQuote(data, pos_, n, &doubled);
      if (close >= n) {
        // A quote that ends the text so far may be the first of a doubled one only if the text
        // went on without a line break, which it never does: the next line follows one.
        pos_ = n;
        return true;
      }
      inQuotes_ = false;
      pos_ = close + 2;
    } else if (pos_ >= n) {
      return false;
    } else if (data[pos_] == '"') {
      inQuotes_ = true;
      ++pos_;
    } else {
      const size_t at = FindByte(data, pos_, n, separator_);
      if (at == n) {
        pos_ = n + 1;
        return false;
      }
      pos_ = at + 1;
    }
  }
}

}  // namespace tabulon
