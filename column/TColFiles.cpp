#include "column/TColFiles.h"

#include <algorithm>
#include <cerrno>

#include "column/TCol.h"
#include "column/TColRowTexts.h"
#include "platform/Bytes.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/LineReader.h"

namespace tabulon {

namespace {

template <typename K>
void CheckKeys(const Records<K>& keys, size_t values, const std::string& path) {
  if (!keys.empty() && MaxKey(keys.data(), keys.size()) >= values)
    throw IoError(path, TFileAction::kRead,
                  DamagedReason("a key points past the distinct values", "値のない番号があります"));
}

// The values of every row of a numeric csLon column.
void ReadRowValues(TCol& c, const std::string& dat) {
  switch (c.FValueType) {
    case vtInt:
      ReadRecords(dat, c.FRows, &c.FIntValues);
      break;
    case vtCur:
      ReadRecords(dat, c.FRows, &c.FCurValues);
      break;
    case vtDat:
      ReadRecords(dat, c.FRows, &c.FDateValues);
      break;
    case vtStr:
      break;  // read when its rows are asked for
  }
}

void LoadPerRow(TCol& c, TColRowTexts& texts) {
  const std::string dat = c.DatPath();
  // Kept while the file is unchanged: reading it again would give the same values.
  const FileStamp stamp = StampOf(dat);
  if (c.FLoaded && stamp.size >= 0 && stamp == texts.DatStamp()) return;
  if (c.FValueType == vtStr) {
    // The text is read when rows are asked for (TColRowTexts), which keeps it while the file is
    // unchanged, also when a search walk read it before this Load; a missing file is an error of
    // Load.
    InFile probe;
    probe.Open(dat);
    return;
  }
  texts.ForgetStamp();
  ReadRowValues(c, dat);
  texts.NoteReadAsValues(stamp);
}

// The distinct values from i.Ind; returns how many.
size_t ReadDistinctValues(TCol& c) {
  const std::string ind = c.IndPath();
  switch (c.FValueType) {
    case vtInt:
      ReadRecords(ind, c.FCount, &c.FIntValues);
      return c.FIntValues.size();
    case vtCur:
      ReadRecords(ind, c.FCount, &c.FCurValues);
      return c.FCurValues.size();
    case vtDat:
      ReadRecords(ind, c.FCount, &c.FDateValues);
      return c.FDateValues.size();
    case vtStr:
      break;
  }
  if (!FileExists(ind)) throw IoError(ind, TFileAction::kOpen, ENOENT);
  c.FValues.clear();
  LineReader lines(ind, LineEnds::kCrLf);
  std::string_view line;
  while (lines.ReadLine(&line)) c.FValues.emplace_back(line);
  return c.FValues.size();
}

void LoadKeyed(TCol& c) {
  const std::string dat = c.DatPath();
  if (c.FStorage == csByt)
    ReadRecords(dat, c.FRows, &c.FByteKeys);
  else
    ReadRecords(dat, c.FRows, &c.FWordKeys);
  const size_t values = ReadDistinctValues(c);
  if (c.FStorage == csByt)
    CheckKeys(c.FByteKeys, values, dat);
  else
    CheckKeys(c.FWordKeys, values, dat);
}

}  // namespace

void LoadColumnFiles(TCol& c, TColRowTexts& texts) {
  if (c.FRows < 0)
    throw IoError(c.DatPath(), TFileAction::kRead,
                  DamagedReason("negative row count", "行数が負の数です"));
  if (c.FStorage == csLon)
    LoadPerRow(c, texts);
  else
    LoadKeyed(c);
  c.FLoaded = true;
}

void LoadDistinctNumbers(TCol& c) {
  const size_t count = static_cast<size_t>(std::max(c.FCount, 0));
  if (c.FValueType == vtInt && c.FIntValues.size() != count)
    ReadRecords(c.IndPath(), c.FCount, &c.FIntValues);
  else if (c.FValueType == vtCur && c.FCurValues.size() != count)
    ReadRecords(c.IndPath(), c.FCount, &c.FCurValues);
}

Records<double> ReadDateTimes(const TCol& c) {
  Records<double> values;
  if (c.FStorage == csLon)
    ReadRecords(c.DatPath(), c.FRows, &values);
  else
    ReadRecords(c.IndPath(), c.FCount, &values);
  return values;
}

}  // namespace tabulon
