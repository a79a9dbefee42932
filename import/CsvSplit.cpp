#include "import/CsvSplit.h"

#include <cstddef>
#include <cstring>

namespace tabulon {

namespace {

constexpr std::string_view kNull = "(null)";

// The rule is defined on the line with one comma appended. Rather than copying the line, the
// appended comma is a virtual byte at index n: R is line[pos, n] and is empty once pos > n.
// Every search is bounded by n, since the virtual comma is neither a quote nor found by memchr.
template <bool kBlankIsNull>
void Split(std::string_view line, std::vector<std::string_view>* fields) {
  fields->clear();
  const char* const data = line.data();
  const size_t n = line.size();
  size_t pos = 0;
  while (pos <= n) {
    size_t begin;
    size_t end;
    if (pos < n && data[pos] == '"') {
      // 1) Quoted: up to the next quote; that quote and the byte after it are skipped. Without a
      //    closing quote the field is empty and the byte after the opening quote is dropped.
      const size_t open = pos + 1;
      const void* close = open < n ? std::memchr(data + open, '"', n - open) : nullptr;
      if (close != nullptr) {
        begin = open;
        end = static_cast<size_t>(static_cast<const char*>(close) - data);
        pos = end + 2;
      } else {
        begin = end = open;
        pos = open + 1;
      }
    } else {
      // 2) Unquoted: up to the next comma, real or appended, which is consumed. A comma right at
      //    the start is "(null)" in both variants.
      const void* comma = pos < n ? std::memchr(data + pos, ',', n - pos) : nullptr;
      const size_t at =
          comma != nullptr ? static_cast<size_t>(static_cast<const char*>(comma) - data) : n;
      if (at == pos) {
        fields->push_back(kNull);
        pos = at + 1;
        continue;
      }
      begin = pos;
      end = at;
      pos = at + 1;
    }
    while (begin < end && static_cast<unsigned char>(data[begin]) <= 0x20) ++begin;
    while (end > begin && static_cast<unsigned char>(data[end - 1]) <= 0x20) --end;
    if (kBlankIsNull && begin == end) {
      fields->push_back(kNull);
    } else {
      fields->emplace_back(data + begin, end - begin);
    }
  }
}

}  // namespace

void SplitCsvRecord(std::string_view line, std::vector<std::string_view>* fields) {
  Split<true>(line, fields);
}

void SplitCsvDisplayRecord(std::string_view line, std::vector<std::string_view>* fields) {
  Split<false>(line, fields);
}

}  // namespace tabulon
