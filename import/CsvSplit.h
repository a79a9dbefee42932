// The one field-splitting rule of CSV lines, in its import and record-list variants. Not a full
// quoting grammar: the behaviour below, malformed quoting included, is the behaviour required.
//
// Splitting one line: append a comma to it; while text remains, take a field:
//   1) a quoted field (first byte a double quote): the text up to the next double quote; the
//      closing quote and the one byte after it, whatever it is, are skipped; without a closing
//      quote the field is empty and only the opening quote is dropped;
//   2) otherwise the text up to the next comma, which is consumed.
// Every field is trimmed of bytes up to 0x20 at both ends (the full-width space stays).
#pragma once

#include <string_view>
#include <vector>

namespace tabulon {

// Import variant: a field that is empty after trimming is "(null)". The views point into line or
// at a static "(null)"; they stay valid while line does. Never fails; at least one field.
void SplitCsvRecord(std::string_view line, std::vector<std::string_view>* fields);

// Record-list variant: the same, but a blank field, an empty quoted field and an unclosed quote
// give the empty text (two commas in a row or a comma at the start still give "(null)").
void SplitCsvDisplayRecord(std::string_view line, std::vector<std::string_view>* fields);

}  // namespace tabulon
