#include "text/CsvRecordReader.h"

#include <vector>

namespace tabulon {

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

}  // namespace tabulon
