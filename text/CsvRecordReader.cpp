#include "text/CsvRecordReader.h"

#include <vector>

namespace tabulon {

TRecordSpan NextRecord(std::string_view lines, size_t pos, bool lfMode, TQuoteScan* scan) {
  TLineSpan line = NextLine(lines, pos, lfMode);
  if (!HasByte(lines.data() + pos, line.end - pos, '"')) return {line.end, line.next, false};
  scan->Reset();
  bool joined = false;
  // The scan reads the line ends between the lines as they are in the file rather than as one
  // LF: inside a quoted field, where they are, it looks only for the closing quote.
  while (scan->EndsInsideQuotes(lines.substr(pos, line.end - pos))) {
    if (line.next == lines.size()) return {line.end, std::string_view::npos, joined};
    line = NextLine(lines, line.next, lfMode);
    joined = true;
  }
  return {line.end, line.next, joined};
}

void AppendJoinedLines(std::string_view record, bool lfMode, std::string* out) {
  // Its last line is the one without a line end in record.
  for (size_t pos = 0;;) {
    const TLineSpan line = NextLine(record, pos, lfMode);
    out->append(record.substr(pos, line.end - pos));
    if (line.end == record.size()) return;
    out->push_back('\n');
    pos = line.next;
  }
}

namespace {

// The end of the last whole record of lines: the records of the lines without a quote are found
// by one search for the next quote.
size_t LastRecordEnd(std::string_view lines, bool lfMode, TQuoteScan* scan) {
  for (size_t pos = 0; pos < lines.size();) {
    const char* quote = FindByte(lines.data() + pos, lines.size() - pos, '"');
    if (quote == nullptr) break;
    const size_t start = LineStart(lines, static_cast<size_t>(quote - lines.data()), lfMode);
    const TRecordSpan record = NextRecord(lines, start, lfMode, scan);
    if (record.next == std::string_view::npos) return start;
    pos = record.next;
  }
  return lines.size();
}

}  // namespace

CsvRecordReader::CsvRecordReader(const std::string& path, ReadAhead ahead) : lines_(path, ahead) {}

bool CsvRecordReader::NextLine(Line* line) {
  if (!again_.empty()) {
    againLine_ = std::move(again_.front().text);
    line->fileBytes = again_.front().fileBytes;
    again_.pop_front();
    line->text = againLine_;
    return true;
  }
  size_t bytes = 0;
  if (!lines_.ReadLine(&line->text, &bytes)) return false;
  line->fileBytes = static_cast<int64_t>(bytes) + 2;
  return true;
}

bool CsvRecordReader::FirstLine(Line* line) {
  if (!NextLine(line)) return false;
  if (first_) {
    first_ = false;
    const bool tabs = line->text.find('\t') != std::string_view::npos &&
                      line->text.find(',') == std::string_view::npos;
    separator_ = tabs ? '\t' : ',';
    scan_ = TQuoteScan(separator_);
  }
  return true;
}

bool CsvRecordReader::ReadRecordOfAnyLine(std::string_view* record, int64_t* fileBytes) {
  Line line;
  if (!FirstLine(&line)) return false;
  *record = RecordFrom(line, fileBytes);
  return true;
}

std::string_view CsvRecordReader::RecordFrom(const Line& line, int64_t* fileBytes) {
  scan_.Reset();
  if (HasByte(line.text.data(), line.text.size(), '"') && scan_.EndsInsideQuotes(line.text))
    return Join(line, fileBytes);
  if (fileBytes != nullptr) *fileBytes = line.fileBytes;
  return line.text;
}

std::string_view CsvRecordReader::Join(const Line& line, int64_t* fileBytes) {
  struct Span {
    size_t offset, length;
    int64_t fileBytes;
  };
  std::vector<Span> spans{{0, line.text.size(), line.fileBytes}};
  record_.assign(line.text);
  int64_t bytes = line.fileBytes;
  for (;;) {
    Line next;
    if (!NextLine(&next)) {
      // Still open at the end of the file: the first line is the record, the others are read
      // again as records of their own.
      for (size_t i = spans.size(); i-- > 1;)
        again_.push_front({record_.substr(spans[i].offset, spans[i].length), spans[i].fileBytes});
      record_.resize(spans[0].length);
      if (fileBytes != nullptr) *fileBytes = spans[0].fileBytes;
      return record_;
    }
    record_.push_back('\n');
    spans.push_back({record_.size(), next.text.size(), next.fileBytes});
    record_.append(next.text);
    bytes += next.fileBytes;
    if (!scan_.EndsInsideQuotes(record_)) break;
  }
  if (fileBytes != nullptr) *fileBytes = bytes;
  return record_;
}

bool CsvRecordReader::ReadRecordsInHand(TRecordBlock* block, size_t limit) {
  for (bool more = false;; more = true) {
    std::string_view lines;
    bool all = true;
    if (!lines_.PeekLines(&lines, more, &all)) return false;
    const bool lfMode = lines_.LfMode();
    size_t end = 0;
    if (limit < lines.size()) {
      // The lines that end by limit, or the first line.
      size_t cut = LineStart(lines, limit, lfMode);
      if (cut == 0) cut = tabulon::NextLine(lines, 0, lfMode).next;
      end = LastRecordEnd(lines.substr(0, cut), lfMode, &scan_);
    }
    if (end == 0) end = LastRecordEnd(lines, lfMode, &scan_);
    if (end == 0) {
      // The first record goes on past the lines: read on, unless nothing more can come.
      if (!all || lines_.AtEnd()) return false;
      continue;
    }
    block->text = lines.substr(0, end);
    block->utf8 = lines_.Utf8();
    block->lfMode = lfMode;
    size_t endBytes = 0;
    block->lines = CountLines(block->text, lfMode, &endBytes);
    block->fileBytes = lines_.FileBytesPerByte() * static_cast<int64_t>(end - endBytes) +
                       2 * static_cast<int64_t>(block->lines);
    lines_.Consume(end);
    return true;
  }
}

}  // namespace tabulon
