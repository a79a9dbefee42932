// The facade: a column's state and the operations that hand each job to its part (the writer,
// the files, the selection test, the per-row texts).
#include "column/TCol.h"

#include "column/TColFiles.h"
#include "column/TColWriter.h"

namespace tabulon {

TCol::TCol() = default;

TCol::~TCol() {
  Abandon();
}

std::string TCol::DatPath() const {
  return ColumnFilePath(FDir, FIndex, TColumnFile::kDat);
}
std::string TCol::IndPath() const {
  return ColumnFilePath(FDir, FIndex, TColumnFile::kInd);
}
std::string TCol::TmpPath() const {
  return ColumnFilePath(FDir, FIndex, TColumnFile::kTmp);
}

void TCol::ResetState(const std::string& dir, const std::string& name, int32_t rows) {
  FRows = rows;
  FWeekdayFilter = kWeekdaysAll;
  FLoaded = false;
  FStorage = csByt;
  FValueType = vtInt;
  FRole = kRoleNone;
  FValues.clear();
  FSelected.clear();
  FDir = dir;
  FName = name;
  TColWriter::ResetExtremes(*this);
  FByteKeys.clear();
  FWordKeys.clear();
  FIntValues.clear();
  FCurValues.clear();
  FDateValues.clear();
  FFiltered = false;
  FDateUnit = kDateUnitYear;
  FDivisions = 0;
  FLower = FUpper = 0;
  FTimeLower = 0;
  FTimeUpper = kLastMsOfDay;
  timesSought_ = timesBetween_ = false;
  FPattern.clear();
  FCount = 0;
  FKey = 0;
  FIntValue = 0;
  FCurValue = 0;
  FDateValue = 0;
  FText.clear();
  FDayOfWeek = 0;
  rowTexts_.Clear();
}

// ---------------------------------------------------------------- writing

void TCol::OpenForImport(const std::string& dir, const std::string& name, size_t bufferBytes) {
  Abandon();
  ResetState(dir, name, 0);
  writer_ = std::make_unique<TColWriter>(*this, bufferBytes);
  writer_->Start();
}

void TCol::AddValue(std::string_view text) {
  writer_->Add(text);
}

void TCol::AddValues(const std::string_view* texts, size_t count) {
  writer_->AddAll(texts, count);
}

void TCol::Finish(const std::string& indPath) {
  writer_->Finish(indPath);
  writer_.reset();
}

void TCol::Abandon() {
  writer_.reset();  // the OutFile destructors close without reporting
}

// ---------------------------------------------------------------- reading

void TCol::Open(const std::string& dir, const std::string& name, int32_t rows) {
  Abandon();
  ResetState(dir, name, rows);
}

void TCol::SetTypes(std::string_view valType, std::string_view colType) {
  ParseValueType(valType, &FValueType);
  ParseStorage(colType, &FStorage);
}

void TCol::Load() {
  if (FRole == kRoleNone && !FFiltered) return;
  if (!FLoaded || FStorage == csLon) LoadColumnFiles(*this, rowTexts_);
  PrepareRows();
}

}  // namespace tabulon
