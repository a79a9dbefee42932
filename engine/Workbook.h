// The result table as an Excel workbook (保存 with "Excel ブック (*.xlsx)", tabulon-cli tab
// --output FILE.xlsx), written with libxlsxwriter.
#pragma once

#include <string>

#include "engine/ResultTable.h"

namespace tabulon {

// Whether path names a workbook: it ends in ".xlsx" (any letter case).
bool IsWorkbookPath(const std::string& path);

// Writes table as shown into a workbook of one sheet named sheetName (Shift-JIS; characters a
// sheet name may not hold become "_", cut to 31 characters, "Sheet1" when empty). The heading row
// and column are bold text and frozen; every other cell that is a number as the table shows it
// is a number: "1234" and "1,234" integers, "12.25" with its shown decimals as its number format,
// "12.5%" a percentage; when the table shows separators (3桁区切り) every number's format has them.
// Other texts (dates, times, "-") stay text; blank cells stay empty. Columns are fitted to their
// widest text. path is created or replaced. Throws IoError; the file at path is then left as it
// was.
void SaveWorkbook(const TResultTable& table, const std::string& path, const std::string& sheetName);

}  // namespace tabulon
