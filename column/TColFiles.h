// Reading a column's store files (laid out as column/Store.h describes) into its fields: the
// per-row keys or values (FByteKeys, FWordKeys, FIntValues, FCurValues, FDateValues) and the
// distinct values (the same value arrays, or FValues for vtStr).
//
// Contract: nothing is read out of bounds. A file that is missing, or shorter than FRows or FCount
// say, and a key that points past the distinct values are errors (IoError) that leave FLoaded as
// it was.
#pragma once

#include "platform/Records.h"

namespace tabulon {

class TCol;
class TColRowTexts;

// The file part of TCol::Load: reads the files of column when not yet loaded, and a csLon
// column's i.Dat again when it changed since it was read (texts: the stamp of the last read of
// either kind). A csLon vtStr column's text is left for texts to read when its rows are asked
// for; its i.Dat only has to exist. Sets FLoaded. REQUIRES: FRows, FCount, FStorage and
// FValueType set.
void LoadColumnFiles(TCol& column, TColRowTexts& texts);

// FIntValues or FCurValues of a key-stored numeric column from i.Ind when they are not in memory
// (Load reads nothing for a column without role and filter).
void LoadDistinctNumbers(TCol& column);

// The date-times of a vtDat column: i.Dat of a csLon column, else i.Ind.
Records<double> ReadDateTimes(const TCol& column);

}  // namespace tabulon
