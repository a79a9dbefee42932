#include "engine/Workbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <string_view>
#include <vector>

#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/Messages.h"
#include "platform/SjisText.h"

namespace tabulon {
namespace {

// A cell text read as the number it shows.
struct TShownNumber {
  double value = 0;
  int decimals = 0;         // digits after the decimal point
  bool separators = false;  // written with thousands separators
  bool percent = false;     // a share: value is the fraction (12.5% is 0.125)
};

// "-1,234.5", "1234", "12.5%": an optional "-", digits (grouped by threes with "," or not), an
// optional "." with digits, an optional "%" at the end.
bool ParseShownNumber(std::string_view text, TShownNumber* number) {
  TShownNumber n;
  std::string plain;
  size_t p = 0;
  if (p < text.size() && text[p] == '-') plain += text[p++];
  const size_t first = p;
  size_t group = 0;  // digits since the last separator
  bool grouped = false;
  while (p < text.size() && ((text[p] >= '0' && text[p] <= '9') || text[p] == ',')) {
    if (text[p] == ',') {
      // A separator follows one to three digits at first, exactly three after another.
      if (p == first || (grouped ? group != 3 : group > 3)) return false;
      grouped = true;
      group = 0;
    } else {
      plain += text[p];
      ++group;
    }
    ++p;
  }
  if (p == first || (grouped && group != 3)) return false;
  if (p < text.size() && text[p] == '.') {
    plain += text[p++];
    const size_t fraction = p;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9') plain += text[p++];
    n.decimals = static_cast<int>(p - fraction);
    if (n.decimals == 0) return false;
  }
  if (p < text.size() && text[p] == '%') {
    n.percent = true;
    ++p;
  }
  if (p != text.size()) return false;
  char* end = nullptr;
  n.value = std::strtod(plain.c_str(), &end);
  if (end == plain.c_str() || *end != '\0') return false;
  if (n.percent) n.value /= 100;
  n.separators = grouped;
  *number = n;
  return true;
}

bool IsBlankText(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char ch) { return static_cast<unsigned char>(ch) <= ' '; });
}

// A sheet name Excel takes: no []:*?/\, at most 31 characters, not empty.
std::string SheetName(const std::string& sjisName) {
  const std::string utf8 = SjisToUtf8(sjisName);
  std::string name;
  int count = 0;
  for (size_t i = 0; i < utf8.size() && count < 31;) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    const size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    std::string ch = utf8.substr(i, len);
    if (ch.size() == 1 && std::string_view("[]:*?/\\").find(ch[0]) != std::string_view::npos)
      ch = "_";
    name += ch;
    ++count;
    i += len;
  }
  // A name may not begin or end with an apostrophe.
  if (!name.empty() && name.front() == '\'') name.front() = '_';
  if (!name.empty() && name.back() == '\'') name.back() = '_';
  return name.empty() ? std::string("Sheet1") : name;
}

std::string NumberFormat(const TShownNumber& n) {
  std::string format = n.separators ? "#,##0" : "0";
  if (n.decimals > 0) format += "." + std::string(static_cast<size_t>(n.decimals), '0');
  if (n.percent) format += "%";
  return format;
}

class Workbook {
 public:
  // Rows are written in order and each leaves memory once written, so a record list of a
  // million rows costs no more memory than a small table.
  explicit Workbook(const std::string& path) {
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    book_ = workbook_new_opt(path.c_str(), &options);
  }
  ~Workbook() {
    if (book_ != nullptr) workbook_close(book_);  // only after a failure: the file is dropped
  }
  Workbook(const Workbook&) = delete;
  Workbook& operator=(const Workbook&) = delete;

  lxw_workbook* get() { return book_; }
  // Closes the workbook, which writes the file.
  lxw_error Close() {
    const lxw_error error = workbook_close(book_);
    book_ = nullptr;
    return error;
  }
  lxw_format* Format(const std::string& numberFormat, bool bold) {
    const std::string key = numberFormat + (bold ? "|b" : "|");
    auto it = formats_.find(key);
    if (it != formats_.end()) return it->second;
    lxw_format* format = workbook_add_format(book_);
    if (!numberFormat.empty()) format_set_num_format(format, numberFormat.c_str());
    if (bold) format_set_bold(format);
    formats_[key] = format;
    return format;
  }

