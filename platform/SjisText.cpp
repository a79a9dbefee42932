#include "platform/SjisText.h"

#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucol.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace tabulon {

namespace {

// ICU's name for Microsoft's code page 932 (NEC and IBM extensions, 0x5C and 0x7E as ASCII).
constexpr const char* kCodePage = "windows-31j";

[[noreturn]] void IcuFailure(const char* what, UErrorCode err) {
  throw std::runtime_error(std::string("ICU: ") + what + ": " + u_errorName(err));
}

// Every byte sequence that does not decode becomes one U+FFFD (ICU's default would give U+001A
// for unassigned codes).
void ToUnicodeReplacement(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                          UConverterCallbackReason reason, UErrorCode* err) {
  if (reason > UCNV_IRREGULAR) return;  // reset, close or clone: nothing to substitute
  *err = U_ZERO_ERROR;
  static const UChar kReplacement = 0xFFFD;
  ucnv_cbToUWriteUChars(args, &kReplacement, 1, 0, err);
}

UConverter* OpenCodePage() {
  UErrorCode err = U_ZERO_ERROR;
  UConverter* conv = ucnv_open(kCodePage, &err);
  if (U_FAILURE(err)) IcuFailure("cannot open converter", err);
  return conv;
}

// The converter used for whole texts: U+FFFD for bad bytes, "?" for unmappable characters. A
// converter serves one thread at a time: hold TextConverterLock() while using it (the import's
// column threads meet it through error messages and Sjis).
std::mutex& TextConverterLock() {
  static std::mutex lock;
  return lock;
}

UConverter* TextConverter() {
  static UConverter* conv = [] {
    UConverter* c = OpenCodePage();
    UErrorCode err = U_ZERO_ERROR;
    ucnv_setToUCallBack(c, ToUnicodeReplacement, nullptr, nullptr, nullptr, &err);
    ucnv_setSubstChars(c, "?", 1, &err);
    if (U_FAILURE(err)) IcuFailure("cannot set up converter", err);
    return c;
  }();
  return conv;
}

// The Shift-JIS code of every BMP code point, as the code page's converter with its fallback
// mappings gives it (U+301C as "～", U+00A5 as 0x5C): below 0x100 a single byte, else lead << 8
// | trail, 0 for none, kIgnored for the invisible characters the converter drops (U+00AD SOFT
// HYPHEN, U+200B ZERO WIDTH SPACE, U+FEFF). Built once, on the first UTF-8 file; a table walk
// converts a file's text several times faster than the converter does line by line.
constexpr uint16_t kIgnored = 0xFFFF;  // no Shift-JIS code: trail bytes end at 0xFC

const std::vector<uint16_t>& BmpToSjis() {
  static const std::vector<uint16_t> table = [] {
    std::vector<uint16_t> t(0x10000, 0);
    UConverter* conv = OpenCodePage();
    UErrorCode err = U_ZERO_ERROR;
    ucnv_setFallback(conv, true);
    ucnv_setFromUCallBack(conv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
    if (U_FAILURE(err)) IcuFailure("cannot set up converter", err);
    // ASCII stays itself (the converter would swap some control codes, as IBM's table does).
    for (UChar32 cp = 0; cp < 0x80; ++cp) t[static_cast<size_t>(cp)] = static_cast<uint16_t>(cp);
    for (UChar32 cp = 0x80; cp < 0x10000; ++cp) {
      if (U_IS_SURROGATE(cp)) continue;
      const UChar unit = static_cast<UChar>(cp);
      char bytes[4];
      err = U_ZERO_ERROR;
      ucnv_resetFromUnicode(conv);
      const int32_t n = ucnv_fromUChars(conv, bytes, 4, &unit, 1, &err);
      if (U_FAILURE(err) || n > 2) continue;
      if (n == 0) {
        t[static_cast<size_t>(cp)] = kIgnored;
        continue;
      }
      const auto byte = [&](int i) {
        return static_cast<uint16_t>(static_cast<unsigned char>(bytes[i]));
      };
      t[static_cast<size_t>(cp)] = n == 1 ? byte(0) : static_cast<uint16_t>(byte(0) << 8 | byte(1));
    }
    ucnv_close(conv);
    return t;
  }();
  return table;
}

// UTF-16 of Shift-JIS bytes, into *out (reused to avoid allocation).
void ToUtf16(std::string_view sjis, std::vector<UChar>* out) {
  const std::lock_guard<std::mutex> hold(TextConverterLock());
  UConverter* conv = TextConverter();
  ucnv_resetToUnicode(conv);
  out->resize(sjis.size() + 1);  // one unit per byte at most
  UErrorCode err = U_ZERO_ERROR;
  int32_t n = ucnv_toUChars(conv, out->data(), static_cast<int32_t>(out->size()), sjis.data(),
                            static_cast<int32_t>(sjis.size()), &err);
  if (U_FAILURE(err)) IcuFailure("cannot decode Shift-JIS", err);
  out->resize(static_cast<size_t>(n));
}

// ---- Case folding tables

// A folded code: >= 0x100 a two-byte code (lead << 8 | trail), below it a single byte.
using FoldCode = uint16_t;

// The two-byte codes are folded a lead byte's row at a time, when a text first holds that lead
// byte: folding all 11,000 codes through the converter took 1.5 ms of every run, while most
// texts hold a few rows of kana and kanji or none. The import's column threads fold at once: a
// row is folded under a lock and published through its flag.
struct FoldTables {
  uint8_t leadRow[256];         // for a lead byte, its row in pairs (1-based); 0 otherwise
  FoldCode single[256];         // folded form of each single byte
  std::vector<FoldCode> pairs;  // row * 256 + trail; row 0 unused
  // Per row: pairs holds the row's folded codes (set once they are all written).
  std::unique_ptr<std::atomic<bool>[]> folded;

  FoldTables();
  FoldTables(const FoldTables&) = delete;
  FoldTables& operator=(const FoldTables&) = delete;
  // The folded code of lead byte `lead` (row `row` of it) and trail byte `trail`.
  FoldCode Pair(unsigned row, unsigned char lead, unsigned char trail) {
    if (!folded[row].load(std::memory_order_acquire)) FoldRow(row, lead);
    return pairs[row * 256 + trail];
  }

 private:
  void FoldRow(unsigned row, unsigned char lead);
  UConverter* conv_ = nullptr;  // kept open for the rows folded later, as TextConverter's is
  std::mutex foldLock_;         // held while a row is folded (and conv_ used)
};

// The canonical Shift-JIS code of the simple case folding of the character coded by bytes, or
// code itself when the bytes are no character or the folded character has no Shift-JIS form.
FoldCode FoldOneCode(UConverter* conv, const char* bytes, int32_t length, FoldCode code) {
  UErrorCode err = U_ZERO_ERROR;
  UChar units[4];
  ucnv_resetToUnicode(conv);
  int32_t n = ucnv_toUChars(conv, units, 4, bytes, length, &err);
  if (U_FAILURE(err) || n == 0) return code;
  UChar32 cp;
  int32_t i = 0;
  U16_NEXT(units, i, n, cp);
  if (i != n) return code;  // more than one character: not a single code

  UChar32 candidates[2] = {u_foldCase(cp, U_FOLD_CASE_DEFAULT), cp};
  for (UChar32 c : candidates) {
    UChar back[2];
    int32_t backLength = 0;
    U16_APPEND_UNSAFE(back, backLength, c);
    char out[4];
    err = U_ZERO_ERROR;
    ucnv_resetFromUnicode(conv);
    int32_t m = ucnv_fromUChars(conv, out, 4, back, backLength, &err);
    if (U_FAILURE(err) || m < 1 || m > 2) continue;
    // A single byte never grows to two, so AppendFoldKey can size its output by the input.
    if (m == 2 && length == 1) continue;
    if (m == 1) return static_cast<unsigned char>(out[0]);
    return static_cast<FoldCode>(static_cast<unsigned char>(out[0]) << 8 |
                                 static_cast<unsigned char>(out[1]));
  }
  return code;
}

FoldTables::FoldTables() {
  conv_ = OpenCodePage();
  UErrorCode err = U_ZERO_ERROR;
  ucnv_setToUCallBack(conv_, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
  ucnv_setFromUCallBack(conv_, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
  if (U_FAILURE(err)) IcuFailure("cannot set up converter", err);

  uint8_t rows = 0;
  for (int c = 0; c < 256; ++c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    leadRow[c] = IsLeadByte(byte) ? ++rows : 0;
    if (c < 0x80) {
      single[c] = (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    } else if (IsLeadByte(byte)) {
      single[c] = c;  // not used: a lead byte is always read with the byte after it
    } else {
      const char b = static_cast<char>(c);
      single[c] = FoldOneCode(conv_, &b, 1, static_cast<FoldCode>(c));
    }
  }
  pairs.resize((rows + 1) * 256);
  folded = std::make_unique<std::atomic<bool>[]>(rows + 1);
  for (unsigned row = 0; row <= rows; ++row) folded[row].store(false);
}

void FoldTables::FoldRow(unsigned row, unsigned char lead) {
  const std::lock_guard<std::mutex> hold(foldLock_);
  if (folded[row].load(std::memory_order_relaxed)) return;  // another thread folded it meanwhile
  FoldCode* codes = &pairs[row * 256];
  for (int trail = 0; trail < 256; ++trail) {
    const FoldCode code = static_cast<FoldCode>(lead << 8 | trail);
    codes[trail] = code;
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) continue;
    const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    codes[trail] = FoldOneCode(conv_, bytes, 2, code);
  }
  folded[row].store(true, std::memory_order_release);
}

FoldTables& Tables() {
  static FoldTables tables;
  return tables;
}

inline uint64_t Load64(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return w;
}

constexpr uint64_t kHighBits = 0x8080808080808080ull;

// Folds text into out, which has room for text.size() bytes; returns the bytes written.
size_t FoldInto(std::string_view text, char* out) {
  FoldTables& t = Tables();
  const char* p = text.data();
  const char* const end = p + text.size();
  char* o = out;
  while (p < end) {
    // 1) Eight ASCII bytes at once: set bit 5 of every byte in 'A'..'Z'.
    if (end - p >= 8) {
      uint64_t w = Load64(p);
      if ((w & kHighBits) == 0) {
        const uint64_t atLeastA = w + 0x3F3F3F3F3F3F3F3Full;  // high bit set when >= 'A'
        const uint64_t aboveZ = w + 0x2525252525252525ull;    // high bit set when > 'Z'
        w |= ((atLeastA & ~aboveZ) & kHighBits) >> 2;
        std::memcpy(o, &w, 8);
        p += 8;
        o += 8;
        continue;
      }
    }
    const unsigned char c = static_cast<unsigned char>(*p);
    const unsigned row = t.leadRow[c];
    FoldCode code;
    if (row == 0) {
      // 2) A single byte.
      code = t.single[c];
      ++p;
    } else if (p + 1 < end) {
      // 3) A lead byte and the byte after it, folded as one unit.
      code = t.Pair(row, c, static_cast<unsigned char>(p[1]));
      p += 2;
      if (code >= 0x100) {
        *o++ = static_cast<char>(code >> 8);
      }
    } else {
      // 4) A lead byte at the very end stays as it is.
      code = c;
      ++p;
    }
    *o++ = static_cast<char>(code & 0xFF);
  }
  return static_cast<size_t>(o - out);
}

// Reused buffers for the comparisons, one pair per thread.
std::string& Scratch(int i) {
  thread_local std::string buffers[2];
  return buffers[i];
}

}  // namespace

bool IsAscii(std::string_view text) {
  const char* p = text.data();
  size_t n = text.size();
  for (; n >= 8; p += 8, n -= 8) {
    if (Load64(p) & kHighBits) return false;
  }
  for (; n > 0; ++p, --n) {
    if (static_cast<unsigned char>(*p) >= 0x80) return false;
  }
  return true;
}

std::string SjisToUtf8(std::string_view sjis) {
  if (IsAscii(sjis)) return std::string(sjis);
  thread_local std::vector<UChar> utf16;
  ToUtf16(sjis, &utf16);
  std::string out(utf16.size() * 3, '\0');
  UErrorCode err = U_ZERO_ERROR;
  int32_t n = 0;
  u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &n, utf16.data(),
              static_cast<int32_t>(utf16.size()), &err);
  if (U_FAILURE(err)) IcuFailure("cannot encode UTF-8", err);
  out.resize(static_cast<size_t>(n));
  return out;
}

std::string Utf8ToSjis(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  thread_local std::vector<UChar> utf16;
  utf16.resize(utf8.size() + 1);
  UErrorCode err = U_ZERO_ERROR;
  int32_t units = 0;
  u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()), &units, utf8.data(),
                       static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &err);
  if (U_FAILURE(err)) IcuFailure("cannot decode UTF-8", err);
  const std::lock_guard<std::mutex> hold(TextConverterLock());
  UConverter* conv = TextConverter();
  ucnv_resetFromUnicode(conv);
  std::string out(static_cast<size_t>(units) * 2 + 1, '\0');
  err = U_ZERO_ERROR;
  int32_t n = ucnv_fromUChars(conv, out.data(), static_cast<int32_t>(out.size()), utf16.data(),
                              units, &err);
  if (U_FAILURE(err)) IcuFailure("cannot encode Shift-JIS", err);
  out.resize(static_cast<size_t>(n));
  return out;
}

