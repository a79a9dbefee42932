#include "column/TColRowTexts.h"

#include <atomic>
#include <bit>
#include <cstring>

#include "column/TCol.h"
#include "platform/Bytes.h"
#include "platform/Errors.h"

namespace tabulon {

namespace {

// The line of a store text file that begins at offset `from` of bytes: up to the CR LF that ends
// it (a lone CR or LF belongs to the line) or the end of the bytes. *next := where the following
// line begins. REQUIRES: from < bytes.size().
std::string_view LineAt(std::string_view bytes, size_t from, size_t* next) {
  size_t at = from;
  // A short line (a code, mostly) ends within the next sixteen bytes: found there without a call.
  if (kFastMask16 && from + 16 <= bytes.size()) {
    const uint32_t lfs = EqualMask16(bytes.data() + from, '\n');
    if (lfs != 0) {
      at = from + static_cast<size_t>(std::countr_zero(lfs));
      if (at > from && bytes[at - 1] == '\r') {
        *next = at + 1;
        return bytes.substr(from, at - 1 - from);
      }
      at = from;  // a lone LF first: the general search below
    }
  }
  for (;;) {
    const char* hit = FindByte(bytes.data() + at, bytes.size() - at, '\n');
    if (hit == nullptr) {
      *next = bytes.size();
      return bytes.substr(from);
    }
    at = static_cast<size_t>(hit - bytes.data());
    if (at > from && bytes[at - 1] == '\r') {
      *next = at + 1;
      return bytes.substr(from, at - 1 - from);
    }
    ++at;
  }
}

// Where needle (not empty) first occurs in bytes at or after from, or npos. Sixteen starts at a
// time are tested for the needle's first, middle and last byte, and only the starts with all
// three are compared whole: in a column of codes most bytes may equal a digit pattern's first
// byte, but few triples at the needle's places do, so this runs several times faster than
// FindBytes there.
size_t FindBytes(std::string_view bytes, size_t from, std::string_view needle) {
  const char* const p = bytes.data();
  const size_t n = needle.size();
  size_t at = from;
  if (kFastMask16 && n >= 2) {
    // The needle's first, middle and last byte: for a needle of three, the whole of it.
    const size_t mid = n / 2;
    for (; at + n + 15 <= bytes.size(); at += 16) {
      uint32_t mask = EqualMask16(p + at, needle[0]) & EqualMask16(p + at + mid, needle[mid]) &
                      EqualMask16(p + at + n - 1, needle[n - 1]);
      for (; mask != 0; mask &= mask - 1) {
        const size_t start = at + static_cast<size_t>(std::countr_zero(mask));
        if (std::memcmp(p + start + 1, needle.data() + 1, n - 2) == 0) return start;
      }
    }
  }
  // The rest, and every start without the block test.
  const char* hit = tabulon::FindBytes(p + at, bytes.size() - at, needle.data(), n);
  return hit == nullptr ? std::string_view::npos : static_cast<size_t>(hit - p);
}

// Where the line that holds offset `at` begins, when a line begins at `from` <= at.
size_t LineStartOf(std::string_view bytes, size_t from, size_t at) {
  while (at > from) {
    const char* hit = FindLastByte(bytes.data() + from, at - from, '\n');
    if (hit == nullptr) return from;
    const size_t lf = static_cast<size_t>(hit - bytes.data());
    if (lf > from && bytes[lf - 1] == '\r') return lf + 1;
    at = lf;
  }
  return from;
}

}  // namespace

void TColRowTexts::Clear() {
  bytes_.Clear();
  version_ = 0;
  datStamp_ = FileStamp();
}

void TColRowTexts::Refresh() {
  // The number of the last read of any column's text.
  static std::atomic<uint64_t> lastVersion{0};
  const std::string path = column_.DatPath();
  const FileStamp stamp = StampOf(path);
  if (stamp.size >= 0 && stamp == datStamp_) return;
  datStamp_ = FileStamp();
  version_ = 0;
  bytes_.Read(path);
  datStamp_ = stamp;
  version_ = ++lastVersion;
}

uint64_t TColRowTexts::Version() {
  Refresh();
  return version_;
}

void TColRowTexts::ThrowTooShort() const {
  throw IoError(column_.DatPath(), TFileAction::kRead, TooShortReason());
}

void TColRowTexts::ReadLine(int32_t row, std::string* text) {
  // Rows come in increasing order; a row asked again keeps its text, and an earlier row (outside
  // a walk's contract) starts the file over rather than give another row's text.
  if (nextLine_ > 0 && row == nextLine_ - 1) return;
  if (nextLine_ == 0 || row < nextLine_) {
    Refresh();
    nextLine_ = 0;
    nextOffset_ = 0;
  }
  std::string_view line;
  while (nextLine_ <= row) {
    if (nextOffset_ >= bytes_.Size()) ThrowTooShort();
    line = LineAt(bytes_.View(), nextOffset_, &nextOffset_);
    ++nextLine_;
  }
  text->assign(line);
}

std::string_view TColRowTexts::NextLine() {
  const std::string_view all = bytes_.View();
  if (nextOffset_ >= all.size()) ThrowTooShort();
  ++nextLine_;
  return LineAt(all, nextOffset_, &nextOffset_);
}

void TColRowTexts::VisitContaining(std::string_view bytes,
                                   const std::function<bool(std::string_view)>& visit) {
  Refresh();
  nextLine_ = 0;  // a walk reading rows starts over
  const std::string_view all = bytes_.View();
  size_t from = 0;  // a line begins here
  while (from < all.size()) {
    size_t next;
    if (bytes.empty()) {
      if (!visit(LineAt(all, from, &next))) return;
      from = next;
      continue;
    }
    const size_t hit = FindBytes(all, from, bytes);
    if (hit == std::string_view::npos) return;
    // The line the hit begins in; a hit across a line end is offered too and fails the visit's
    // own test.
    const size_t start = LineStartOf(all, from, hit);
    if (!visit(LineAt(all, start, &next))) return;
    from = next;
  }
}

}  // namespace tabulon