 private:
  lxw_workbook* book_ = nullptr;
  std::map<std::string, lxw_format*> formats_;
};

[[noreturn]] void Fail(const std::string& path, const char* what) {
  throw IoError(path, TFileAction::kWrite, Utf8ToSjis(what));
}

// Whether the table shows separators (3桁区切り): its numbers then have them in their format,
// also those below 1,000.
bool ShowsSeparators(const TResultTable& table) {
  for (int r = 1; r < table.RowCount(); ++r) {
    for (int c = 1; c < table.ColCount(); ++c) {
      TShownNumber number;
      if (ParseShownNumber(table.Cell(c, r), &number) && number.separators) return true;
    }
  }
  return false;
}

// Writes the table's cells, numbers as numbers in the format they show, and returns each
// column's width in Shift-JIS bytes (a double-byte character takes two columns).
std::vector<size_t> WriteCells(const TResultTable& table, Workbook& book, lxw_worksheet* sheet,
                               lxw_format* heading, const std::string& path) {
  const int cols = table.ColCount(), rows = table.RowCount();
  std::vector<size_t> widths(static_cast<size_t>(std::max(cols, 0)), 0);
  const bool separators = ShowsSeparators(table);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const std::string text = table.Cell(c, r);
      if (IsBlankText(text)) continue;
      widths[static_cast<size_t>(c)] = std::max(widths[static_cast<size_t>(c)], text.size());
      const auto row = static_cast<lxw_row_t>(r);
      const auto col = static_cast<lxw_col_t>(c);
      const bool isHeading = r == 0 || c == 0;
      TShownNumber number;
      lxw_error error;
      if (!isHeading && ParseShownNumber(text, &number)) {
        number.separators = number.separators || (separators && !number.percent);
        error = worksheet_write_number(sheet, row, col, number.value,
                                       book.Format(NumberFormat(number), false));
      } else {
        error = worksheet_write_string(sheet, row, col, SjisToUtf8(text).c_str(),
                                       isHeading ? heading : nullptr);
      }
      if (error != LXW_NO_ERROR) Fail(path, lxw_strerror(error));
    }
  }
  return widths;
}

// Each column as wide as its widest text and a margin, at most 100; the heading column in the
// heading's format.
void SetColumnWidths(lxw_worksheet* sheet, const std::vector<size_t>& widths, lxw_format* heading) {
  for (size_t c = 0; c < widths.size(); ++c) {
    const double width = std::min<double>(static_cast<double>(widths[c]) + 2, 100);
    worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), width,
                         c == 0 ? heading : nullptr);
  }
}

}  // namespace

bool IsWorkbookPath(const std::string& path) {
  if (path.size() < 5) return false;
  std::string ext = path.substr(path.size() - 5);
  for (char& ch : ext) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
  return ext == ".xlsx";
}

void SaveWorkbook(const TResultTable& table, const std::string& path,
                  const std::string& sheetName) {
  // Written beside the file and renamed over it, so that a failed save leaves the old file whole.
  const std::string temporary = path + ".tmp~";
  try {
    Workbook book(temporary);
    if (book.get() == nullptr) throw IoError(path, TFileAction::kCreate, errno);
    const std::string name = SheetName(sheetName);
    lxw_worksheet* sheet = workbook_add_worksheet(book.get(), name.c_str());
    if (sheet == nullptr) sheet = workbook_add_worksheet(book.get(), nullptr);
    if (sheet == nullptr) Fail(path, "no worksheet");
    lxw_format* heading = book.Format("", true);
    worksheet_set_row(sheet, 0, LXW_DEF_ROW_HEIGHT, heading);
    SetColumnWidths(sheet, WriteCells(table, book, sheet, heading, path), heading);
    worksheet_freeze_panes(sheet, 1, 1);
    const lxw_error error = book.Close();
    if (error != LXW_NO_ERROR) Fail(path, lxw_strerror(error));
    RenameFile(temporary, path);
  } catch (...) {
    // The workbook is closed by now (so that libxlsxwriter frees it): its file goes.
    try {
      DeleteFileIfExists(temporary);
    } catch (...) {
    }
    throw;
  }
}

}  // namespace tabulon