size_t AppendUtf8AsSjis(std::string_view utf8, std::string* out) {
  if (IsAscii(utf8)) {
    out->append(utf8);
    return 0;
  }
  const std::vector<uint16_t>& table = BmpToSjis();
  const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
  const int32_t length = static_cast<int32_t>(utf8.size());
  size_t replaced = 0;
  for (int32_t i = 0; i < length;) {
    if (s[i] < 0x80) {
      out->push_back(static_cast<char>(s[i++]));
      continue;
    }
    UChar32 cp;
    U8_NEXT(s, i, length, cp);
    // An ill-formed sequence (cp < 0), a character beyond the BMP or one without a code.
    const uint16_t code = cp >= 0 && cp < 0x10000 ? table[static_cast<size_t>(cp)] : 0;
    if (code == kIgnored) continue;
    if (code == 0) {
      out->append("\x81\xAC");  // 〓
      ++replaced;
    } else if (code < 0x100) {
      out->push_back(static_cast<char>(code));
    } else {
      out->push_back(static_cast<char>(code >> 8));
      out->push_back(static_cast<char>(code & 0xFF));
    }
  }
  return replaced;
}

size_t AppendUtf16AsSjis(std::string_view bytes, bool bigEndian, bool final, std::string* out,
                         size_t* used) {
  const std::vector<uint16_t>& table = BmpToSjis();
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t n = bytes.size();
  const auto unitAt = [&](size_t i) {
    return static_cast<uint16_t>(bigEndian ? (b[i] << 8) | b[i + 1] : (b[i + 1] << 8) | b[i]);
  };
  size_t replaced = 0;
  const auto replace = [&] {
    out->append("\x81\xAC");  // 〓
    ++replaced;
  };
  size_t i = 0;
  while (i + 2 <= n) {
    const uint16_t unit = unitAt(i);
    if (unit < 0x80) {
      out->push_back(static_cast<char>(unit));
      i += 2;
      continue;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      // A high surrogate: with its low one a character beyond the BMP, which has no code.
      if (i + 4 > n && !final) break;
      const bool paired = i + 4 <= n && unitAt(i + 2) >= 0xDC00 && unitAt(i + 2) <= 0xDFFF;
      i += paired ? 4 : 2;
      replace();
      continue;
    }
    i += 2;
    const uint16_t code = unit >= 0xDC00 && unit <= 0xDFFF ? 0 : table[unit];
    if (code == kIgnored) continue;
    if (code == 0) {
      replace();
    } else if (code < 0x100) {
      out->push_back(static_cast<char>(code));
    } else {
      out->push_back(static_cast<char>(code >> 8));
      out->push_back(static_cast<char>(code & 0xFF));
    }
  }
  if (final && i < n) {
    replace();  // an odd last byte
    i = n;
  }
  *used = i;
  return replaced;
}

