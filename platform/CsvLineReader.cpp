#include "platform/CsvLineReader.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <cstring>

#include "platform/FileIo.h"
#include "platform/SjisText.h"

namespace tabulon {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool IsControl(unsigned char c) {
  return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F;
}

// Bytes of head that are no Shift-JIS text: undefined single bytes, lead bytes without a valid
// trail byte, control bytes. A lead byte cut by the end of an incomplete head is not counted.
size_t ShiftJisFaults(std::string_view head, bool complete) {
  size_t faults = 0;
  for (size_t i = 0; i < head.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(head[i]);
    if (IsLeadByte(c)) {
      if (i + 1 == head.size()) {
        faults += complete ? 1 : 0;
        break;
      }
      const unsigned char t = static_cast<unsigned char>(head[i + 1]);
      if (t >= 0x40 && t <= 0xFC && t != 0x7F)
        ++i;
      else
        ++faults;
    } else if (c == 0x80 || c == 0xA0 || c >= 0xFD || IsControl(c)) {
      ++faults;
    }
  }
  return faults;
}

struct Utf8Scan {
  size_t faults = 0;        // ill-formed sequences and control bytes
  size_t illFormed = 0;     // ill-formed sequences alone
  bool threeBytes = false;  // some well-formed sequence is of three or four bytes
};

Utf8Scan ScanUtf8(std::string_view head, bool complete) {
  Utf8Scan scan;
  const auto* s = reinterpret_cast<const uint8_t*>(head.data());
  const int32_t length = static_cast<int32_t>(head.size());
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0) {
      // A sequence that the end of an incomplete head cuts may go on in the file.
      if (i == length && !complete) break;
      ++scan.illFormed;
      ++scan.faults;
    } else if (c >= 0x800) {
      scan.threeBytes = true;
    } else if (IsControl(static_cast<unsigned char>(c))) {
      ++scan.faults;
    }
  }
  return scan;
}

// The index of the first byte of text that is not ASCII, or its size; eight bytes at a time, for
// the blocks of lines of a file that is ASCII so far.
size_t FirstNonAscii(std::string_view text) {
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, sizeof word);
    if ((word & 0x8080808080808080u) != 0) break;
  }
  while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
  return i;
}

}  // namespace

bool IsUtf8Text(std::string_view bytes, bool complete) {
  const Utf8Scan scan = ScanUtf8(bytes, complete);
  return scan.illFormed == 0 && scan.threeBytes;
}

bool IsWellFormedUtf8(std::string_view bytes, bool complete) {
  return ScanUtf8(bytes, complete).illFormed == 0;
}

TextSniff SniffText(std::string_view head, bool complete) {
  TextSniff sniff;
  if (head.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
    sniff.encoding = TextEncoding::kUtf8;
    sniff.markBytes = kUtf8Mark.size();
    head.remove_prefix(kUtf8Mark.size());
  }
  const Utf8Scan utf8 = ScanUtf8(head, complete);
  if (sniff.markBytes == 0 && IsUtf8Text(head.substr(FirstNonAscii(head)), complete))
    sniff.encoding = TextEncoding::kUtf8;
  // More than 1% of the bytes: a text file with a stray byte or two still reads as text.
  const auto tooMany = [&](size_t faults) { return faults * 100 > head.size(); };
  sniff.looksLikeText = !tooMany(utf8.faults) || !tooMany(ShiftJisFaults(head, complete));
  return sniff;
}

CsvLineReader::CsvLineReader(const std::string& path, ReadAhead ahead)
    : lines_(path, LineEnds::kAuto, ahead, FileText::kBytesOrUtf16) {
  // One byte beyond the sample tells whether the sample is the whole file.
  std::string_view head = lines_.Peek(kUtf8Mark.size() + kSniffBytes + 1);
  if (lines_.Text() != FileText::kBytes) {
    sniff_.encoding = TextEncoding::kUtf16;
    decided_ = true;
    return;
  }
  const size_t limit =
      (head.substr(0, kUtf8Mark.size()) == kUtf8Mark ? kUtf8Mark.size() : 0) + kSniffBytes;
  const bool complete = head.size() <= limit;
  sniff_ = SniffText(head.substr(0, limit), complete);
  // The encoding waits for the first line that is not ASCII, unless a mark decided it.
  decided_ = sniff_.markBytes > 0;
  if (!decided_) sniff_.encoding = TextEncoding::kShiftJis;
}

void CsvLineReader::Decide(std::string_view* line, size_t at) {
  held_.assign(*line);
  std::string window = held_.substr(at, kSniffBytes);
  bool complete = false;
  if (window.size() < kSniffBytes) {
    window.push_back('\n');  // the line end, ASCII whatever it is
    const size_t room = kSniffBytes - std::min(window.size(), kSniffBytes);
    const std::string_view more = lines_.Peek(room + 1);
    complete = more.size() <= room;
    window.append(more.substr(0, room));
  }
  sniff_.encoding = IsUtf8Text(window, complete) ? TextEncoding::kUtf8 : TextEncoding::kShiftJis;
  decided_ = true;
  *line = held_;
}

void CsvLineReader::LookAhead() {
  // Only the bytes in hand: a look ahead reads nothing from the file.
  asciiUntil_ = lines_.Consumed() + static_cast<int64_t>(FirstNonAscii(lines_.Buffered()));
}

bool CsvLineReader::PeekLines(std::string_view* lines, bool more, bool* all) {
  *all = true;
  if (!TakesBlocks() || !lines_.PeekLines(lines, more)) return false;
  if (decided_) return true;
  const size_t at = FirstNonAscii(*lines);
  if (at == lines->size()) return true;
  *all = false;
  *lines = lines->substr(0, LineStart(*lines, at, lines_.LfMode()));
  return !lines->empty();
}

bool CsvLineReader::ReadLine(std::string_view* line, size_t* fileBytes) {
  std::string_view raw;
  if (!lines_.ReadLine(&raw)) return false;
  if (fileBytes != nullptr)
    *fileBytes = sniff_.encoding == TextEncoding::kUtf16 ? 2 * raw.size() : raw.size();
  if (first_) {
    first_ = false;
    raw.remove_prefix(sniff_.markBytes);
  }
  // Lines within bytes known to be ASCII are not looked at again.
  if (!decided_ && lines_.Consumed() > asciiUntil_) {
    const size_t at = FirstNonAscii(raw);
    if (at < raw.size())
      Decide(&raw, at);
    else
      LookAhead();  // about once per block of ASCII lines
  }
  if (sniff_.encoding != TextEncoding::kUtf8 || IsAscii(raw)) {
    *line = raw;
    return true;
  }
  converted_.clear();
  replaced_ += static_cast<int64_t>(AppendUtf8AsSjis(raw, &converted_));
  *line = converted_;
  return true;
}

}  // namespace tabulon
