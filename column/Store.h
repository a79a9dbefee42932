// Where a dataset's files lie. Every path of the store is made here.
//
// The store of sales.csv is the directory sales/ beside it (the CSV path without its extension).
// In it, for each column i (its number in decimal):
//   i.Dat  csByt: one uint8 key per row; csWor: one uint16 key per row (little-endian);
//          csLon: one value per row (int32 vtInt, int64 scaled vtCur, double vtDat) or, for vtStr,
//          one text line per row (Shift-JIS, CR LF).
//   i.Ind  csByt/csWor only: one value per distinct text in key order (int32, int64 scaled, double)
//          or, for vtStr, one text line per distinct text.
//   i.Tmp  only while the import converts or rewrites i.Dat.
//   i.Val  only while the import converts the column's texts to values.
// A key is the position of the row's cell text among the column's distinct texts, in order of
// first appearance; texts that differ only in letter case are one distinct text, spelled as first
// met. Up to 256 distinct texts take 8-bit keys, up to 2000 16-bit keys; the 2001st makes the
// column per-row (csLon), after which distinct texts are no longer counted.
//
// And the descriptor, an initialisation file named after the CSV file with the extension ".Ini"
// (sales.csv -> sales/sales.Ini), read and written by TDescriptor (column/Descriptor.h):
//
//   [Csv]
//   ColCount=<columns>
//   RowCount=<data rows>
//   0=<name of column 0>          one key per column, the column number in decimal
//   ...
//   DateTime=<last-write time of the CSV file when the store was completed>
//   [<name of column i>]          one section per column
//   Min=<smallest value>          Int: integer; Cur: float; Dat: date-time; absent for Str
//   Max=<largest value>
//   ValType=Int|Cur|Dat|Str
//   ColType=Byt|Wor|Lon
//   Count=<distinct texts>        absent for Lon
//
// DateTime is the completion mark: it is deleted when an import starts and written last, after
// every column file and section, so a store without it (or with another time) is rebuilt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tabulon {

// The CSV path without its extension (the extension of the file name only): the store directory.
std::string StoreDirOf(const std::string& csvPath);
// The file name of the CSV path with its extension, without its directory.
std::string FileNameOf(const std::string& csvPath);
// The descriptor's path.
std::string DescriptorPathOf(const std::string& csvPath);

// The files of a column in a store directory.
enum class TColumnFile { kDat, kInd, kTmp, kVal };
std::string ColumnFilePath(const std::string& storeDir, int32_t column, TColumnFile file);
// Whether a file name in a store directory is one of a column's files as ColumnFilePath names
// them ("12.Ind"; "012.Ind" is not): its column
// number and kind then go to *column and *file. Other names (the descriptor, anything a user put
// there) are not.
bool ParseColumnFileName(std::string_view name, int32_t* column, TColumnFile* file);

// From now on, for the rest of the run, messages about the files of csvPath's store name csvPath
// rather than the store's own files. Whoever opens or imports a store says so first.
void ClaimStore(const std::string& csvPath);

}  // namespace tabulon