const std::string& Sjis(const char* utf8Literal) {
  static std::unordered_map<const char*, std::string> cache;  // element addresses are stable
  static std::mutex lock;
  const std::lock_guard<std::mutex> hold(lock);
  auto it = cache.find(utf8Literal);
  if (it == cache.end()) it = cache.emplace(utf8Literal, Utf8ToSjis(utf8Literal)).first;
  return it->second;
}

std::string FoldKey(std::string_view text) {
  std::string key;
  AppendFoldKey(text, &key);
  return key;
}

void AppendFoldKey(std::string_view text, std::string* out) {
  const size_t old = out->size();
  out->resize(old + text.size());  // folding never makes a text longer
  const size_t n = FoldInto(text, out->data() + old);
  out->resize(old + n);
}

bool SameText(std::string_view a, std::string_view b) {
  if (a == b) return true;
  std::string& ka = Scratch(0);
  std::string& kb = Scratch(1);
  ka.clear();
  kb.clear();
  AppendFoldKey(a, &ka);
  AppendFoldKey(b, &kb);
  return ka == kb;
}

namespace {

// The Japanese collation of CompareText, opened once.
UCollator* Collator() {
  static UCollator* collator = [] {
    UErrorCode err = U_ZERO_ERROR;
    UCollator* c = ucol_open("ja", &err);
    if (U_FAILURE(err)) IcuFailure("cannot open collator", err);
    ucol_setStrength(c, UCOL_TERTIARY);
    return c;
  }();
  return collator;
}

}  // namespace

