// The import of any bytes with one thread, taking the records in blocks of the lines in hand, and
// with three, handed them one by one in chunks of a few records or in blocks of a few bytes, so
// that chunk ends fall everywhere: all refuse alike, or all write the same store byte for byte.
// The first input byte sets the records of a chunk (1 to 16) and the bytes of a block (1 to 64);
// the rest is the file.
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "column/Descriptor.h"
#include "fuzz/FuzzUtil.h"
#include "import/unitProgress.h"
#include "platform/Errors.h"
#include "platform/FileIo.h"
#include "platform/IniFile.h"

using namespace tabulon;

namespace {

// The store's files with their bytes, or the error's message when the import refused the file.
std::map<std::string, std::string> ImportWith(const std::string& csv, int threads, size_t chunk,
                                              size_t block) {
  TSilentProgress view;
  TformProgress importer(&view);
  importer.SetThreads(threads, chunk, block);
  try {
    importer.Import(csv);
  } catch (const TabulonError& e) {
    return {{"error", e.what()}};
  }
  const std::string store = StoreDirOf(csv);
  std::map<std::string, std::string> files;
  for (const std::string& name : ListDirectory(store))
    files[name] = ReadWholeFile(store + "/" + name);
  // The next import rebuilds the store: the completion mark goes.
  IniFile ini(DescriptorPathOf(csv));
  ini.DeleteKey(kSectionCsv, kKeyDateTime);
  ini.Flush();
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t chunk = 1 + data[0] % 16;
  const size_t block = 1 + data[0] / 4;
  const std::string dir = fuzz::FreshScratchDir();
  const std::string csv = dir + "/f.csv";
  fuzz::WriteBytes(csv, std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  const auto one = ImportWith(csv, 1, 0, 0);
  Check(one == ImportWith(csv, 3, chunk, 0));
  Check(one == ImportWith(csv, 3, 0, block));
  return 0;
}
