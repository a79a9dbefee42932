// Full-width to half-width normalisation of Shift-JIS text, applied before every type test and
// value conversion of the import. The stored texts keep the cell as it was.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

// Full-width letters, digits and the 37 listed symbols become single bytes; hiragana and katakana
// become half-width katakana (with ﾞ or ﾟ for voiced and semi-voiced kana); everything else is
// copied. A lead byte at the very end of the text is copied as it is. Never fails.
std::string ToHankaku(std::string_view text);

// The same into *out (cleared first), reusing its storage.
void ToHankakuInto(std::string_view text, std::string* out);

// True when ToHankaku(text) == text is known without converting (plain ASCII and half-width
// katakana, no lead byte).
bool IsHankakuAlready(std::string_view text);

}  // namespace tabulon
