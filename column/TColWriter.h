// The import's writer of one column: takes the column's cells in row order and writes its store
// files (laid out as column/Store.h describes), keeping the column's type, storage, distinct texts
// and extremes (fields of the TCol it writes) up to date as it goes.
//
// Its states, in the order a column passes through them (never back):
//   kByteKeys   csByt: i.Dat holds an 8-bit key per row; the distinct texts are counted.
//   kWordKeys   csWor: i.Dat holds a 16-bit key per row; the distinct texts are counted.
//   kRowPlain   csLon vtInt/vtCur/vtDat: every cell since the column became per-row was in its
//               value's own spelling (plain digits as IntToText or CurToText writes them, a time
//               stamp as AppendStamp does). Their texts are not written to i.Dat: i.Val holds the
//               value of every row, and when the type holds to the end i.Val becomes i.Dat. i.Dat
//               holds the texts of the rows before the column became per-row.
//   kRowValues  csLon vtInt/vtCur/vtDat: i.Dat holds the text of every row, i.Val its value
//               under the type, so that Finish need not convert every row again.
//   kRowTexts   csLon: i.Dat holds the text of every row and nothing else (vtStr, or the type
//               widened since the column became per-row).
// Transitions:
//   kByteKeys -> kWordKeys  the 257th distinct text: i.Dat rewritten with 16-bit keys.
//   kWordKeys -> kRow*      the 2001st distinct text: i.Dat rewritten as one text line per row
//               (and i.Val begun for a numeric type); the distinct texts are no longer counted.
//               A numeric or date column begins in kRowPlain, a vtStr one in kRowTexts.
//   kRowPlain -> kRowValues  a cell that converts but is spelled otherwise: the texts of the
//               plain cells are written out to i.Dat (spelled from i.Val) before the cell's text.
//   kRowPlain/kRowValues -> kRowTexts  the type widens: the plain cells' texts are written out,
//               i.Val is dropped and Finish converts every row's text under the final type.
// The value type widens in any state while a cell does not convert (vtInt -> vtCur -> vtDat ->
// vtStr), and never narrows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "column/TextIndex.h"
#include "column/Values.h"
#include "platform/FileIo.h"
#include "platform/LocaleFormats.h"

namespace tabulon {

class TCol;

class TColWriter {
 public:
  enum class State { kByteKeys, kWordKeys, kRowPlain, kRowValues, kRowTexts };

  // A writer of column (its FDir and FIndex name the files), each file with a write buffer of
  // bufferBytes. Touches no file.
  TColWriter(TCol& column, size_t bufferBytes);
  TColWriter(const TColWriter&) = delete;
  TColWriter& operator=(const TColWriter&) = delete;

  // Creates an empty i.Dat (truncating an old one), kept open for appending. Throws IoError.
  void Start();
  // Takes the next cell (see TCol::AddValue). Throws IoError.
  void Add(std::string_view text);
  // The next count cells, as Add takes them one by one, in one loop.
  void AddAll(const std::string_view* texts, size_t count);
  // Ends the import (see TCol::Finish); the writer is of no further use. Throws IoError.
  void Finish(const std::string& indPath);

  State state() const { return state_; }

  // The column's extremes before any value was met (every value lies inside them).
  static void ResetExtremes(TCol& column);

 private:
  struct Spelling {
    int32_t key;          // distinct text it belongs to
    TValueType verified;  // the type it last converted under (tests are skipped while equal)
  };

  bool PerRow() const { return state_ >= State::kRowPlain; }
  [[gnu::always_inline]] inline void AddOne(std::string_view text);  // Add's body

  // kByteKeys/kWordKeys: finds or adds the distinct text of a cell, testing its type; adding one
  // may widen the keys (ConvertToWordKeys) or make the column per-row (ConvertToText; the key is
  // then meaningless).
  // Inline, with its common case (a spelling met since the type last widened) first: it runs
  // for every cell of a keyed column.
  [[gnu::always_inline]] inline int32_t DistinctKeyOf(std::string_view text);
  // The rest of DistinctKeyOf, for the spelling it found (known, or -1).
  int32_t KeyOfSpelling(std::string_view text, int32_t known);
  void AddSpelling(std::string_view text, int32_t key);
  // Per-row states: appends the cell's text to i.Dat (or counts it among the unwritten plain
  // cells), and its value to i.Val while the state keeps one.
  void AppendRowText(std::string_view text);
  // kRowPlain -> kRowValues: writes to i.Dat the texts of the rows whose values went to i.Val
  // alone, spelled from their values in i.Val, which hold the type written.
  void WriteOutPlainTexts(TValueType written);
  // kRowPlain/kRowValues -> kRowTexts, i.Val holding the type written.
  void DropValues(TValueType written);

  void ReopenDatAfterTmp(InFile* tmp);  // i.Dat renamed to i.Tmp (open in *tmp), i.Dat anew
  void ConvertToWordKeys();             // kByteKeys -> kWordKeys
  void ConvertToText();                 // kWordKeys -> kRowPlain or kRowTexts
  void ForgetDistinctTexts();

  void WriteDistinctValues(const std::string& indPath);  // Finish of the keyed states
  void RewriteRowsAsValues();                            // Finish of a numeric column in kRowTexts

  TCol& col_;
  State state_ = State::kByteKeys;
  OutFile dat_;  // i.Dat, open for appending

  // The keyed states: the distinct texts met and the exact spellings that led to them.
  TextIndex spellings_;  // exact cell text -> index in spelling_
  std::vector<Spelling> spelling_;
  TextIndex folded_;           // case-folded text -> key
  int32_t lastSpelling_ = -1;  // the cell before: sorted exports repeat cells
  // Spellings from verifiedFrom_ on were added under the type that holds now (the type has not
  // widened since), and while spellingIsKey_ every spelling's key is its own number (no two differ
  // in letter case alone): a spelling found in that range is its key, without a look at spelling_.
  int32_t verifiedFrom_ = 0;
  bool spellingIsKey_ = true;
  std::string foldScratch_;  // reused buffers
  std::string normScratch_;

  // The per-row states.
  TStampReader stamps_;  // the time stamps of a vtDat column, read without the general parser
  OutFile values_;       // i.Val (kRowPlain, kRowValues)
  // kRowPlain: the number of rows at the end of i.Val whose texts are not in i.Dat.
  int64_t unwrittenPlain_ = 0;
};

}  // namespace tabulon