int CompareText(std::string_view a, std::string_view b) {
  UCollator* const collator = Collator();
  const std::string ka = FoldKey(a);
  const std::string kb = FoldKey(b);
  if (ka == kb) return 0;
  thread_local std::vector<UChar> ua, ub;
  ToUtf16(ka, &ua);
  ToUtf16(kb, &ub);
  const UCollationResult r = ucol_strcoll(collator, ua.data(), static_cast<int32_t>(ua.size()),
                                          ub.data(), static_cast<int32_t>(ub.size()));
  if (r != UCOL_EQUAL) return r == UCOL_LESS ? -1 : 1;
  return std::string_view(ka).compare(kb) < 0 ? -1 : 1;
}

std::string CompareKey(std::string_view text) {
  // ICU's sort key orders as ucol_strcoll does; it ends with its only 0 byte, so no key is the
  // start of another and the folded text after it decides only between equal sort keys, as in
  // CompareText.
  const std::string folded = FoldKey(text);
  std::vector<UChar> utf16;
  ToUtf16(folded, &utf16);
  std::string key(folded.size() * 4 + 16, '\0');
  for (;;) {
    static const UChar kNothing[1] = {0};
    const int32_t n = ucol_getSortKey(
        Collator(), utf16.empty() ? kNothing : utf16.data(), static_cast<int32_t>(utf16.size()),
        reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
    if (n <= 0) IcuFailure("cannot make a sort key", U_INTERNAL_PROGRAM_ERROR);
    if (static_cast<size_t>(n) <= key.size()) {
      key.resize(static_cast<size_t>(n));  // the terminating 0 included
      break;
    }
    key.resize(static_cast<size_t>(n));
  }
  key += folded;
  return key;
}

}  // namespace tabulon
