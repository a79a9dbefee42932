// Initialisation files from any bytes: keys are written, overwritten and deleted, the file is
// flushed and read back by a second object, which sees the same lines and the values written
// (a CR in a text stored as LF); the flush leaves no temporary file behind.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/FuzzUtil.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/IniFile.h"
#include "platform/LocaleFormats.h"
#include "platform/SjisText.h"

using namespace tabulon;
using tabulon::fuzz::Input;

namespace {

std::string CrAsLf(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\r') c = '\n';
  }
  return out;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// A key the file format can hold as written: no "=", no blanks at either end (the reader trims
// them) and no "[" first (the line could read back as a section line).
bool KeyReadsBack(std::string_view key) {
  if (key.find('=') != std::string_view::npos) return false;
  if (!key.empty() && (IsBlank(key.front()) || IsBlank(key.back()) || key.front() == '['))
    return false;
  return true;
}

// Section and key names met in the file, so that the operations also hit what is there.
void CollectNames(std::string_view bytes, std::vector<std::string>* sections,
                  std::vector<std::string>* keys) {
  size_t begin = 0;
  while (begin <= bytes.size() && sections->size() + keys->size() < 64) {
    size_t end = bytes.find('\r', begin);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(begin, end - begin);
    const size_t open = line.find('[');
    const size_t close = line.rfind(']');
    if (open != std::string_view::npos && close != std::string_view::npos && close > open) {
      sections->emplace_back(line.substr(open + 1, close - open - 1));
    }
    const size_t eq = line.find('=');
    if (eq != std::string_view::npos) {
      std::string_view key = line.substr(0, eq);
      while (!key.empty() && IsBlank(key.front())) key.remove_prefix(1);
      while (!key.empty() && IsBlank(key.back())) key.remove_suffix(1);
      keys->emplace_back(key);
    }
    begin = end + 1;
    if (begin < bytes.size() && bytes[begin] == '\n') ++begin;
  }
}

std::string Pick(Input& in, const std::vector<std::string>& found, const char* const* fixed,
                 size_t fixedCount) {
  const uint32_t choice = in.Below(4);
  if (choice == 0 && !found.empty()) return found[in.Below(static_cast<uint32_t>(found.size()))];
  if (choice == 1) return fixed[in.Below(static_cast<uint32_t>(fixedCount))];
  return std::string(in.Text(12));
}

double DoubleFrom(Input& in) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits = bits << 8 | in.Byte();
  double d;
  std::memcpy(&d, &bits, sizeof d);
  if (in.Byte() & 1) d = std::fmod(d, 3000000.0);  // often a date-time of the calendar
  return d;
}

struct Expected {
  enum Kind { kText, kInteger, kFloat, kDateTime, kDeleted } kind = kText;
  std::string text;  // what ReadString gives
  int32_t integer = 0;
  double number = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  const std::string_view fileBytes = in.Text();
  const std::string dir = fuzz::FreshScratchDir();
  const std::string path = dir + "/d.Ini";
  if (!fileBytes.empty() || (in.Byte() & 1)) fuzz::WriteBytes(path, fileBytes);

  std::vector<std::string> sections, keys;
  CollectNames(fileBytes, &sections, &keys);
  static const char* const kSections[] = {"Csv", "csv", "A", "a]b", "[x", "", " A", "\x82\x60"};
  static const char* const kKeys[] = {"Min", "MIN", "0", "DateTime", "", "k\r", "\x82\x81"};

  IniFile ini(path);
  std::map<std::pair<std::string, std::string>, Expected> written;  // by folded names
  std::vector<std::pair<std::string, std::string>> touched;
  bool allKeysReadBack = true;
  for (int op = 0; op < 48 && !in.Empty(); ++op) {
    const uint32_t kind = in.Below(6);
    const std::string section = Pick(in, sections, kSections, std::size(kSections));
    const std::string key = Pick(in, keys, kKeys, std::size(kKeys));
    const auto id = std::make_pair(FoldKey(CrAsLf(section)), FoldKey(CrAsLf(key)));
    Expected e;
    switch (kind) {
      case 0: {
        const std::string value(in.Text(40));
        ini.WriteString(section, key, value);
        e.text = CrAsLf(value);
        break;
      }
      case 1: {
        int32_t v = 0;
        for (int k = 0; k < 4; ++k)
          v = static_cast<int32_t>(static_cast<uint32_t>(v) << 8 | in.Byte());
        ini.WriteInteger(section, key, v);
        e.kind = Expected::kInteger;
        e.integer = v;
        e.text = std::to_string(v);
        break;
      }
      case 2: {
        const double v = DoubleFrom(in);
        ini.WriteFloat(section, key, v);
        e.kind = Expected::kFloat;
        e.number = v;
        e.text = FormatFloat(v);
        break;
      }
      case 3: {
        const double v = DoubleFrom(in);
        ini.WriteDateTime(section, key, v);
        e.kind = Expected::kDateTime;
        e.number = v;
        e.text = FormatDateTime(v);
        break;
      }
      case 4:
        ini.DeleteKey(section, key);
        e.kind = Expected::kDeleted;
        break;
      default:
        // Reads of anything: no crash, and what the typed readers give is consistent.
        (void)ini.ReadInteger(section, key, 7);
        (void)ini.ReadFloat(section, key, 7);
        (void)ini.ReadDateTime(section, key, 7);
        Check(ini.KeyExists(section, key) == (ini.ReadString(section, key, "\x01") != "\x01" ||
                                              ini.ReadString(section, key, "\x02") != "\x02"));
        continue;
    }
    if (e.kind != Expected::kDeleted && !KeyReadsBack(key)) allKeysReadBack = false;
    written[id] = e;
    touched.emplace_back(section, key);
    // The object itself sees what was just written (a key holding "=" cannot be found again).
    if (e.kind != Expected::kDeleted && key.find('=') == std::string::npos)
      Check(ini.ReadString(section, key, "\x01") == e.text);
  }

  const std::string bytes = ini.Serialize();
  try {
    ini.Flush();
  } catch (const TabulonError&) {
    std::abort();  // the scratch folder is writable
  }
  for (const std::string& name : ListDirectory(dir)) Check(name == "d.Ini");
  if (FileExists(path)) {
    const std::string onDisk = ReadWholeFile(path);
    Check(onDisk == bytes || onDisk == fileBytes);
  }

  const IniFile back(path);
  Check(back.Serialize() == bytes);
  for (const auto& [section, key] : touched) {
    // The reader sees the lines the writer held, so both agree on every text.
    if (allKeysReadBack)
      Check(back.ReadString(section, key, "\x01") == ini.ReadString(section, key, "\x01"));
    const Expected& e = written[std::make_pair(FoldKey(CrAsLf(section)), FoldKey(CrAsLf(key)))];
    if (!allKeysReadBack || e.kind == Expected::kDeleted) continue;
    Check(back.ReadString(section, key, "\x01") == e.text);
    switch (e.kind) {
      case Expected::kInteger:
        Check(back.ReadInteger(section, key, 0) == e.integer);
        break;
      case Expected::kFloat:
        if (std::isfinite(e.number) && std::fabs(e.number) < 1.797693134862e308)
          Check(FormatFloat(back.ReadFloat(section, key, 0)) == e.text);
        break;
      case Expected::kDateTime: {
        // The text keeps no milliseconds: a time under a second after midnight reads back as
        // midnight, which is written without its time.
        const std::string again = FormatDateTime(back.ReadDateTime(section, key, 0));
        Check(again == e.text || (again.size() == 10 && e.text == again + " 0:00:00"));
      } break;
      default:
        break;
    }
  }
  return 0;
}
