// Any bytes as a CSV file, with and without a UTF-8 byte-order mark (the input's first byte
// chooses; bytes that begin with a UTF-16 mark are read as UTF-16): the reader finds the lines the
// line reader finds in the file's own bytes, counts their bytes, passes a Shift-JIS file through
// untouched, and turns every line of a UTF-8 file into well-formed Shift-JIS with one character per
// character or ill-formed sequence of the line (invisible format characters may be dropped), whose
// "〓" beyond the line's own are exactly the ones it reports.
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzUtil.h"
#include "platform/CsvLineReader.h"
#include "platform/LineReader.h"
#include "platform/SjisText.h"

using namespace tabulon;

namespace {

struct Counts {
  size_t chars = 0;      // characters, and ill-formed sequences counted one each
  size_t geta = 0;       // "〓" among them
  size_t invisible = 0;  // default-ignorable characters among them, which may be dropped
};

// Counts a UTF-8 line independently of the conversion.
Counts CountUtf8(std::string_view line) {
  Counts counts;
  const auto* s = reinterpret_cast<const uint8_t*>(line.data());
  const int32_t length = static_cast<int32_t>(line.size());
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT(s, i, length, c);
    ++counts.chars;
    if (c == 0x3013) ++counts.geta;
    if (c >= 0 && u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT)) ++counts.invisible;
  }
  return counts;
}

// Counts well-formed Shift-JIS as the code page writes it; aborts on anything else.
Counts CountSjis(std::string_view line) {
  Counts counts;
  for (size_t i = 0; i < line.size(); ++i, ++counts.chars) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (!IsLeadByte(c)) {
      Check(c != 0x80 && c != 0xA0 && c < 0xFD);
      continue;
    }
    Check(i + 1 < line.size());
    const unsigned char t = static_cast<unsigned char>(line[++i]);
    Check(t >= 0x40 && t <= 0xFC && t != 0x7F);
    if (c == 0x81 && t == 0xAC) ++counts.geta;
  }
  return counts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const bool mark = in.Byte() & 1;
  const std::string bytes = (mark ? "\xEF\xBB\xBF" : "") + std::string(in.Rest());
  const std::string path = fuzz::FreshScratchDir() + "/f.csv";
  fuzz::WriteBytes(path, bytes);

  std::vector<std::string> raw;
  {
    // A file that begins with a UTF-16 mark is read as the Shift-JIS form of its text.
    LineReader lines(path, LineEnds::kAuto, ReadAhead::kBlocks, FileText::kBytesOrUtf16);
    std::string_view line;
    while (lines.ReadLine(&line)) raw.emplace_back(line);
  }

  CsvLineReader reader(path);
  const TextSniff& sniff = reader.Sniff();
  Check(!mark || (sniff.encoding == TextEncoding::kUtf8 && sniff.markBytes == 3));
  std::string_view line;
  size_t fileBytes = 0;
  size_t n = 0;
  int64_t replaced = 0;
  while (reader.ReadLine(&line, &fileBytes)) {
    Check(n < raw.size());
    std::string_view own = raw[n];
    if (sniff.encoding == TextEncoding::kUtf16) {
      // Converted as it was read: the same lines, well-formed Shift-JIS.
      Check(fileBytes == 2 * own.size() && line == own);
      CountSjis(line);
      ++n;
      continue;
    }
    Check(fileBytes == own.size());
    if (n == 0) own.remove_prefix(sniff.markBytes);
    ++n;
    if (sniff.encoding == TextEncoding::kShiftJis) {
      Check(line == own);
      continue;
    }
    const Counts utf8 = CountUtf8(own);
    const Counts sjis = CountSjis(line);
    Check(sjis.chars <= utf8.chars && sjis.chars + utf8.invisible >= utf8.chars);
    Check(reader.Replaced() - replaced == static_cast<int64_t>(sjis.geta - utf8.geta));
    replaced = reader.Replaced();
  }
  Check(n == raw.size());
  Check(sniff.encoding != TextEncoding::kShiftJis || reader.Replaced() == 0);
  return 0;
}
