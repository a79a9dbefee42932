// Full-width to half-width normalisation over any bytes: the two entry points agree (also when
// the output string held something before), the quick test only says yes when converting changes
// nothing, no character grows, and normalising a normalised text changes nothing more.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/FuzzUtil.h"
#include "text/HenkanJ.h"

using namespace tabulon;

namespace {}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string once = ToHankaku(text);

  // Every character becomes at most as many bytes as it had (the conversion writes in place).
  Check(once.size() <= text.size());

  std::string reused;
  ToHankakuInto(text, &reused);
  Check(reused == once);
  reused.assign(text.size() * 2 + 17, '\x82');  // a longer text held before
  ToHankakuInto(text, &reused);
  Check(reused == once);
  reused = "x";  // a shorter one
  ToHankakuInto(text, &reused);
  Check(reused == once);

  if (IsHankakuAlready(text)) Check(once == text);

  // The result holds only single bytes that stay, and the characters that were copied: it is its
  // own normal form.
  Check(ToHankaku(once) == once);
  return 0;
}
