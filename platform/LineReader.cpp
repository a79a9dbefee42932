#include "platform/LineReader.h"

#include <algorithm>
#include <cstring>

#include "platform/Bytes.h"
#include "platform/SjisText.h"

namespace tabulon {

namespace {

constexpr size_t kBlockSize = size_t{4} << 20;           // bytes asked of the file per read
constexpr size_t kStreamBlockSize = size_t{256} << 10;   // the same for ReadAhead::kStream
constexpr size_t kMinBuffer = size_t{64} << 10;          // small files get a small buffer
constexpr size_t kFirstLinesBuffer = size_t{128} << 10;  // ReadAhead::kFirstLines's first read
constexpr char kEndOfFile = 0x1A;

}  // namespace

TLineSpan NextLine(std::string_view lines, size_t pos, bool lfMode) {
  const char* const base = lines.data();
  const size_t n = lines.size();
  const char* hit = FindByte(base + pos, n - pos, lfMode ? '\n' : '\r');
  if (hit == nullptr) return {n, n};  // the file's last line, without a line end
  const size_t at = static_cast<size_t>(hit - base);
  const bool crLf = lfMode && at > pos && base[at - 1] == '\r';
  return {crLf ? at - 1 : at, AfterLineEnd(lines, at, lfMode)};
}

size_t LineStart(std::string_view lines, size_t at, bool lfMode) {
  const char* hit = FindLastByte(lines.data(), at, lfMode ? '\n' : '\r');
  if (hit == nullptr) return 0;
  const size_t start = static_cast<size_t>(hit - lines.data()) + 1;
  return !lfMode && start < lines.size() && lines[start] == '\n' ? start + 1 : start;
}

size_t CountLines(std::string_view lines, bool lfMode, size_t* endBytes) {
  // Sixteen bytes at a time: the line ends, and the CR LF pairs among them (the LF of a pair may
  // begin the next sixteen).
  const char ending = lfMode ? '\n' : '\r';
  const char* const p = lines.data();
  const size_t n = lines.size();
  size_t ends = 0;
  size_t pairs = 0;
  size_t pos = 0;
  // The bits are few (a line end in a line's bytes): walked rather than counted with
  // std::popcount, a call where the processor's instruction is not assumed.
  const auto bits = [](uint32_t mask) {
    size_t count = 0;
    for (; mask != 0; mask &= mask - 1) ++count;
    return count;
  };
  for (; pos + 17 <= n; pos += 16) {
    const uint32_t cr = EqualMask16(p + pos, '\r');
    ends += bits(lfMode ? EqualMask16(p + pos, '\n') : cr);
    if (cr != 0) pairs += bits(cr & EqualMask16(p + pos + 1, '\n'));
  }
  for (; pos < n; ++pos) {
    ends += p[pos] == ending;
    pairs += p[pos] == '\r' && pos + 1 < n && p[pos + 1] == '\n';
  }
  *endBytes = ends + pairs;
  // A last line without a line end counts too; in CR mode it may end with a lone LF.
  bool open = n > 0 && p[n - 1] != ending;
  if (open && !lfMode && p[n - 1] == '\n') open = n < 2 || p[n - 2] != '\r';
  return ends + (open ? 1 : 0);
}

LineReader::LineReader(const std::string& path, LineEnds ends, ReadAhead ahead, FileText text)
    : path_(path), text_(text) {
  file_.Open(path);
  if (text_ == FileText::kUtf16Le || text_ == FileText::kUtf16Be) {
    char mark[2];
    file_.ReadSome(mark, sizeof mark);
  }
  size_ = std::max<int64_t>(FileSize(path), 0);
  blockSize_ = ahead == ReadAhead::kStream ? kStreamBlockSize : kBlockSize;
  // One read takes a small file whole, with room left to see its end.
  const size_t wanted = static_cast<size_t>(std::min<int64_t>(size_, blockSize_)) + 1;
  fullBuffer_ = std::max(wanted, kMinBuffer);
  // A reader of the first lines does not read a whole block it would not look at.
  buf_.resize(ahead == ReadAhead::kFirstLines ? std::min(fullBuffer_, kFirstLinesBuffer)
                                              : fullBuffer_);
  if (ends == LineEnds::kCrLf) modeKnown_ = crLfOnly_ = true;
}

LineReader::~LineReader() = default;

bool LineReader::Fill() {
  if (atEof_) return false;
  // Keep the unconsumed bytes at the front; grow only when they fill the buffer (a long line).
  if (begin_ > 0) {
    std::memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == buf_.size())
    buf_.resize(std::max(buf_.size() * 2, fullBuffer_));
  else if (buf_.size() < fullBuffer_ && readBefore_)
    buf_.resize(fullBuffer_);  // a reader of the first lines reads on
  readBefore_ = true;
  const size_t want = std::min(buf_.size() - end_, blockSize_);
  const size_t got = text_ == FileText::kBytes          ? file_.ReadSome(buf_.data() + end_, want)
                     : text_ == FileText::kBytesOrUtf16 ? ReadFirst(want)
                                                        : ReadConverted(want);
  if (got == 0) {
    atEof_ = true;
    file_.Close();
    return false;
  }
  // 0x1A ends the file: nothing after it is read.
  const bool endsAtSub = !crLfOnly_ && text_ == FileText::kBytes;  // as the first read decided
  const void* stop = endsAtSub ? std::memchr(buf_.data() + end_, kEndOfFile, got) : nullptr;
  if (stop != nullptr) {
    end_ = static_cast<size_t>(static_cast<const char*>(stop) - buf_.data());
    atEof_ = true;
    file_.Close();
    return true;
  }
  end_ += got;
  return true;
}

size_t LineReader::ReadFirst(size_t want) {
  const size_t got = file_.ReadSome(buf_.data() + end_, want);
  const auto* b = reinterpret_cast<const unsigned char*>(buf_.data() + end_);
  text_ = FileText::kBytes;
  if (got >= 2 && b[0] == 0xFF && b[1] == 0xFE) text_ = FileText::kUtf16Le;
  if (got >= 2 && b[0] == 0xFE && b[1] == 0xFF) text_ = FileText::kUtf16Be;
  if (text_ == FileText::kBytes) return got;
  raw_.assign(buf_.data() + end_ + 2, got - 2);
  const size_t converted = ConvertRaw(false);
  return converted > 0 ? converted : ReadConverted(want);
}

size_t LineReader::ReadConverted(size_t want) {
  for (;;) {
    const size_t carried = raw_.size();
    raw_.resize(carried + want);
    const size_t got = file_.ReadSome(raw_.data() + carried, want);
    raw_.resize(carried + got);
    const size_t converted = ConvertRaw(got == 0);
    if (converted > 0 || got == 0) return converted;
  }
}

size_t LineReader::ConvertRaw(bool final) {
  converted_.clear();
  size_t used = 0;
  replaced_ += static_cast<int64_t>(
      AppendUtf16AsSjis(raw_, text_ == FileText::kUtf16Be, final, &converted_, &used));
  raw_.erase(0, used);
  // The Shift-JIS form is never longer than the UTF-16 text, but a pair carried from the last
  // read may need room beyond this read's bytes.
  if (buf_.size() - end_ < converted_.size()) buf_.resize(end_ + converted_.size());
  std::memcpy(buf_.data() + end_, converted_.data(), converted_.size());
  return converted_.size();
}

void LineReader::DecideMode() {
  size_t scanned = 0;  // bytes after begin_ known to hold neither CR nor LF
  for (;;) {
    const char* from = buf_.data() + begin_ + scanned;
    const size_t n = end_ - begin_ - scanned;
    const char* lf = static_cast<const char*>(std::memchr(from, '\n', n));
    const size_t crRange = lf ? static_cast<size_t>(lf - from) : n;
    const char* cr = static_cast<const char*>(std::memchr(from, '\r', crRange));
    if (cr || lf) {
      lfMode_ = cr == nullptr;
      break;
    }
    scanned += n;
    if (!Fill()) break;  // no line end at all: one line, either mode reads it alike
  }
  modeKnown_ = true;
}

bool LineReader::ReadLine(std::string_view* line) {
  if (!modeKnown_) DecideMode();
  const char ending = lfMode_ ? '\n' : '\r';
  size_t scanned = 0;  // bytes after begin_ known to hold no line end
  for (;;) {
    char* const base = buf_.data();
    const char* from = base + begin_ + scanned;
    const char* hit = static_cast<const char*>(std::memchr(from, ending, end_ - begin_ - scanned));
    if (hit != nullptr) {
      const size_t at = static_cast<size_t>(hit - base);
      size_t lineEnd = at;
      size_t next = at + 1;
      if (lfMode_) {
        // 1) LF mode: a CR right before the LF goes with it.
        if (at > begin_ && base[at - 1] == '\r') lineEnd = at - 1;
      } else if (next == end_ && !atEof_) {
        // 2) CR mode, the CR is the last byte in hand: an LF may follow in the next block.
        scanned = at - begin_;
        Fill();
        continue;
      } else if (next < end_ && base[next] == '\n') {
        // 3) CR mode, CR LF is one line end.
        ++next;
      } else if (crLfOnly_) {
        // 4) Store files: a lone CR is part of the line.
        scanned = next - begin_;
        continue;
      }
      *line = std::string_view(base + begin_, lineEnd - begin_);
      consumed_ += static_cast<int64_t>(next - begin_);
      begin_ = next;
      return true;
    }
    scanned = end_ - begin_;
    if (!Fill()) {
      // 5) The file ends without a line end: the rest is the last line, if anything is left.
      if (begin_ == end_) return false;
      *line = std::string_view(buf_.data() + begin_, end_ - begin_);
      consumed_ += static_cast<int64_t>(end_ - begin_);
      begin_ = end_;
      return true;
    }
  }
}

std::string_view LineReader::Peek(size_t n) {
  while (end_ - begin_ < n && Fill()) {
  }
  return std::string_view(buf_.data() + begin_, std::min(n, end_ - begin_));
}

bool LineReader::PeekLines(std::string_view* lines, bool more) {
  if (!modeKnown_) DecideMode();
  const char ending = lfMode_ ? '\n' : '\r';
  // more: reads until a line end comes beyond the bytes in hand (or the file ends).
  for (size_t known = end_ - begin_; more && Fill(); known = end_ - begin_) {
    const size_t from = known > 0 ? known - 1 : 0;  // a CR that ended them may begin a CR LF
    if (FindByte(buf_.data() + begin_ + from, end_ - begin_ - from, ending) != nullptr) break;
  }
  for (;;) {
    const char* const base = buf_.data() + begin_;
    size_t n = end_ - begin_;
    if (atEof_) {
      *lines = std::string_view(base, n);
      return n > 0;
    }
    // In CR mode a CR that is the last byte in hand may be the first of a CR LF.
    if (!lfMode_ && n > 0 && base[n - 1] == '\r') --n;
    const char* last = FindLastByte(base, n, ending);
    if (last != nullptr) {
      const size_t whole = static_cast<size_t>(last - base) + 1;
      const bool pair = !lfMode_ && whole < n && base[whole] == '\n';  // CR LF
      *lines = std::string_view(base, pair ? whole + 1 : whole);
      return true;
    }
    Fill();  // at the end of the file, the rest is the last line
  }
}

bool LineReader::Eof() {
  // Any byte left makes a line; none left and none to come is the end.
  while (begin_ == end_) {
    if (!Fill()) return true;
  }
  return false;
}

}  // namespace tabulon
